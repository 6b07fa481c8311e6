// The entry windows inside the real main window, at its first-run size,
// driven only by keys and mouse clicks; the file is read back afterwards.

#include "EntryTestSupport.h"

#include "app/frmMain.h"
#include "entry/ListWindow.h"
#include "widgets/DataCombo.h"
#include "widgets/DataGrid.h"
#include "widgets/Twips.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSignalSpy>

using namespace vantor;
using namespace entrytest;
using platform::Answer;

namespace {

QWidget* focused()
{
    return QApplication::focusWidget();
}

// Each character as its own key press to whatever has the focus, as typing is:
// the first key may open a cell editor that takes the rest.
void type(const QString& text)
{
    for (const QChar c : text) {
        QWidget* target = focused();
        QVERIFY2(target, "nothing has the keyboard focus");
        QTest::keyClick(target, c.toLatin1());
    }
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = focused();
    QVERIFY2(target, "nothing has the keyboard focus");
    QTest::keyClick(target, key, modifiers);
    // What a key posts for later (a cell editor commits on Return that way)
    // happens before the user's next action, as in the running program.
    QCoreApplication::processEvents();
}

void clickOn(QWidget* window, const char* name)
{
    auto* w = child<QWidget>(window, name);
    QVERIFY(w);
    QTest::mouseClick(w, Qt::LeftButton);
}

void clickCell(widgets::DataGrid* grid, int row, int column)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

QString cell(widgets::DataGrid* grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

// The row the record selector marks.
int markedRow(widgets::DataGrid* grid)
{
    int marked = -1;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        if (grid->model()->headerData(r, Qt::Vertical).toString() == QStringLiteral("\u25B6")) {
            if (marked >= 0)
                return -2; // two marks
            marked = r;
        }
    }
    return marked;
}

bool isShown(const char* name)
{
    return widgets::windows().isLoaded(QLatin1String(name));
}

QMdiSubWindow* frameOf(QWidget* window)
{
    return qobject_cast<QMdiSubWindow*>(window->parentWidget());
}

bool anyMenuOpen()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMenu*>(w) && w->isVisible())
            return true;
    return false;
}

} // namespace

class TestWorkflow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstRunOnAnEmptyDatabase();
    void updateWithoutARecordStartsOne();
    void periodsDeleteRemovesTheRowsSeen();
    void testsNewLineKeepsEachColumnOnTab();
    void blankNamesAreRefused_data();
    void blankNamesAreRefused();
    void referenceRangeIsTypedIntoTheTestsList();
    void badLimitsAreRefused_data();
    void badLimitsAreRefused();
    void closeWithAnUnsavedChange_data();
    void closeWithAnUnsavedChange();
    void escapeDropsANewRecord();
    void deletingAnOccasionTakesItsValues();
    void jumpListForgetsDeletedOccasions();
    void accessKeysPressTheirButtons();
    void browseKeysWorkAtOnce();
    void childWindowsOpenInsideTheArea();
    void fixedWindowsCannotBeResized();

private:
    QWidget* openFromMenu(const char* action, const char* window);

    Fixture m_env;
    platform::RecordingUi& m_ui = m_env.ui;
    QPointer<app::frmMain> m_main;
};

void TestWorkflow::initTestCase()
{
    m_env.start();
}

void TestWorkflow::init()
{
    m_env.fresh();
    // A first run: no placement saved.
    testsupport::isolateSettings();
    m_main = new app::frmMain;
    m_main->show();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main));
    QTest::qWait(0);
}

void TestWorkflow::cleanup()
{
    // What a test left unsaved goes; then the main window, then the checks.
    DiscardingUi discard;
    platform::setUi(&discard);
    widgets::windows().closeAll();
    delete m_main;
    platform::setUi(&m_ui);
    m_env.finish();
}

QWidget* TestWorkflow::openFromMenu(const char* action, const char* window)
{
    auto* command = m_main->menuBar()->findChild<QAction*>(QLatin1String(action));
    if (!command)
        return nullptr;
    command->trigger();
    return widgets::windows().find(QLatin1String(window));
}

static void seedOccasions()
{
    execute({"INSERT INTO Periods (Period) VALUES ('Morning')",
             "INSERT INTO Periods (Period) VALUES ('Evening')",
             "INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mg/dL')",
             "INSERT INTO Tests (Test, Units) VALUES ('Potassium', 'mmol/L')",
             "INSERT INTO Results (Date, Period, Remarks) VALUES (#3/5/2004#, 1, 'one')",
             "INSERT INTO Results (Date, Period, Remarks) VALUES (#3/5/2004#, 2, 'two')",
             "INSERT INTO Results (Date, Period, Remarks) VALUES (#3/7/2004#, 1, 'three')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 90, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (2, 1, 95, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (2, 2, 4.1, 'mmol/L')"});
}

void TestWorkflow::firstRunOnAnEmptyDatabase()
{
    QWidget* periods = openFromMenu("mnuListsPeriods", "frmPeriods");
    QVERIFY(periods);
    clickOn(periods, "cmdAdd");
    type(QStringLiteral("Morning"));
    press(Qt::Key_Return);
    clickOn(periods, "cmdUpdate");
    QCOMPARE(fileText(QStringLiteral("SELECT Period FROM Periods")), QStringLiteral("Morning"));

    QWidget* tests = openFromMenu("mnuListsTests", "frmTests");
    for (const QString& item :
         {QStringLiteral("Glucose|fasting|mg/dL"), QStringLiteral("Potassium|serum|mmol/L")}) {
        clickOn(tests, "cmdAdd");
        const QStringList cells = item.split(u'|');
        type(cells.at(0));
        press(Qt::Key_Tab);
        type(cells.at(1));
        press(Qt::Key_Tab);
        type(cells.at(2));
        clickOn(tests, "cmdUpdate");
    }
    QCOMPARE(fileText(QStringLiteral("SELECT Test, Description, Units FROM Tests ORDER BY ID")),
             QStringLiteral("Glucose|fasting|mg/dL;Potassium|serum|mmol/L"));

    QWidget* edit = openFromMenu("mnuDataEdit", "frmEdit");
    QCOMPARE(status(edit), QStringLiteral("No Records"));
    clickOn(edit, "cmdAdd");
    QCOMPARE(focused()->objectName(), QStringLiteral("txtFields(0)"));
    type(QStringLiteral("3/5/2004"));
    press(Qt::Key_Tab);
    press(Qt::Key_Down); // the first period
    press(Qt::Key_Tab);
    type(QStringLiteral("fasting"));
    press(Qt::Key_U, Qt::AltModifier);
    QCOMPARE(fileText(QStringLiteral("SELECT ID, Date, Period, Remarks FROM Results")),
             QStringLiteral("1|2004-03-05|1|fasting"));
    QCOMPARE(status(edit), QStringLiteral("Record: 1 of 1"));

    // Details: the first value typed straight into the empty window, the
    // second after Add; Enter writes each.
    clickOn(edit, "cmdDetails");
    QWidget* details = widgets::windows().find(QStringLiteral("frmDetails"));
    QVERIFY(details);
    QCOMPARE(details->windowTitle(), QStringLiteral("Record Details - 05-Mar-2004, Morning"));
    QCOMPARE(status(details), QStringLiteral("No Records"));
    QCOMPARE(focused()->objectName(), QStringLiteral("datFields(0)"));
    press(Qt::Key_Down); // Glucose
    press(Qt::Key_Tab);
    type(QStringLiteral("5.4"));
    press(Qt::Key_Return);
    clickOn(details, "cmdAdd");
    press(Qt::Key_Down);
    press(Qt::Key_Down); // Potassium
    press(Qt::Key_Tab);
    type(QStringLiteral("4.2"));
    press(Qt::Key_Return);
    QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
    clickOn(details, "cmdClose");
    QTRY_VERIFY(!isShown("frmDetails"));
    QVERIFY(m_ui.messages().isEmpty()); // nothing left unsaved to ask about

    clickOn(edit, "cmdDetails");
    details = widgets::windows().find(QStringLiteral("frmDetails"));
    QCOMPARE(status(details), QStringLiteral("Record: 1 of 2"));
    QCOMPARE(fileText(QStringLiteral("SELECT ID, Test, Result, Unit FROM Details ORDER BY Test")),
             QStringLiteral("1|1|5.4|mg/dL;1|2|4.2|mmol/L"));
}

// Typing into a window that shows no record, then Update, stores what was typed.
void TestWorkflow::updateWithoutARecordStartsOne()
{
    execute({"INSERT INTO Periods (Period) VALUES ('Morning')"});
    QWidget* edit = openFromMenu("mnuDataEdit", "frmEdit");
    QTest::mouseClick(child<QLineEdit>(edit, "txtFields(0)"), Qt::LeftButton);
    type(QStringLiteral("4/1/2005"));
    press(Qt::Key_Tab);
    press(Qt::Key_Down);
    press(Qt::Key_Tab);
    type(QStringLiteral("typed first"));
    clickOn(edit, "cmdUpdate");
    QCOMPARE(fileText(QStringLiteral("SELECT Date, Period, Remarks FROM Results")),
             QStringLiteral("2005-04-01|1|typed first"));
    QCOMPARE(status(edit), QStringLiteral("Record: 1 of 1"));

    // Without a period it is refused with a message, not silently dropped.
    m_ui.clear();
    execute({"DELETE FROM Results"});
    edit->close();
    QTRY_VERIFY(!isShown("frmEdit"));
    edit = openFromMenu("mnuDataEdit", "frmEdit");
    QTest::mouseClick(child<QLineEdit>(edit, "txtFields(0)"), Qt::LeftButton);
    type(QStringLiteral("4/2/2005"));
    clickOn(edit, "cmdUpdate");
    QCOMPARE(m_ui.messages().size(), 1);
    QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("period")));
    QCOMPARE(fileText(QStringLiteral("SELECT count(*) FROM Results")), QStringLiteral("0"));
}

void TestWorkflow::periodsDeleteRemovesTheRowsSeen()
{
    execute({"INSERT INTO Periods (Period) VALUES ('Morning')",
             "INSERT INTO Periods (Period) VALUES ('Noon')",
             "INSERT INTO Periods (Period) VALUES ('Evening')",
             "INSERT INTO Periods (Period) VALUES ('Night')"});
    QWidget* periods = openFromMenu("mnuListsPeriods", "frmPeriods");
    auto* grid = child<widgets::DataGrid>(periods, "grdDataGrid");
    QCOMPARE(markedRow(grid), 0);
    QCOMPARE(grid->currentIndex().row(), 0);

    clickCell(grid, 1, 1); // Noon
    QCOMPARE(markedRow(grid), 1);
    clickOn(periods, "cmdDelete");
    QCOMPARE(fileText(QStringLiteral("SELECT Period FROM Periods ORDER BY ID")),
             QStringLiteral("Morning;Evening;Night"));
    QCOMPARE(markedRow(grid), 1);
    QCOMPARE(cell(grid, grid->currentIndex().row(), 1), QStringLiteral("Evening"));
    clickOn(periods, "cmdDelete");
    QCOMPARE(fileText(QStringLiteral("SELECT Period FROM Periods ORDER BY ID")),
             QStringLiteral("Morning;Night"));
    QCOMPARE(cell(grid, grid->currentIndex().row(), 1), QStringLiteral("Night"));

    // The last row deleted: the one before it becomes current.
    clickOn(periods, "cmdDelete");
    QCOMPARE(fileText(QStringLiteral("SELECT Period FROM Periods")), QStringLiteral("Morning"));
    QCOMPARE(markedRow(grid), 0);

    clickOn(periods, "cmdRefresh");
    QCOMPARE(markedRow(grid), 0);
    QCOMPARE(grid->currentIndex().row(), 0);
}

void TestWorkflow::testsNewLineKeepsEachColumnOnTab()
{
    QWidget* tests = openFromMenu("mnuListsTests", "frmTests");
    clickOn(tests, "cmdAdd");
    type(QStringLiteral("Vitamin D"));
    press(Qt::Key_Tab);
    type(QStringLiteral("25-OH vitamin D"));
    press(Qt::Key_Tab);
    type(QStringLiteral("ng/mL"));
    press(Qt::Key_U, Qt::AltModifier);
    QCOMPARE(fileText(QStringLiteral("SELECT Test, Description, Units FROM Tests")),
             QStringLiteral("Vitamin D|25-OH vitamin D|ng/mL"));
}

void TestWorkflow::referenceRangeIsTypedIntoTheTestsList()
{
    QWidget* tests = openFromMenu("mnuListsTests", "frmTests");
    auto* grid = child<widgets::DataGrid>(tests, "grdDataGrid");
    QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Low"));
    QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("High"));
    for (const QString& item : {QStringLiteral("Glucose|fasting|mg/dL|70|99"),
                                QStringLiteral("LDL Cholesterol||mg/dL||130"),
                                QStringLiteral("HDL Cholesterol||mg/dL|40.5|")}) {
        clickOn(tests, "cmdAdd");
        const QStringList cells = item.split(u'|');
        for (int c = 0; c < cells.size(); ++c) {
            if (c > 0)
                press(Qt::Key_Tab);
            type(cells.at(c));
        }
        press(Qt::Key_U, Qt::AltModifier);
    }
    QCOMPARE(m_ui.messages().size(), 0);
    QCOMPARE(fileRows(QStringLiteral("SELECT Test, Units, Low, High FROM Tests ORDER BY ID")),
             (QStringList{QStringLiteral("Glucose|mg/dL|70|99"),
                          QStringLiteral("LDL Cholesterol|mg/dL||130"),
                          QStringLiteral("HDL Cholesterol|mg/dL|40.5|")}));
}

void TestWorkflow::badLimitsAreRefused_data()
{
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored");
    QTest::newRow("low not a number")
        << "abc"
        << "99"
        << "The Low must be a number in the item's unit; \"abc\" is not one. Type a number, or "
           "leave the Low empty for no limit."
        << "|99";
    QTest::newRow("high not a number")
        << "70"
        << "9 9"
        << "The High must be a number in the item's unit; \"9 9\" is not one. Type a number, or "
           "leave the High empty for no limit."
        << "70|";
    QTest::newRow("high below low") << "100"
                                    << "99"
                                    << "The High (99) is below the Low (100). Type a High no "
                                       "lower than the Low."
                                    << "100|";
}

void TestWorkflow::badLimitsAreRefused()
{
    QFETCH(QString, low);
    QFETCH(QString, high);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    execute({"INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mg/dL')"});
    QWidget* tests = openFromMenu("mnuListsTests", "frmTests");
    auto* grid = child<widgets::DataGrid>(tests, "grdDataGrid");
    clickCell(grid, 0, 3);
    type(low);
    press(Qt::Key_Tab);
    type(high);
    press(Qt::Key_U, Qt::AltModifier);
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().at(0).text, message);
    QCOMPARE(m_ui.messages().at(0).title, QStringLiteral("Invalid Entry"));
    QCOMPARE(m_ui.beeps(), 1);
    QCOMPARE(fileText(QStringLiteral("SELECT Low, High FROM Tests")), stored);
    // A Low above an existing High is refused as well, from the other side.
    if (stored == QStringLiteral("|99")) {
        m_ui.clear();
        clickCell(grid, 0, 3);
        type(QStringLiteral("120"));
        press(Qt::Key_U, Qt::AltModifier);
        QCOMPARE(m_ui.messages().value(0).text,
                 QStringLiteral("The Low (120) is above the High (99). Type a Low no higher than "
                                "the High."));
        QCOMPARE(fileText(QStringLiteral("SELECT Low, High FROM Tests")), stored);
    }
}

void TestWorkflow::blankNamesAreRefused_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("table");
    QTest::newRow("period") << "frmPeriods"
                            << "Period"
                            << "Periods";
    QTest::newRow("test") << "frmTests"
                          << "Test"
                          << "Tests";
}

void TestWorkflow::blankNamesAreRefused()
{
    QFETCH(QString, window);
    QFETCH(QString, field);
    QFETCH(QString, table);
    QWidget* list = widgets::windows().show(window);
    auto* grid = child<widgets::DataGrid>(list, "grdDataGrid");
    clickOn(list, "cmdAdd");
    type(QStringLiteral("   "));
    if (window == QStringLiteral("frmTests")) {
        press(Qt::Key_Tab);
        type(QStringLiteral("described"));
    }
    clickOn(list, "cmdUpdate");
    QCOMPARE(m_ui.messages().size(), 1);
    QVERIFY(m_ui.messages().first().text.contains(field));
    QCOMPARE(m_ui.messages().first().icon, platform::Icon::Exclamation);
    // Leaving the row by Add does not slip it in either.
    clickOn(list, "cmdAdd");
    QCOMPARE(m_ui.messages().size(), 2);
    QCOMPARE(fileText(QStringLiteral("SELECT count(*) FROM ") + table), QStringLiteral("0"));
    // Named, it goes in.
    clickCell(grid, 0, window == QStringLiteral("frmTests") ? 0 : 1);
    type(QStringLiteral("Named"));
    press(Qt::Key_Return);
    clickOn(list, "cmdUpdate");
    QCOMPARE(fileText(QStringLiteral("SELECT ") + field + QStringLiteral(" FROM ") + table),
             QStringLiteral("Named"));
}

void TestWorkflow::closeWithAnUnsavedChange_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("stillOpen");
    QTest::newRow("edit yes") << "frmEdit" << int(Answer::Yes) << "one more" << false;
    QTest::newRow("edit no") << "frmEdit" << int(Answer::No) << "one" << false;
    QTest::newRow("edit cancel") << "frmEdit" << int(Answer::Cancel) << "one" << true;
    QTest::newRow("details yes") << "frmDetails" << int(Answer::Yes) << "907" << false;
    QTest::newRow("details no") << "frmDetails" << int(Answer::No) << "90" << false;
    QTest::newRow("details cancel") << "frmDetails" << int(Answer::Cancel) << "90" << true;
    QTest::newRow("periods yes") << "frmPeriods" << int(Answer::Yes) << "Morning!" << false;
    QTest::newRow("periods no") << "frmPeriods" << int(Answer::No) << "Morning" << false;
    QTest::newRow("periods cancel") << "frmPeriods" << int(Answer::Cancel) << "Morning" << true;
}

void TestWorkflow::closeWithAnUnsavedChange()
{
    QFETCH(QString, window);
    QFETCH(int, answer);
    QFETCH(QString, stored);
    QFETCH(bool, stillOpen);
    seedOccasions();
    QWidget* edit = openFromMenu("mnuDataEdit", "frmEdit");
    QWidget* target = edit;
    QString query = QStringLiteral("SELECT Remarks FROM Results WHERE ID = 1");
    if (window == QStringLiteral("frmEdit")) {
        auto* remarks = child<QPlainTextEdit>(edit, "txtFields(2)");
        QTest::mouseClick(remarks->viewport(), Qt::LeftButton);
        press(Qt::Key_End);
        type(QStringLiteral(" more"));
    } else if (window == QStringLiteral("frmDetails")) {
        clickOn(edit, "cmdDetails");
        target = widgets::windows().find(QStringLiteral("frmDetails"));
        QTest::mouseClick(child<QLineEdit>(target, "txtFields(1)"), Qt::LeftButton);
        press(Qt::Key_End);
        type(QStringLiteral("7"));
        query = QStringLiteral("SELECT Result FROM Details WHERE ID = 1");
    } else {
        target = openFromMenu("mnuListsPeriods", "frmPeriods");
        auto* grid = child<widgets::DataGrid>(target, "grdDataGrid");
        clickCell(grid, 0, 1);
        press(Qt::Key_F2);
        press(Qt::Key_End);
        type(QStringLiteral("!"));
        press(Qt::Key_Return);
        query = QStringLiteral("SELECT Period FROM Periods WHERE ID = 1");
    }
    m_ui.clear();
    m_ui.pushAnswer(Answer(answer));
    clickOn(target, "cmdClose");
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().text, QStringLiteral("Save changes to this record?"));
    QCOMPARE(m_ui.messages().first().buttons, platform::Buttons::YesNoCancel);
    QCOMPARE(fileText(query), stored);
    QTest::qWait(0);
    QCOMPARE(widgets::windows().isLoaded(window), stillOpen);
}

void TestWorkflow::escapeDropsANewRecord()
{
    seedOccasions();
    QWidget* edit = openFromMenu("mnuDataEdit", "frmEdit");
    clickOn(edit, "cmdNext");
    QCOMPARE(status(edit), QStringLiteral("Record: 2 of 3"));
    clickOn(edit, "cmdAdd");
    type(QStringLiteral("6/6/2006"));
    press(Qt::Key_Escape);
    QCOMPARE(status(edit), QStringLiteral("Record: 2 of 3"));
    QCOMPARE(child<QLineEdit>(edit, "txtFields(0)")->text(), QStringLiteral("3/5/2004"));
    QCOMPARE(child<QPlainTextEdit>(edit, "txtFields(2)")->toPlainText(), QStringLiteral("two"));
    QVERIFY(isShown("frmEdit"));

    clickOn(edit, "cmdDetails");
    QWidget* details = widgets::windows().find(QStringLiteral("frmDetails"));
    clickOn(details, "cmdLast");
    QCOMPARE(status(details), QStringLiteral("Record: 2 of 2"));
    clickOn(details, "cmdAdd");
    press(Qt::Key_Down);
    press(Qt::Key_Tab);
    type(QStringLiteral("1"));
    press(Qt::Key_Escape);
    QCOMPARE(status(details), QStringLiteral("Record: 2 of 2"));
    QCOMPARE(child<QLineEdit>(details, "txtFields(1)")->text(), QStringLiteral("4.1"));

    // Nothing is left to save: closing asks nothing and writes nothing.
    m_ui.clear();
    clickOn(details, "cmdClose");
    clickOn(edit, "cmdClose");
    QVERIFY(m_ui.messages().isEmpty());
    QCOMPARE(fileText(QStringLiteral("SELECT count(*) FROM Results")), QStringLiteral("3"));
    QCOMPARE(fileText(QStringLiteral("SELECT count(*) FROM Details")), QStringLiteral("3"));
}

void TestWorkflow::deletingAnOccasionTakesItsValues()
{
    seedOccasions();
    QWidget* edit = openFromMenu("mnuDataEdit", "frmEdit");
    clickOn(edit, "cmdNext"); // occasion 2, with two values
    clickOn(edit, "cmdDetails");
    QVERIFY(isShown("frmDetails"));
    QTest::mouseClick(child<QLineEdit>(edit, "txtFields(0)"), Qt::LeftButton);
    press(Qt::Key_D, Qt::AltModifier);
    // Its values window went with it: nothing can be added under it any more.
    QTRY_VERIFY(!isShown("frmDetails"));
    QCOMPARE(fileText(QStringLiteral("SELECT ID FROM Results ORDER BY ID")), QStringLiteral("1;3"));
    QCOMPARE(fileText(QStringLiteral("SELECT ID, Test FROM Details")), QStringLiteral("1|1"));
    QCOMPARE(status(edit), QStringLiteral("Record: 2 of 2"));
    QCOMPARE(child<QLineEdit>(edit, "txtFields(1)")->text(), QStringLiteral("3"));
}

void TestWorkflow::jumpListForgetsDeletedOccasions()
{
    seedOccasions();
    QWidget* edit = openFromMenu("mnuDataEdit", "frmEdit");
    auto* jump = child<widgets::DataCombo>(edit, "DateCombo");
    QCOMPARE(jump->count(), 3);
    clickOn(edit, "cmdDelete");
    QStringList entries;
    for (int i = 0; i < jump->count(); ++i)
        entries << jump->itemText(i);
    QCOMPARE(entries, QStringList({QStringLiteral("Mar-05-2004  Evening"),
                                   QStringLiteral("Mar-07-2004  Morning")}));

    // The list is read again after Update, and may then name an occasion that
    // this window's records lack: picking it keeps the record shown and says so.
    execute({"INSERT INTO Results (Date, Period) VALUES (#3/9/2004#, 1)"});
    QCOMPARE(status(edit), QStringLiteral("Record: 1 of 2"));
    QTest::mouseClick(child<QLineEdit>(edit, "txtFields(0)"), Qt::LeftButton);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    type(QStringLiteral("x"));
    press(Qt::Key_U, Qt::AltModifier);
    QCOMPARE(fileText(QStringLiteral("SELECT Remarks FROM Results WHERE ID = 2")),
             QStringLiteral("xtwo"));
    QCOMPARE(jump->count(), 3);
    QTest::mouseClick(child<QLineEdit>(edit, "txtFields(0)"), Qt::LeftButton);
    press(Qt::Key_Tab, Qt::ShiftModifier); // back to the jump list
    QCOMPARE(focused(), jump);
    m_ui.clear();
    press(Qt::Key_End); // the occasion added elsewhere
    QCOMPARE(jump->currentText(), QStringLiteral("Mar-09-2004  Morning"));
    QCOMPARE(m_ui.messages().size(), 1);
    QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("no longer exists")));
    QCOMPARE(status(edit), QStringLiteral("Record: 1 of 2"));
    QCOMPARE(child<QLineEdit>(edit, "txtFields(1)")->text(), QStringLiteral("2"));
}

// Every underlined letter of every entry window presses that window's own
// button, and no menu of the main window opens instead.
void TestWorkflow::accessKeysPressTheirButtons()
{
    seedOccasions();
    const auto check = [this](QWidget* window, const QList<QPair<Qt::Key, const char*>>& keys) {
        for (const auto& [key, name] : keys) {
            QVERIFY(window);
            std::vector<std::unique_ptr<QSignalSpy>> spies;
            QStringList names; // read now: Close takes the buttons away
            int wanted = -1;
            for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
                if (b->objectName() == QLatin1String(name))
                    wanted = int(spies.size());
                spies.push_back(std::make_unique<QSignalSpy>(b, &QAbstractButton::clicked));
                names << b->objectName();
            }
            QVERIFY2(wanted >= 0, name);
            press(key, Qt::AltModifier);
            QVERIFY2(!anyMenuOpen(), name);
            for (int i = 0; i < int(spies.size()); ++i)
                QVERIFY2(spies[size_t(i)]->count() == (i == wanted ? 1 : 0),
                         qPrintable(QLatin1String(name) + u' ' + names.at(i)));
        }
    };
    for (const char* list : {"frmPeriods", "frmTests"}) {
        QWidget* w = widgets::windows().show(QLatin1String(list));
        check(w, {{Qt::Key_A, "cmdAdd"},
                  {Qt::Key_U, "cmdUpdate"},
                  {Qt::Key_D, "cmdDelete"},
                  {Qt::Key_R, "cmdRefresh"},
                  {Qt::Key_C, "cmdClose"}});
        QTRY_VERIFY(!widgets::windows().isLoaded(QLatin1String(list)));
    }
    QWidget* edit = openFromMenu("mnuDataEdit", "frmEdit");
    check(edit, {{Qt::Key_A, "cmdAdd"}, {Qt::Key_D, "cmdDelete"}, {Qt::Key_U, "cmdUpdate"}});
    check(edit, {{Qt::Key_T, "cmdDetails"}});
    QWidget* details = widgets::windows().find(QStringLiteral("frmDetails"));
    check(details, {{Qt::Key_A, "cmdAdd"},
                    {Qt::Key_D, "cmdDelete"},
                    {Qt::Key_U, "cmdUpdate"},
                    {Qt::Key_C, "cmdClose"}});
    QTRY_VERIFY(!isShown("frmDetails"));
    QTRY_COMPARE(m_main->mdiArea()->activeSubWindow(), frameOf(edit));
    check(edit, {{Qt::Key_C, "cmdClose"}});
    QTRY_VERIFY(!isShown("frmEdit"));
    // With no child window, Alt+D opens the Data menu as before.
    QTest::keyClick(m_main, Qt::Key_D, Qt::AltModifier);
    QTRY_VERIFY(anyMenuOpen());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
}

void TestWorkflow::browseKeysWorkAtOnce()
{
    seedOccasions();
    QWidget* browse = openFromMenu("mnuDataBrowse", "frmBrowse");
    QVERIFY(browse->isAncestorOf(focused()));
    QCOMPARE(status(browse), QStringLiteral("Record: 1 of 3"));
    const QList<std::tuple<Qt::Key, Qt::KeyboardModifiers, const char*>> steps = {
        {Qt::Key_End, Qt::NoModifier, "Record: 3 of 3"},
        {Qt::Key_Home, Qt::NoModifier, "Record: 1 of 3"},
        {Qt::Key_Down, Qt::NoModifier, "Record: 2 of 3"},
        {Qt::Key_Up, Qt::NoModifier, "Record: 1 of 3"},
        {Qt::Key_Down, Qt::ControlModifier, "Record: 3 of 3"}};
    for (const auto& [key, modifiers, expected] : steps) {
        press(key, modifiers);
        QCOMPARE(status(browse), QLatin1String(expected));
    }
    press(Qt::Key_Escape);
    QTRY_VERIFY(!isShown("frmBrowse"));
}

// At the first-run size every entry window opens inside the area, whole.
void TestWorkflow::childWindowsOpenInsideTheArea()
{
    seedOccasions();
    QMdiArea* area = m_main->mdiArea();
    QVERIFY(m_main->width() <= widgets::twipsToPixelsX(6500, m_main));
    for (const char* name : {"frmEdit", "frmDetails", "frmPeriods", "frmTests", "frmBrowse"}) {
        QWidget* w = widgets::windows().show(QLatin1String(name));
        QVERIFY2(w, name);
        QMdiSubWindow* frame = frameOf(w);
        QVERIFY2(frame, name);
        const QRect room(QPoint(0, 0), area->viewport()->size());
        QVERIFY2(frame->x() >= 0 && frame->y() >= 0, name);
        QVERIFY2(room.contains(frame->geometry()), name);
    }
}

// The frame's window menu offers Size (a resize border) and Maximize only
// where the window may change its size.
static bool menuOffers(QMdiSubWindow* frame, const QString& text)
{
    for (QAction* action : frame->systemMenu()->actions())
        if (action->text() == text && action->isVisible() && action->isEnabled())
            return true;
    return false;
}

void TestWorkflow::fixedWindowsCannotBeResized()
{
    seedOccasions();
    QWidget* edit = openFromMenu("mnuDataEdit", "frmEdit");
    clickOn(edit, "cmdDetails");
    QWidget* details = widgets::windows().find(QStringLiteral("frmDetails"));
    for (QWidget* w : {edit, details}) {
        QMdiSubWindow* frame = frameOf(w);
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!menuOffers(frame, QStringLiteral("&Size")));
        QVERIFY(!menuOffers(frame, QStringLiteral("Ma&ximize")));
    }
    QMdiSubWindow* browse = frameOf(openFromMenu("mnuDataBrowse", "frmBrowse"));
    QVERIFY(menuOffers(browse, QStringLiteral("&Size")));
    QVERIFY(menuOffers(browse, QStringLiteral("Ma&ximize")));
}

QTEST_MAIN(TestWorkflow)
#include "tst_workflow.moc"
