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

using namespace Qt::StringLiterals;
using namespace vantor;
using namespace vantor::engine;

namespace {

const QString BrowseConnection =
    u"PROVIDER=MSDataShape;Data PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;"_s;
const QString ChartConnection =
    u"PROVIDER=MSDataShape;Data Source=vantor.mdb;Data Provider=Microsoft.Jet.OLEDB.4.0"_s;
const QString ReportConnection = u"PROVIDER=MSDataShape;DATA PROVIDER=MICROSOFT.JET.OLEDB.4.0;Data "
                                 "Source=vantor.mdb;Persist Security Info=False;"_s;

const QString BrowseCommand =
    u"SHAPE {SELECT Results.ID, Results.Date, Periods.Period, Results.Remarks FROM "
    "Results INNER JOIN Periods ON Results.Period = Periods.ID Order by Date, "
    "[Results].Period} AS ParentCMD APPEND ({SELECT Details.ID, Tests.Test, "
    "Details.Result, Details.Unit FROM Tests INNER JOIN Details ON Tests.ID = "
    "Details.Test } AS ChildCMD RELATE ID TO ID) AS ChildCMD"_s;

QString chartCommand(const QString& from, const QString& to, int item)
{
    const QString query =
        u"SELECT Results.Date, Periods.Period, Tests.Test, Details.Result, Tests.Units, "
        "Periods.ID "_s +
        u"FROM Periods INNER JOIN (Tests INNER JOIN (Results INNER JOIN Details ON Results.ID "
        "= Details.ID) ON Tests.ID = Details.Test) ON Periods.ID = Results.Period "_s +
        u"WHERE (((Results.Date) Between #"_s + from + u"# And #"_s + to +
        u"#) AND ((Tests.ID) = "_s + QString::number(item) + u")) "_s +
        u"ORDER BY Results.Date, Tests.Test, Results.Period, Periods.ID;"_s;
    return u"SHAPE {"_s + query +
           u"} AS ChildCommand COMPUTE ChildCommand, AVG(ChildCommand.[Result]) AS [Result] BY "
           "[Date]"_s;
}

QString dailyCommand(const QString& from, const QString& to)
{
    const QString query = u"SELECT Results.* FROM Results "_s +
                          u"WHERE (((Results.Date) Between #"_s + from + u"# And #"_s + to +
                          u"#)) "_s + u"ORDER BY Results.Date, Results.Period;"_s;
    return u"SHAPE ( SHAPE {"_s + query +
           u"}  AS Results APPEND (( SHAPE {SELECT * FROM `qryResults`}  AS Periods APPEND "
           "({SELECT * FROM `qryDetails`}  AS Details RELATE 'ID' TO 'ID') AS Details) AS "
           "Periods RELATE 'ID' TO 'ID') AS Periods) COMPUTE Results BY 'Date'"_s;
}

QString singleItemCommand(const QString& testQuery, const QString& itemQuery)
{
    return u"SHAPE ( SHAPE {"_s + testQuery + u"}  AS Test_Items APPEND ({"_s + itemQuery +
           u"}  AS Items RELATE 'ID' TO 'Test') AS Items) COMPUTE Test_Items BY 'Test'"_s;
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
    QFile::remove(u"vantor.mdb"_s);
    // An occasion whose period is gone, a value whose test item is gone, and
    // a second glucose day.
    enginetest::makeDatabase(
        u"vantor.mdb"_s,
        "INSERT INTO Results (ID, Date, Period, Remarks) VALUES (5, '2004-03-05', 9, 'lost');"
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
    QCOMPARE(rs.fieldNames(), (u"ID,Date,Period,Remarks,ChildCMD"_s.split(u',')));
    QVERIFY(rs.isChapter(4));
    QCOMPARE(column(rs, u"ID"_s), (u"4,1,2,3"_s.split(u',')));

    rs.moveFirst();
    Recordset* child = rs.chapter(u"ChildCMD"_s);
    QCOMPARE(child->fieldNames(), (u"ID,Test,Result,Unit"_s.split(u',')));
    QCOMPARE(child->recordCount(), 0); // an occasion without values

    QSignalSpy resets(child, &Recordset::rowsReset);
    rs.moveNext();
    QCOMPARE(rs.chapter(4), child); // the same object, refilled
    QVERIFY(resets.count() >= 1);
    QStringList tests = column(*child, u"Test"_s);
    tests.sort();
    QCOMPARE(tests, (u"Cholesterol,Glucose"_s.split(u',')));

    rs.moveNext(); // occasion 2: its value of a deleted test item is not shown
    QCOMPARE(column(*child, u"Result"_s), QStringList{u"130"_s});
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
    rs.open(chartCommand(u"1/1/2004"_s, u"12/31/2004"_s, 1), &c);
    QCOMPARE(column(rs, u"Date"_s), (u"2004-03-05,2004-04-03"_s.split(u',')));
    QCOMPARE(column(rs, u"Result"_s), (u"112.5,101"_s.split(u',')));
    rs.moveFirst();
    QCOMPARE(rs.chapter(u"ChildCommand"_s)->recordCount(), 2);

    // A span of one day gives one category; an empty span none.
    rs.open(chartCommand(u"4/3/2004"_s, u"4/3/2004"_s, 1), &c);
    QCOMPARE(rs.recordCount(), 1);
    rs.open(chartCommand(u"12/31/2004"_s, u"1/1/2004"_s, 1), &c);
    QCOMPARE(rs.recordCount(), 0);
    QVERIFY(rs.eof());
}

void TestShape::dailyResultsLevels()
{
    Connection c;
    c.open(ReportConnection);
    Recordset rs;
    rs.open(dailyCommand(u"3/1/2004"_s, u"3/31/2004"_s), &c);
    QCOMPARE(rs.recordCount(), 1); // one date group
    rs.moveFirst();
    QCOMPARE(rs.value(u"Date"_s).toDate(), QDate(2004, 3, 5));

    Recordset* results = rs.chapter(u"Results"_s);
    QCOMPARE(column(*results, u"ID"_s), (u"1,2,5"_s.split(u',')));

    results->moveFirst();
    Recordset* periods = results->chapter(u"Periods"_s);
    QCOMPARE(column(*periods, u"Period"_s), QStringList{u"Morning"_s});
    periods->moveFirst();
    Recordset* details = periods->chapter(u"Details"_s);
    QStringList values = column(*details, u"Test"_s);
    values.sort();
    QCOMPARE(values, (u"Cholesterol,Glucose"_s.split(u',')));
    QCOMPARE(details->fieldNames(), (u"ID,Test,Result,Units"_s.split(u',')));

    results->moveNext(); // occasion 2, afternoon: its value of a deleted item has no name
    QCOMPARE(results->chapter(u"Periods"_s), periods);
    QCOMPARE(column(*periods, u"Period"_s), QStringList{u"Afternoon"_s});
    periods->moveFirst();
    QCOMPARE(periods->chapter(u"Details"_s), details);
    QCOMPARE(details->recordCount(), 2);

    results->moveNext(); // occasion 5: its period is gone
    QCOMPARE(periods->recordCount(), 0);
}

void TestShape::singleItemLevels()
{
    Connection c;
    c.open(ReportConnection);
    Recordset rs;
    // Opens the report for one test item; gives the values of its first level.
    const auto open = [&](int item, const QString& items) {
        rs.open(singleItemCommand(u"SELECT * FROM Tests WHERE (Tests.ID)=%1"_s.arg(item), items),
                &c);
        rs.moveFirst();
        Recordset* testItems = rs.chapter(u"Test_Items"_s);
        testItems->moveFirst();
        return testItems->chapter(u"Items"_s);
    };
    const QString items =
        u"SELECT * FROM Details INNER JOIN [Results Sorted] ON Details.ID = [Results "
        "Sorted].ID WHERE (([Results Sorted].Date) Between #3/1/2004# And #3/31/2004#);"_s;
    Recordset* rows = open(1, items);
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(u"Test"_s).toString(), u"Glucose"_s);
    QCOMPARE(rs.chapter(u"Test_Items"_s)->recordCount(), 1);
    for (const QString& name : {u"Date"_s, u"Unit"_s, u"Period"_s})
        QVERIFY(rows->fieldIndex(name) >= 0);
    QCOMPARE(column(*rows, u"Result"_s), (u"95,130,100"_s.split(u',')));
    QCOMPARE(column(*rows, u"Period"_s), (u"Morning,Afternoon,"_s.split(u',')));

    // An item without values in a span that has other values: the heading, no rows.
    QCOMPARE(open(3, items)->recordCount(), 0);
    QCOMPARE(column(rs, u"Test"_s), QStringList{u"Potassium"_s});

    // The filtered print writes the dates as the lists show them.
    rows = open(1, u"SELECT * FROM Details INNER JOIN [Results Sorted] ON Details.ID = [Results "
                   "Sorted].ID WHERE ((([Results Sorted].Date) Between #01-Mar-2004# And "
                   "#31-Mar-2004#) AND ((Details.Result) > 100));"_s);
    QCOMPARE(column(*rows, u"Result"_s), QStringList{u"130"_s});
}

void TestShape::parsesNamesAndNesting()
{
    const auto node = parseShapeCommand(dailyCommand(u"1/1/2004"_s, u"1/2/2004"_s));
    QVERIFY(node->compute);
    QCOMPARE(node->computeChapter, u"Results"_s);
    QCOMPARE(node->by, QStringList{u"Date"_s});
    const ShapeNode& results = *node->base;
    QCOMPARE(results.alias, u"Results"_s);
    QCOMPARE(results.children.size(), size_t(1));
    const ShapeNode::Child& periods = results.children.front();
    QCOMPARE(periods.chapterName, u"Periods"_s);
    QCOMPARE(periods.relations.front().parentColumn, u"ID"_s);
    QCOMPARE(periods.command->children.front().chapterName, u"Details"_s);
    QVERIFY(periods.command->children.front().command->isSql());

    // A brace inside a string of the inner SQL does not end the command.
    const auto quoted = parseShapeCommand(
        u"SHAPE {SELECT * FROM Results WHERE Remarks <> '}' } AS `P` APPEND ({SELECT * FROM "
        "Details} AS [C] RELATE [ID] TO `ID`) AS \"Kids\""_s);
    QCOMPARE(quoted->base->sql.trimmed(), u"SELECT * FROM Results WHERE Remarks <> '}'"_s);
    QCOMPARE(quoted->children.front().chapterName, u"Kids"_s);
}

void TestShape::hostileTexts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("position");
    QTest::newRow("unbalanced brace") << u"SHAPE {SELECT * FROM Results AS x"_s << u"position 7"_s;
    QTest::newRow("unbalanced paren")
        << u"SHAPE {SELECT 1} AS P APPEND ({SELECT 2} AS C RELATE a TO b"_s << u"position"_s;
    QTest::newRow("unknown aggregate")
        << u"SHAPE {SELECT 1} AS C COMPUTE C, MEDIAN(C.x) AS m BY y"_s << u"position 34"_s;
    QTest::newRow("missing RELATE")
        << u"SHAPE {SELECT 1} AS P APPEND ({SELECT 2} AS C)"_s << u"RELATE"_s;
    QTest::newRow("empty command") << u"SHAPE {  }"_s << u"empty"_s;
    QTest::newRow("trailing words") << u"SHAPE {SELECT 1} AS C COMPUTE C BY x y"_s << u"'y'"_s;
    QTest::newRow("deep nesting") << QString(u"SHAPE ("_s.repeated(200)) << u"deeply"_s;
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
        Error,
        rs.open(u"SHAPE {SELECT ID FROM Results} AS P APPEND ({SELECT * FROM Details} AS C RELATE "
                "Nope TO ID) AS C"_s,
                &c));
    rs.open(u"SHAPE {SELECT ID FROM Results} AS P APPEND ({SELECT * FROM Details} AS C RELATE ID "
            "TO Nope) AS C"_s,
            &c);
    QVERIFY_THROWS_EXCEPTION(Error, rs.chapter(1));
    // An empty child set gives empty chapters, not an error.
    rs.open(u"SHAPE {SELECT ID FROM Results} AS P APPEND ({SELECT * FROM Details WHERE ID < 0} AS "
            "C RELATE ID TO ID) AS C"_s,
            &c);
    rs.moveFirst();
    QCOMPARE(rs.chapter(1)->recordCount(), 0);
}

void TestShape::shapeNeedsShapeProvider()
{
    Connection c;
    c.open(u"PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;"_s);
    Recordset rs;
    try {
        rs.open(BrowseCommand, &c);
        QFAIL("opened a shape command on a plain connection");
    } catch (const Error& e) {
        QVERIFY(e.description().contains(u"MSDataShape"_s));
    }
}

QTEST_GUILESS_MAIN(TestShape)
#include "tst_shape.moc"
