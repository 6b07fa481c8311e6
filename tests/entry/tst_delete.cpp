// The multi-delete window: picking occasions and deleting them with their values.

#include "EntryTestSupport.h"

#include <QListWidget>

using namespace vantor;
using namespace entrytest;
using platform::RecordingUi;

namespace {

const QString Caption = QStringLiteral("Multi Delete Records");

// Everything the deletion may touch, in a fixed order.
QString fileDump()
{
    return fileText(QStringLiteral("SELECT * FROM Results ORDER BY ID")) + u'#' +
           fileText(QStringLiteral("SELECT * FROM Details ORDER BY ID, Test")) + u'#' +
           fileText(QStringLiteral("SELECT * FROM tblSelect ORDER BY Id"));
}

// The one message shown, with its icon, title and the beep before it.
void expectMessage(const RecordingUi& ui, const QString& text, platform::Icon icon,
                   const QString& title = Caption)
{
    QCOMPARE(ui.messages().size(), 1);
    const RecordingUi::Message& shown = ui.messages().first();
    QVERIFY2(shown.text.contains(text), qPrintable(shown.text));
    QCOMPARE(shown.icon, icon);
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.beepsBefore, 1);
    QVERIFY(!ui.isBusy());
}

QStringList entries(QListWidget* list)
{
    QStringList texts;
    for (int r = 0; r < list->count(); ++r)
        texts << list->item(r)->text();
    return texts;
}

void clickRow(QListWidget* list, int row, Qt::KeyboardModifiers modifiers)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

} // namespace

class TestDelete : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsOccasionsInEntryOrder();
    void deletes_data();
    void deletes();
    void nothingSelected();
    void failureChangesNothing_data();
    void failureChangesNothing();
    void refusesWithoutOccasions_data();
    void refusesWithoutOccasions();
    void refusesWithoutDatabase();

private:
    static QWidget* open() { return entrytest::open("frmDelete"); }
    static QListWidget* list(QWidget* window) { return child<QListWidget>(window, "List1"); }

    Fixture m_env;
    RecordingUi& m_ui = m_env.ui;
};

void TestDelete::initTestCase()
{
    m_env.start();
}

void TestDelete::init()
{
    m_env.fresh();
}

void TestDelete::cleanup()
{
    m_env.finish();
}

// Occasions 1 to 4 (2 without values), 5 with a period that is gone, a value
// of an occasion that is gone, and tblSelect left over from an earlier run.
static void seed()
{
    execute({"INSERT INTO Periods (Period) VALUES ('Morning')",
             "INSERT INTO Periods (Period) VALUES ('Afternoon')",
             "INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mg/dL')",
             "INSERT INTO Tests (Test, Units) VALUES ('Potassium', 'mmol/L')",
             "INSERT INTO Results (Date, Period, Remarks) VALUES (#3/6/2004#, 1, 'fasting')",
             "INSERT INTO Results (Date, Period) VALUES (#3/5/2004#, 2)",
             "INSERT INTO Results (Date, Period) VALUES (#3/5/2004#, 1)",
             "INSERT INTO Results (Date, Period, Remarks) VALUES (#12/31/2003#, 1, 'last')",
             "INSERT INTO Results (Date, Period) VALUES (#3/4/2004#, 9)",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 95, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 2, 4.2, 'mmol/L')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (3, 1, 101, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (3, 2, 3.9, 'mmol/L')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (4, 1, 88, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (5, 1, 70, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (42, 1, 60, 'mg/dL')",
             "INSERT INTO tblSelect (Id) VALUES (7)", "INSERT INTO tblSelect (Id) VALUES (8)"});
}

void TestDelete::listsOccasionsInEntryOrder()
{
    seed();
    QWidget* window = open();
    QCOMPARE(list(window)->selectionMode(), QAbstractItemView::ExtendedSelection);
    // By id, not by date; the occasion without a period is not there.
    QCOMPARE(entries(list(window)), (QStringList{QStringLiteral("1:\t06-Mar-2004, Morning"),
                                                 QStringLiteral("2:\t05-Mar-2004, Afternoon"),
                                                 QStringLiteral("3:\t05-Mar-2004, Morning"),
                                                 QStringLiteral("4:\t31-Dec-2003, Morning")}));
    QVERIFY(!m_ui.isBusy());
    QVERIFY(m_ui.messages().isEmpty());
    clickRow(list(window), 1, {});
    clickRow(list(window), 3, Qt::ControlModifier);
    screenshot(window, QStringLiteral("frmDelete"));
}

void TestDelete::deletes_data()
{
    QTest::addColumn<QList<int>>("clicks"); // list rows; a negative row is a Shift+click
    QTest::addColumn<QList<int>>("deleted");
    QTest::addColumn<QString>("message");

    QTest::newRow("one with values")
        << QList<int>{0} << QList<int>{1} << QStringLiteral("Record Deleted!");
    QTest::newRow("one without values")
        << QList<int>{1} << QList<int>{2} << QStringLiteral("Record Deleted!");
    QTest::newRow("Ctrl+click several")
        << QList<int>{0, 2, 3} << QList<int>{1, 3, 4} << QStringLiteral("Records Deleted!");
    QTest::newRow("Ctrl+click off again")
        << QList<int>{0, 2, 0} << QList<int>{3} << QStringLiteral("Record Deleted!");
    QTest::newRow("Shift+click a range")
        << QList<int>{1, -3} << QList<int>{2, 3, 4} << QStringLiteral("Records Deleted!");
    QTest::newRow("all") << QList<int>{0, -3} << QList<int>{1, 2, 3, 4}
                         << QStringLiteral("Records Deleted!");
}

void TestDelete::deletes()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QList<int>, deleted);
    QFETCH(QString, message);

    seed();
    // Refuses to delete an occasion that still has values: they must go first.
    execute(QStringLiteral("CREATE TRIGGER valuesFirst BEFORE DELETE ON Results WHEN EXISTS "
                           "(SELECT 1 FROM Details WHERE Details.ID = old.ID) BEGIN "
                           "SELECT RAISE(ABORT, 'values left behind'); END"));
    QWidget* window = open();
    QListWidget* list1 = list(window);
    const QStringList before = entries(list1);
    const QStringList results = fileRows(QStringLiteral("SELECT * FROM Results ORDER BY ID"));
    const QStringList details = fileRows(QStringLiteral("SELECT * FROM Details ORDER BY ID, Test"));

    for (qsizetype k = 0; k < clicks.size(); ++k) {
        const int row = clicks.at(k);
        clickRow(list1, std::abs(row),
                 row < 0 ? Qt::ShiftModifier : (k == 0 ? Qt::NoModifier : Qt::ControlModifier));
    }
    QCOMPARE(list1->selectedItems().size(), deleted.size());
    click(window, "cmdDelete");

    expectMessage(m_ui, message, platform::Icon::Information);

    // Exactly the chosen occasions and their values are gone.
    const auto kept = [&deleted](const QStringList& rows) {
        QStringList left;
        for (const QString& r : rows)
            if (!deleted.contains(r.section(u'|', 0, 0).toInt()))
                left << r;
        return left;
    };
    QCOMPARE(fileRows(QStringLiteral("SELECT * FROM Results ORDER BY ID")), kept(results));
    QCOMPARE(fileRows(QStringLiteral("SELECT * FROM Details ORDER BY ID, Test")), kept(details));
    QStringList ids;
    for (int id : deleted)
        ids << QString::number(id);
    QCOMPARE(fileRows(QStringLiteral("SELECT Id FROM tblSelect ORDER BY Id")), ids);
    // The list is read again: the deleted occasions are gone from it.
    QStringList left;
    for (const QString& entry : before)
        if (!deleted.contains(entry.section(u':', 0, 0).toInt()))
            left << entry;
    QCOMPARE(entries(list1), left);
}

void TestDelete::nothingSelected()
{
    seed();
    const QString before = fileDump();
    QWidget* window = open();
    click(window, "cmdDelete");
    expectMessage(
        m_ui, QStringLiteral("Nothing has been selected! Please make a selection and try again."),
        platform::Icon::Exclamation);
    QCOMPARE(fileDump(), before);
    QCOMPARE(list(window)->count(), 4);
}

void TestDelete::failureChangesNothing_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("second occasion")
        << QStringLiteral("BEFORE DELETE ON Results WHEN old.ID = 3 BEGIN "
                          "SELECT RAISE(ABORT, 'disk trouble'); END");
    QTest::newRow("values of the second occasion")
        << QStringLiteral("BEFORE DELETE ON Details WHEN old.ID = 3 BEGIN "
                          "SELECT RAISE(ABORT, 'disk trouble'); END");
    QTest::newRow("second id in tblSelect")
        << QStringLiteral("BEFORE INSERT ON tblSelect WHEN new.Id = 3 BEGIN "
                          "SELECT RAISE(ABORT, 'disk trouble'); END");
}

// A failure part-way through leaves the file exactly as it was, tblSelect
// included, and the next attempt starts clean.
void TestDelete::failureChangesNothing()
{
    QFETCH(QString, trigger);
    seed();
    execute(QStringLiteral("CREATE TRIGGER t ") + trigger);
    const QString before = fileDump();
    QWidget* window = open();
    QListWidget* list1 = list(window);
    for (int row : {0, 2, 3})
        list1->item(row)->setSelected(true);
    auto* button = child<QPushButton>(window, "cmdDelete");
    button->click();

    expectMessage(m_ui, QStringLiteral("disk trouble"), platform::Icon::Critical);
    QCOMPARE(fileDump(), before);
    QCOMPARE(list1->count(), 4);
    QCOMPARE(engine::Connection::openConnectionCount(), 1); // the list's own

    execute(QStringLiteral("DROP TRIGGER t"));
    m_ui.clear();
    button->click();
    QCOMPARE(m_ui.messages().value(0).text, QStringLiteral("Records Deleted!"));
    QCOMPARE(fileRows(QStringLiteral("SELECT ID FROM Results ORDER BY ID")),
             (QStringList{QStringLiteral("2"), QStringLiteral("5")}));
    QCOMPARE(fileRows(QStringLiteral("SELECT count(*) FROM Details WHERE ID IN (1, 3, 4)")),
             QStringList{QStringLiteral("0")});
}

void TestDelete::refusesWithoutOccasions_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("empty database") << QString();
    QTest::newRow("only an occasion without its period")
        << QStringLiteral("INSERT INTO Results (Date, Period) VALUES (#3/4/2004#, 9)");
}

void TestDelete::refusesWithoutOccasions()
{
    QFETCH(QString, sql);
    if (!sql.isEmpty())
        execute(sql);
    QVERIFY(!open());
    QVERIFY(!widgets::windows().isLoaded(QStringLiteral("frmDelete")));
    expectMessage(m_ui, QStringLiteral("There are no records in the database!"),
                  platform::Icon::Critical, QStringLiteral("No Records Found"));
}

void TestDelete::refusesWithoutDatabase()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    QVERIFY(!open());
    QCOMPARE(m_ui.messages().size(), 1);
    QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("vantor.mdb")));
    QCOMPARE(m_ui.messages().first().icon, platform::Icon::Critical);
    QVERIFY(!QFile::exists(QStringLiteral("vantor.mdb")));
}

QTEST_MAIN(TestDelete)
#include "tst_delete.moc"
