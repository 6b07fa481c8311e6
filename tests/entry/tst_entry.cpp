// The data entry windows driven as a user would: lists, occasions, values.

#include "EntryTestSupport.h"

#include "entry/ListWindow.h"
#include "entry/frmDetails.h"
#include "entry/frmEdit.h"
#include "widgets/DataCombo.h"
#include "widgets/DataGrid.h"

#include <QLineEdit>
#include <QPlainTextEdit>

using namespace vantor;
using namespace entrytest;

namespace {

// Types into the grid's cell as a user's edit would arrive.
void typeCell(widgets::DataGrid* grid, int row, int column, const QString& text)
{
    QVERIFY(grid->model()->setData(grid->model()->index(row, column), text));
}

void choose(widgets::DataCombo* combo, const QString& text)
{
    const int i = combo->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

} // namespace

using namespace Qt::Literals::StringLiterals;

class TestEntry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void aUsersDay();
    void navigationBeepsAtEitherEnd();
    void badInputIsRefusedAndNothingWritten();
    void detailsNeedASavedOccasion();
    void detailsShowTheFlagAndTheRange();
    void listRefreshDropsUnsavedEdits();
    void windowsSurviveBeingMadeTiny();

private:
    Fixture m_env;
    platform::RecordingUi& m_ui = m_env.ui;
};

void TestEntry::initTestCase()
{
    m_env.start();
}

void TestEntry::init()
{
    m_env.fresh();
}

void TestEntry::cleanup()
{
    m_env.finish();
}

// Two periods whose ids and names sort differently, a test, three occasions.
static void seed()
{
    execute({"INSERT INTO Periods (Period) VALUES ('Morning')",
             "INSERT INTO Periods (Period) VALUES ('Afternoon')",
             "INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mg/dL')",
             "INSERT INTO Results (Date, Period) VALUES (#3/5/2004#, 1)",
             "INSERT INTO Results (Date, Period) VALUES (#3/6/2004#, 2)",
             "INSERT INTO Results (Date, Period) VALUES (#3/7/2004#, 1)"});
}

void TestEntry::aUsersDay()
{
    // Lists: two periods (Morning gets the lower id, Afternoon sorts first by name).
    QWidget* periods = open("frmPeriods");
    auto* pgrid = child<widgets::DataGrid>(periods, "grdDataGrid");
    QVERIFY(pgrid->isColumnHidden(0));
    click(periods, "cmdAdd");
    QVERIFY(pgrid->recordsetModel()->isNewRecordLine(pgrid->currentIndex().row()));
    typeCell(pgrid, 0, 1, QStringLiteral("Morning"));
    click(periods, "cmdUpdate");
    click(periods, "cmdAdd");
    typeCell(pgrid, 1, 1, QStringLiteral("Afternoon"));
    click(periods, "cmdUpdate");
    QCOMPARE(fileText(QStringLiteral("SELECT ID, Period FROM Periods ORDER BY ID")),
             QStringLiteral("1|Morning;2|Afternoon"));

    QWidget* tests = open("frmTests");
    auto* tgrid = child<widgets::DataGrid>(tests, "grdDataGrid");
    const QStringList items{QStringLiteral("Potassium|serum|mmol/L"),
                            QStringLiteral("Glucose|fasting|mg/dL"),
                            QStringLiteral("Cholesterol|total|mg/dL")};
    for (int k = 0; k < items.size(); ++k) {
        click(tests, "cmdAdd");
        const QStringList cells = items.at(k).split(u'|');
        for (int c = 0; c < 3; ++c)
            typeCell(tgrid, k, c, cells.at(c));
        click(tests, "cmdUpdate");
    }
    QCOMPARE(fileText(QStringLiteral("SELECT Test, Units FROM Tests ORDER BY ID")),
             QStringLiteral("Potassium|mmol/L;Glucose|mg/dL;Cholesterol|mg/dL"));
    click(tests, "cmdRefresh");
    QCOMPARE(tgrid->model()->data(tgrid->model()->index(0, 0)).toString(),
             QStringLiteral("Cholesterol")); // by name

    // Occasions: two on 5 March (Afternoon typed first), one on 4 March.
    auto* edit = qobject_cast<entry::frmEdit*>(open("frmEdit"));
    QVERIFY(edit);
    QCOMPARE(status(edit), QStringLiteral("No Records"));
    auto* date = child<QLineEdit>(edit, "txtFields(0)");
    auto* remarks = child<QPlainTextEdit>(edit, "txtFields(2)");
    auto* period = child<widgets::DataCombo>(edit, "datPeriods");
    const auto addOccasion = [&](const QString& when, const QString& which, const QString& note) {
        click(edit, "cmdAdd");
        date->setText(when);
        choose(period, which);
        remarks->setPlainText(note);
        click(edit, "cmdUpdate");
    };
    addOccasion(QStringLiteral("3/5/2004"), QStringLiteral("Afternoon"), QStringLiteral("late"));
    addOccasion(QStringLiteral("3/5/2004"), QStringLiteral("Morning"), QStringLiteral("fasting"));
    addOccasion(QStringLiteral("3/4/2004"), QStringLiteral("Morning"), QString());
    QVERIFY(m_ui.messages().isEmpty());
    QCOMPARE(fileText(QStringLiteral("SELECT ID, Date, Period FROM Results ORDER BY ID")),
             QStringLiteral("1|2004-03-05|2;2|2004-03-05|1;3|2004-03-04|1"));

    // Reopened, the window lists them by date and period id.
    edit->close();
    QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmEdit")));
    edit = qobject_cast<entry::frmEdit*>(open("frmEdit"));
    date = child<QLineEdit>(edit, "txtFields(0)");
    QCOMPARE(status(edit), QStringLiteral("Record: 1 of 3"));
    QCOMPARE(date->text(), QStringLiteral("3/4/2004"));
    click(edit, "cmdNext");
    QCOMPARE(child<QLineEdit>(edit, "txtFields(1)")->text(), QStringLiteral("2"));
    QCOMPARE(child<widgets::DataCombo>(edit, "datPeriods")->currentText(),
             QStringLiteral("Morning"));
    click(edit, "cmdNext");
    QCOMPARE(child<QLineEdit>(edit, "txtFields(1)")->text(), QStringLiteral("1"));

    // The jump list: "Mar-05-2004  Morning" is the second entry.
    auto* jump = child<widgets::DataCombo>(edit, "DateCombo");
    QCOMPARE(jump->itemText(1), QStringLiteral("Mar-05-2004  Morning"));
    choose(jump, QStringLiteral("Mar-04-2004  Morning"));
    QCOMPARE(status(edit), QStringLiteral("Record: 1 of 3"));
    choose(jump, QStringLiteral("Mar-05-2004  Morning"));
    QCOMPARE(status(edit), QStringLiteral("Record: 2 of 3"));

    // Details of that occasion: the unit comes from the test item.
    click(edit, "cmdDetails");
    auto* details =
        qobject_cast<entry::frmDetails*>(widgets::windows().find(QStringLiteral("frmDetails")));
    QVERIFY(details);
    QCOMPARE(details->occasionId(), 2);
    QCOMPARE(status(details), QStringLiteral("No Records"));
    auto* test = child<widgets::DataCombo>(details, "datFields(0)");
    auto* result = child<QLineEdit>(details, "txtFields(1)");
    auto* unit = child<QLineEdit>(details, "txtFields(2)");
    QVERIFY(unit->isReadOnly());
    click(details, "cmdAdd");
    choose(test, QStringLiteral("Potassium"));
    QCOMPARE(unit->text(), QStringLiteral("mmol/L"));
    result->setText(QStringLiteral("4.2"));
    click(details, "cmdUpdate");
    click(details, "cmdAdd");
    choose(test, QStringLiteral("Cholesterol"));
    result->setText(QStringLiteral("1,210.5"));
    click(details, "cmdUpdate");
    QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
    QCOMPARE(fileText(QStringLiteral("SELECT ID, Test, Result, Unit FROM Details ORDER BY Test")),
             QStringLiteral("2|1|4.2|mmol/L;2|3|1210.5|mg/dL"));

    // The details window stays on its occasion while the entry window moves.
    click(edit, "cmdFirst");
    click(edit, "cmdDetails");
    QCOMPARE(details->occasionId(), 2);
    details->close();
    QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmDetails")));

    // A later change of the item's unit leaves the stored value's unit alone.
    execute({"UPDATE Tests SET Units = 'mEq/L' WHERE Test = 'Potassium'"});
    QCOMPARE(fileText(QStringLiteral("SELECT Unit FROM Details WHERE Test = 1")),
             QStringLiteral("mmol/L"));

    // Values are listed by test id, not by name.
    click(edit, "cmdNext");
    click(edit, "cmdDetails");
    details =
        qobject_cast<entry::frmDetails*>(widgets::windows().find(QStringLiteral("frmDetails")));
    QCOMPARE(child<widgets::DataCombo>(details, "datFields(0)")->currentText(),
             QStringLiteral("Potassium"));
    QCOMPARE(status(details), QStringLiteral("Record: 1 of 2"));

    // Deleting the last occasion shows the new last one.
    click(edit, "cmdLast");
    click(edit, "cmdDelete");
    QCOMPARE(status(edit), QStringLiteral("Record: 2 of 2"));
    QCOMPARE(child<QLineEdit>(edit, "txtFields(1)")->text(), QStringLiteral("2"));
    QCOMPARE(fileText(QStringLiteral("SELECT count(*) FROM Results")), QStringLiteral("2"));
}

void TestEntry::navigationBeepsAtEitherEnd()
{
    seed();
    QWidget* edit = open("frmEdit");
    click(edit, "cmdLast");
    QCOMPARE(status(edit), QStringLiteral("Record: 3 of 3"));
    click(edit, "cmdNext");
    QCOMPARE(m_ui.beeps(), 1);
    QCOMPARE(status(edit), QStringLiteral("Record: 3 of 3"));
    click(edit, "cmdFirst");
    click(edit, "cmdPrevious");
    QCOMPARE(m_ui.beeps(), 2);
    QCOMPARE(status(edit), QStringLiteral("Record: 1 of 3"));
    click(edit, "cmdNext");
    QCOMPARE(m_ui.beeps(), 2);
    QCOMPARE(status(edit), QStringLiteral("Record: 2 of 3"));
}

void TestEntry::badInputIsRefusedAndNothingWritten()
{
    seed();
    const QString before = fileText(QStringLiteral("SELECT * FROM Results ORDER BY ID"));
    QWidget* edit = open("frmEdit");
    auto* date = child<QLineEdit>(edit, "txtFields(0)");

    // An invalid, a wordy or no date; a date without a period.
    for (const char* typed : {"2/30/2004", "tomorrow", "", "3/9/2004"}) {
        const bool noPeriod = qstrcmp(typed, "3/9/2004") == 0;
        m_ui.clear();
        click(edit, "cmdAdd");
        date->setText(QLatin1String(typed));
        if (!noPeriod)
            choose(child<widgets::DataCombo>(edit, "datPeriods"), QStringLiteral("Morning"));
        click(edit, "cmdUpdate");
        QCOMPARE(m_ui.messages().size(), 1);
        QVERIFY2(m_ui.messages().first().text.contains(noPeriod ? QStringLiteral("period")
                                                                : QStringLiteral("month/day/year")),
                 typed);
        QCOMPARE(m_ui.messages().first().icon, platform::Icon::Exclamation);
        QCOMPARE(fileText(QStringLiteral("SELECT * FROM Results ORDER BY ID")), before);
        // Moving away does not slip the bad record in either.
        click(edit, "cmdFirst");
        QCOMPARE(fileText(QStringLiteral("SELECT * FROM Results ORDER BY ID")), before);
        qobject_cast<entry::frmEdit*>(edit)->recordset()->cancelUpdate();
    }

    // A test value without a test item, or with a result that is no number.
    click(edit, "cmdFirst");
    click(edit, "cmdDetails");
    QWidget* details = widgets::windows().find(QStringLiteral("frmDetails"));
    QVERIFY(details);
    m_ui.clear();
    click(details, "cmdAdd");
    child<QLineEdit>(details, "txtFields(1)")->setText(QStringLiteral("5"));
    click(details, "cmdUpdate");
    QVERIFY(m_ui.messages().value(0).text.contains(QStringLiteral("test item")));
    m_ui.clear();
    choose(child<widgets::DataCombo>(details, "datFields(0)"), QStringLiteral("Glucose"));
    child<QLineEdit>(details, "txtFields(1)")->setText(QStringLiteral("five"));
    click(details, "cmdUpdate");
    QVERIFY(m_ui.messages().value(0).text.contains(QStringLiteral("number")));
    QCOMPARE(fileText(QStringLiteral("SELECT count(*) FROM Details")), QStringLiteral("0"));
}

void TestEntry::detailsNeedASavedOccasion()
{
    seed();
    QWidget* edit = open("frmEdit");
    click(edit, "cmdAdd");
    click(edit, "cmdDetails");
    QVERIFY(!widgets::windows().isLoaded(QStringLiteral("frmDetails")));
    QCOMPARE(m_ui.messages().size(), 1);
    QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("Update")));
}

void TestEntry::listRefreshDropsUnsavedEdits()
{
    seed();
    QWidget* periods = open("frmPeriods");
    auto* grid = child<widgets::DataGrid>(periods, "grdDataGrid");
    typeCell(grid, 0, 1, QStringLiteral("Dawn"));
    click(periods, "cmdRefresh");
    QCOMPARE(grid->model()->data(grid->model()->index(0, 1)).toString(), QStringLiteral("Morning"));
    QCOMPARE(fileText(QStringLiteral("SELECT Period FROM Periods WHERE ID = 1")),
             QStringLiteral("Morning"));

    // Delete on the last row leaves the cursor on the new last row.
    grid->setCurrentIndex(grid->model()->index(1, 1));
    click(periods, "cmdDelete");
    QCOMPARE(fileText(QStringLiteral("SELECT Period FROM Periods")), QStringLiteral("Morning"));
    QCOMPARE(
        qobject_cast<entry::ListWindow*>(periods)->dataControl()->recordset()->absolutePosition(),
        1);
}

void TestEntry::windowsSurviveBeingMadeTiny()
{
    seed();
    for (const char* name : {"frmPeriods", "frmTests", "frmEdit"}) {
        QWidget* w = open(name);
        w->resize(10, 10);
        QApplication::processEvents();
        w->resize(600, 400);
        QApplication::processEvents();
    }
    QVERIFY(m_ui.messages().isEmpty());
}

// With VANTOR_SCREENSHOT_DIR set, saves pictures of the four windows on the
// demo database, to be looked at.
void TestEntry::detailsShowTheFlagAndTheRange()
{
    execute({"INSERT INTO Periods (Period) VALUES ('Morning')",
             "INSERT INTO Tests (Test, Units, Low, High) VALUES ('Glucose', 'mg/dL', 70, 99)",
             "INSERT INTO Tests (Test, Units, Low, High) VALUES ('HDL', 'mg/dL', 40, NULL)",
             "INSERT INTO Tests (Test, Units, Low, High) VALUES ('Potassium', 'mmol/L', 3.5, 5)",
             "INSERT INTO Tests (Test, Units) VALUES ('Zinc', 'ug/dL')",
             "INSERT INTO Results (Date, Period) VALUES (#3/5/2004#, 1)",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 112, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 2, 40, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 3, 4.2, 'mEq/L')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 4, 80, 'ug/dL')"});
    QWidget* edit = open("frmEdit");
    click(edit, "cmdDetails");
    QWidget* details = widgets::windows().find(QStringLiteral("frmDetails"));
    QVERIFY(details);
    auto* flag = child<QLabel>(details, "lblFlag");
    // Above the range; equal to the only limit; in another unit; without a range.
    const QStringList shown{u"H  (70 \u2013 99 mg/dL)"_s, u"(\u2265 40 mg/dL)"_s,
                            u"(3.5 \u2013 5 mmol/L)"_s, QString()};
    for (int i = 0; i < shown.size(); ++i) {
        if (i > 0)
            click(details, "cmdNext");
        QCOMPARE(flag->text(), shown.at(i));
    }
    click(details, "cmdPrevious");
    QCOMPARE(flag->toolTip(), u"Not compared with the reference range: recorded in \"mEq/L\", "
                              u"the range is in \"mmol/L\"."_s);

    // A value typed now is flagged once it is written.
    click(details, "cmdAdd");
    QVERIFY(flag->text().isEmpty());
    choose(child<widgets::DataCombo>(details, "datFields(0)"), u"Glucose"_s);
    auto* result = child<QLineEdit>(details, "txtFields(1)");
    result->setFocus();
    QTest::keyClicks(result, u"65"_s);
    QTest::keyClick(result, Qt::Key_Return);
    QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
    QCOMPARE(fileText(u"SELECT Result, Unit FROM Details WHERE Result = 65"_s), u"65|mg/dL"_s);
    QCOMPARE(flag->text(), u"L  (70 \u2013 99 mg/dL)"_s);
    screenshot(details, u"frmDetails-flag"_s);
}

QTEST_MAIN(TestEntry)
#include "tst_entry.moc"
