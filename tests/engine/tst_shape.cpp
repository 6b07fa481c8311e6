// Shape commands as the windows and reports send them, on a small known database.

#include "EngineFixture.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "engine/ShapeCommand.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using namespace vantor::engine;

namespace {

const QString BrowseConnection = QStringLiteral(
    "PROVIDER=MSDataShape;Data PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;");
const QString ChartConnection = QStringLiteral(
    "PROVIDER=MSDataShape;Data Source=vantor.mdb;Data Provider=Microsoft.Jet.OLEDB.4.0");
const QString ReportConnection =
    QStringLiteral("PROVIDER=MSDataShape;DATA PROVIDER=MICROSOFT.JET.OLEDB.4.0;"
                   "Data Source=vantor.mdb;Persist Security Info=False;");

const QString BrowseCommand = QStringLiteral(
    "SHAPE {SELECT Results.ID, Results.Date, Periods.Period, Results.Remarks FROM Results INNER "
    "JOIN Periods ON Results.Period = Periods.ID Order by Date, [Results].Period} AS ParentCMD "
    "APPEND ({SELECT Details.ID, Tests.Test, Details.Result, Details.Unit FROM Tests INNER JOIN "
    "Details ON Tests.ID = Details.Test } AS ChildCMD RELATE ID TO ID) AS ChildCMD");

QString chartCommand(const QString& from, const QString& to, int item)
{
    const QString query =
        QStringLiteral("SELECT Results.Date, Periods.Period, Tests.Test, Details.Result, "
                       "Tests.Units, Periods.ID ") +
        QStringLiteral("FROM Periods INNER JOIN (Tests INNER JOIN (Results INNER JOIN Details ON "
                       "Results.ID = Details.ID) ON Tests.ID = Details.Test) ON Periods.ID = "
                       "Results.Period ") +
        QStringLiteral("WHERE (((Results.Date) Between #") + from + QStringLiteral("# And #") + to +
        QStringLiteral("#) AND ((Tests.ID) = ") + QString::number(item) + QStringLiteral(")) ") +
        QStringLiteral("ORDER BY Results.Date, Tests.Test, Results.Period, Periods.ID;");
    return QStringLiteral("SHAPE {") + query +
           QStringLiteral("} AS ChildCommand COMPUTE ChildCommand, AVG(ChildCommand.[Result]) AS "
                          "[Result] BY [Date]");
}

QString dailyCommand(const QString& from, const QString& to)
{
    const QString query = QStringLiteral("SELECT Results.* FROM Results ") +
                          QStringLiteral("WHERE (((Results.Date) Between #") + from +
                          QStringLiteral("# And #") + to + QStringLiteral("#)) ") +
                          QStringLiteral("ORDER BY Results.Date, Results.Period;");
    return QStringLiteral("SHAPE ( SHAPE {") + query +
           QStringLiteral("}  AS Results APPEND (( SHAPE {SELECT * FROM `qryResults`}  AS Periods "
                          "APPEND ({SELECT * FROM `qryDetails`}  AS Details RELATE 'ID' TO 'ID') "
                          "AS Details) AS Periods RELATE 'ID' TO 'ID') AS Periods) COMPUTE "
                          "Results BY 'Date'");
}

QString singleItemCommand(const QString& testQuery, const QString& itemQuery)
{
    return QStringLiteral("SHAPE ( SHAPE {") + testQuery +
           QStringLiteral("}  AS Test_Items APPEND ({") + itemQuery +
           QStringLiteral("}  AS Items RELATE 'ID' TO 'Test') AS Items) COMPUTE Test_Items BY "
                          "'Test'");
}

void exec(const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open("vantor.mdb", &db);
    QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// Every value of one column of a recordset, from its first row.
QStringList column(Recordset& rs, const QString& name)
{
    QStringList values;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QVariant v = rs.value(name);
        values << (v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate)
                                                  : v.toString());
    }
    return values;
}

} // namespace

class TestShape : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void browseChildrenFollowTheParent();
    void chartAveragesPerDate();
    void dailyResultsLevels();
    void singleItemLevels();
    void filteredListPrint();
    void parsesNamesAndNesting();
    void hostileTexts_data();
    void hostileTexts();
    void relateToMissingColumn();
    void shapeNeedsShapeProvider();

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

void TestShape::init()
{
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QFile::remove(QStringLiteral("vantor.mdb"));
    enginetest::makeDatabase(QStringLiteral("vantor.mdb"));
    // An occasion whose period is gone, a value whose test item is gone, and
    // a second glucose day.
    exec("INSERT INTO Results (ID, Date, Period, Remarks) VALUES (5, '2004-03-05', 9, 'lost');"
         "INSERT INTO Details (ID, Test, Result, Unit) VALUES (5, 1, 100, 'mg/dL'),"
         " (2, 7, 1.5, 'x'), (3, 1, 101, 'mg/dL');");
}

void TestShape::cleanup()
{
    QCOMPARE(Connection::openConnectionCount(), 0);
    QDir::setCurrent(m_oldCwd);
}

void TestShape::browseChildrenFollowTheParent()
{
    Connection c;
    c.open(BrowseConnection);
    Recordset rs;
    rs.open(BrowseCommand, &c, CursorType::Static, LockType::Optimistic);
    QCOMPARE(rs.fieldNames(),
             (QStringList{QStringLiteral("ID"), QStringLiteral("Date"), QStringLiteral("Period"),
                          QStringLiteral("Remarks"), QStringLiteral("ChildCMD")}));
    QVERIFY(rs.isChapter(4));
    QCOMPARE(column(rs, QStringLiteral("ID")),
             (QStringList{QStringLiteral("4"), QStringLiteral("1"), QStringLiteral("2"),
                          QStringLiteral("3")}));

    rs.moveFirst();
    Recordset* child = rs.chapter(QStringLiteral("ChildCMD"));
    QCOMPARE(child->fieldNames(), (QStringList{QStringLiteral("ID"), QStringLiteral("Test"),
                                               QStringLiteral("Result"), QStringLiteral("Unit")}));
    QCOMPARE(child->recordCount(), 0); // an occasion without values

    QSignalSpy resets(child, &Recordset::rowsReset);
    rs.moveNext();
    QCOMPARE(rs.chapter(4), child); // the same object, refilled
    QVERIFY(resets.count() >= 1);
    QStringList tests = column(*child, QStringLiteral("Test"));
    tests.sort();
    QCOMPARE(tests, (QStringList{QStringLiteral("Cholesterol"), QStringLiteral("Glucose")}));

    rs.moveNext(); // occasion 2: its value of a deleted test item is not shown
    QCOMPARE(column(*child, QStringLiteral("Result")), QStringList{QStringLiteral("130")});
    QCOMPARE(qobject_cast<Recordset*>(rs.value(4).value<QObject*>()), child);

    rs.moveNext();
    rs.moveNext();
    QVERIFY(rs.eof());
    QCOMPARE(child->recordCount(), 0);
    QVERIFY_THROWS_EXCEPTION(Error, child->setValue(0, 1)); // the browse grid is read-only
}

void TestShape::chartAveragesPerDate()
{
    Connection c;
    c.open(ChartConnection);
    Recordset rs;
    rs.open(chartCommand(QStringLiteral("1/1/2004"), QStringLiteral("12/31/2004"), 1), &c);
    QCOMPARE(column(rs, QStringLiteral("Date")),
             (QStringList{QStringLiteral("2004-03-05"), QStringLiteral("2004-04-03")}));
    QCOMPARE(column(rs, QStringLiteral("Result")),
             (QStringList{QStringLiteral("112.5"), QStringLiteral("101")}));
    rs.moveFirst();
    QCOMPARE(rs.chapter(QStringLiteral("ChildCommand"))->recordCount(), 2);

    // A span of one day gives one category; an empty span none.
    rs.open(chartCommand(QStringLiteral("4/3/2004"), QStringLiteral("4/3/2004"), 1), &c);
    QCOMPARE(rs.recordCount(), 1);
    rs.open(chartCommand(QStringLiteral("12/31/2004"), QStringLiteral("1/1/2004"), 1), &c);
    QCOMPARE(rs.recordCount(), 0);
    QVERIFY(rs.eof());
}

void TestShape::dailyResultsLevels()
{
    Connection c;
    c.open(ReportConnection);
    Recordset rs;
    rs.open(dailyCommand(QStringLiteral("3/1/2004"), QStringLiteral("3/31/2004")), &c);
    QCOMPARE(rs.recordCount(), 1); // one date group
    rs.moveFirst();
    QCOMPARE(rs.value(QStringLiteral("Date")).toDate(), QDate(2004, 3, 5));

    Recordset* results = rs.chapter(QStringLiteral("Results"));
    QCOMPARE(column(*results, QStringLiteral("ID")),
             (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5")}));

    results->moveFirst();
    Recordset* periods = results->chapter(QStringLiteral("Periods"));
    QCOMPARE(column(*periods, QStringLiteral("Period")), QStringList{QStringLiteral("Morning")});
    periods->moveFirst();
    Recordset* details = periods->chapter(QStringLiteral("Details"));
    QStringList values = column(*details, QStringLiteral("Test"));
    values.sort();
    QCOMPARE(values, (QStringList{QStringLiteral("Cholesterol"), QStringLiteral("Glucose")}));
    QCOMPARE(details->fieldNames(),
             (QStringList{QStringLiteral("ID"), QStringLiteral("Test"), QStringLiteral("Result"),
                          QStringLiteral("Units")}));

    results->moveNext(); // occasion 2, afternoon: its value of a deleted item has no name
    QCOMPARE(results->chapter(QStringLiteral("Periods")), periods);
    QCOMPARE(column(*periods, QStringLiteral("Period")), QStringList{QStringLiteral("Afternoon")});
    periods->moveFirst();
    QCOMPARE(periods->chapter(QStringLiteral("Details")), details);
    QCOMPARE(details->recordCount(), 2);

    results->moveNext(); // occasion 5: its period is gone
    QCOMPARE(periods->recordCount(), 0);
}

void TestShape::singleItemLevels()
{
    Connection c;
    c.open(ReportConnection);
    Recordset rs;
    const QString items = QStringLiteral(
        "SELECT * FROM Details INNER JOIN [Results Sorted] ON Details.ID = [Results Sorted].ID "
        "WHERE (([Results Sorted].Date) Between #3/1/2004# And #3/31/2004#);");
    rs.open(singleItemCommand(QStringLiteral("SELECT * FROM Tests WHERE (Tests.ID)=1"), items), &c);
    QCOMPARE(column(rs, QStringLiteral("Test")), QStringList{QStringLiteral("Glucose")});
    rs.moveFirst();
    Recordset* testItems = rs.chapter(QStringLiteral("Test_Items"));
    QCOMPARE(testItems->recordCount(), 1);
    testItems->moveFirst();
    Recordset* rows = testItems->chapter(QStringLiteral("Items"));
    QVERIFY(rows->fieldIndex(QStringLiteral("Date")) >= 0);
    QVERIFY(rows->fieldIndex(QStringLiteral("Unit")) >= 0);
    QVERIFY(rows->fieldIndex(QStringLiteral("Period")) >= 0);
    QCOMPARE(column(*rows, QStringLiteral("Result")),
             (QStringList{QStringLiteral("95"), QStringLiteral("130"), QStringLiteral("100")}));
    QCOMPARE(column(*rows, QStringLiteral("Period")),
             (QStringList{QStringLiteral("Morning"), QStringLiteral("Afternoon"), QString()}));

    // An item without values in a span that has other values: the heading, no rows.
    rs.open(singleItemCommand(QStringLiteral("SELECT * FROM Tests WHERE (Tests.ID)=3"), items), &c);
    QCOMPARE(column(rs, QStringLiteral("Test")), QStringList{QStringLiteral("Potassium")});
    rs.moveFirst();
    rs.chapter(QStringLiteral("Test_Items"))->moveFirst();
    QCOMPARE(
        rs.chapter(QStringLiteral("Test_Items"))->chapter(QStringLiteral("Items"))->recordCount(),
        0);
}

void TestShape::filteredListPrint()
{
    Connection c;
    c.open(ReportConnection);
    Recordset rs;
    // The dates as the lists show them.
    const QString items = QStringLiteral(
        "SELECT * FROM Details INNER JOIN [Results Sorted] ON Details.ID = [Results Sorted].ID "
        "WHERE ((([Results Sorted].Date) Between #01-Mar-2004# And #31-Mar-2004#) AND "
        "((Details.Result) > 100));");
    rs.open(singleItemCommand(QStringLiteral("SELECT * FROM Tests WHERE (Tests.ID)=1"), items), &c);
    rs.moveFirst();
    Recordset* testItems = rs.chapter(QStringLiteral("Test_Items"));
    testItems->moveFirst();
    QCOMPARE(column(*testItems->chapter(QStringLiteral("Items")), QStringLiteral("Result")),
             QStringList{QStringLiteral("130")});
}

void TestShape::parsesNamesAndNesting()
{
    const auto node =
        parseShapeCommand(dailyCommand(QStringLiteral("1/1/2004"), QStringLiteral("1/2/2004")));
    QVERIFY(node->compute);
    QCOMPARE(node->computeChapter, QStringLiteral("Results"));
    QCOMPARE(node->by, QStringList{QStringLiteral("Date")});
    const ShapeNode& results = *node->base;
    QCOMPARE(results.alias, QStringLiteral("Results"));
    QCOMPARE(results.children.size(), size_t(1));
    const ShapeNode::Child& periods = results.children.front();
    QCOMPARE(periods.chapterName, QStringLiteral("Periods"));
    QCOMPARE(periods.relations.front().parentColumn, QStringLiteral("ID"));
    QCOMPARE(periods.command->children.front().chapterName, QStringLiteral("Details"));
    QVERIFY(periods.command->children.front().command->isSql());

    // A brace inside a string of the inner SQL does not end the command.
    const auto quoted = parseShapeCommand(
        QStringLiteral("SHAPE {SELECT * FROM Results WHERE Remarks <> '}' } AS `P` APPEND "
                       "({SELECT * FROM Details} AS [C] RELATE [ID] TO `ID`) AS \"Kids\""));
    QCOMPARE(quoted->base->sql.trimmed(),
             QStringLiteral("SELECT * FROM Results WHERE Remarks <> '}'"));
    QCOMPARE(quoted->children.front().chapterName, QStringLiteral("Kids"));
}

void TestShape::hostileTexts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("position");
    QTest::newRow("unbalanced brace")
        << QStringLiteral("SHAPE {SELECT * FROM Results AS x") << QStringLiteral("position 7");
    QTest::newRow("unbalanced paren")
        << QStringLiteral("SHAPE {SELECT 1} AS P APPEND ({SELECT 2} AS C RELATE a TO b")
        << QStringLiteral("position");
    QTest::newRow("unknown aggregate")
        << QStringLiteral("SHAPE {SELECT 1} AS C COMPUTE C, MEDIAN(C.x) AS m BY y")
        << QStringLiteral("position 34");
    QTest::newRow("missing RELATE")
        << QStringLiteral("SHAPE {SELECT 1} AS P APPEND ({SELECT 2} AS C)")
        << QStringLiteral("RELATE");
    QTest::newRow("empty command") << QStringLiteral("SHAPE {  }") << QStringLiteral("empty");
    QTest::newRow("trailing words")
        << QStringLiteral("SHAPE {SELECT 1} AS C COMPUTE C BY x y") << QStringLiteral("'y'");
    QTest::newRow("deep nesting") << QString(QStringLiteral("SHAPE (").repeated(200))
                                  << QStringLiteral("deeply");
}

void TestShape::hostileTexts()
{
    QFETCH(QString, command);
    QFETCH(QString, position);
    try {
        parseShapeCommand(command);
        QFAIL("read without complaint");
    } catch (const Error& e) {
        QCOMPARE(e.number(), int(Error::SyntaxError));
        QVERIFY2(e.description().contains(position), qPrintable(e.description()));
    }
}

void TestShape::relateToMissingColumn()
{
    Connection c;
    c.open(BrowseConnection);
    Recordset rs;
    QVERIFY_THROWS_EXCEPTION(
        Error, rs.open(QStringLiteral("SHAPE {SELECT ID FROM Results} AS P APPEND ({SELECT * "
                                      "FROM Details} AS C RELATE Nope TO ID) AS C"),
                       &c));
    rs.open(QStringLiteral("SHAPE {SELECT ID FROM Results} AS P APPEND ({SELECT * FROM Details} "
                           "AS C RELATE ID TO Nope) AS C"),
            &c);
    QVERIFY_THROWS_EXCEPTION(Error, rs.chapter(1));
    // An empty child set gives empty chapters, not an error.
    rs.open(QStringLiteral("SHAPE {SELECT ID FROM Results} AS P APPEND ({SELECT * FROM Details "
                           "WHERE ID < 0} AS C RELATE ID TO ID) AS C"),
            &c);
    rs.moveFirst();
    QCOMPARE(rs.chapter(1)->recordCount(), 0);
}

void TestShape::shapeNeedsShapeProvider()
{
    Connection c;
    c.open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;"));
    Recordset rs;
    try {
        rs.open(BrowseCommand, &c);
        QFAIL("opened a shape command on a plain connection");
    } catch (const Error& e) {
        QVERIFY(e.description().contains(QStringLiteral("MSDataShape")));
    }
}

QTEST_GUILESS_MAIN(TestShape)
#include "tst_shape.moc"
