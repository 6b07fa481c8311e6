#include "engine/JetSql.h"
#include "engine/JetTree.h"
#include "engine/SqliteSchema.h"
#include "platform/Error.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include "EngineFixture.h"

using namespace Qt::StringLiterals;
using namespace enginetest;

using namespace vantor;
using namespace vantor::engine;

namespace {

// The rows of this test:
//  - two occasions on 5 March (ids 1 and 2) whose period ids run against
//    their names (Evening is period 2, Morning period 1);
//  - occasion 4 whose period is missing, occasion 5 without values;
//  - a value of occasion 2 whose test item (7) was deleted;
//  - Glucose's minimum 5.1 on two occasions, its maximum on occasion 4;
//  - test names in mixed case, so sorting by case shows.
const char* const rowsSql = R"(
INSERT INTO Periods VALUES (1, 'Morning'), (2, 'Evening'), (3, 'Noon');
INSERT INTO Tests VALUES (1, 'Glucose', 'Blood sugar', 'mmol/L'),
                         (2, 'cholesterol', 'Total', 'mmol/L'),
                         (3, 'Sodium', NULL, 'mmol/L');
INSERT INTO Results VALUES (1, '2004-03-05', 2, 'after "dinner" & walk'),
                           (2, '2004-03-05', 1, ''),
                           (3, '2004-03-06', 1, NULL),
                           (4, '2004-04-03', 9, 'lost period'),
                           (5, '2004-03-07', 3, 'no values');
INSERT INTO Details VALUES (1, 1, 6.5, 'mmol/L'), (1, 2, 5.2, 'mmol/L'),
                           (2, 1, 5.1, 'mmol/L'), (2, 7, 42, 'U/L'),
                           (3, 1, 5.1, 'mmol/L'), (3, 2, 1234.56, 'mmol/L'),
                           (4, 1, 8.3, 'mmol/L');
INSERT INTO tblSelect VALUES (1), (3);
INSERT INTO Agents VALUES (1, 'Glucose', 'mg/dL', 0.0555, 'mmol/L'),
                          (2, 'Albumin', 'g/dL', 10, 'g/L'),
                          (3, 'Unknown', 'x', NULL, 'y');
)";

QString errorOf(const QString& jet, const SchemaLookup& schema)
{
    try {
        translateJet(jet, schema);
    } catch (const Error& error) {
        return error.description();
    }
    return QString();
}

const QString dinner = u"after \"dinner\" & walk"_s;

// A list written as its items separated by ';', with $D standing for the
// remark of occasion 1.
QStringList L(const char* items)
{
    QStringList list = QString::fromUtf8(items).split(u';');
    for (QString& item : list)
        item.replace(u"$D"_s, dinner);
    return list;
}

void query(const char* tag, const QString& jet, const QStringList& columns, const QStringList& rows,
           bool ordered = true)
{
    QTest::newRow(tag) << jet << columns << rows << ordered;
}

void modify(const char* tag, const QString& jet, TranslatedSql::Kind kind, const QString& check,
            const QStringList& rows)
{
    QTest::newRow(tag) << jet << int(kind) << check << rows;
}

void rowid(const char* tag, const QString& jet, const QStringList& tables, bool updatable)
{
    QTest::newRow(tag) << jet << tables << updatable;
}

} // namespace

class TestJetSql : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void programQueries_data();
    void programQueries();
    void expressions_data();
    void expressions();
    void modifications_data();
    void modifications();
    void rowids_data();
    void rowids();
    void errors_data();
    void errors();
    void hostileInputNeverCrashes();
    void nestedCallsGrowLinearly();
    void deepestTextsFitInASmallStack();
    void schemaIsCachedUntilInvalidated();

private:
    Database m_db;
    std::unique_ptr<SqliteSchema> m_schema;
};

void TestJetSql::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestJetSql::init()
{
    m_db = openDatabase(u":memory:"_s);
    exec(m_db.get(), Schema);
    exec(m_db.get(), rowsSql);
    m_schema = std::make_unique<SqliteSchema>(m_db.get());
}

void TestJetSql::cleanup()
{
    m_schema.reset();
    m_db.reset();
}

void TestJetSql::programQueries_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("ordered");

    const QStringList periods = L("1|Morning;2|Evening;3|Noon");
    query("period list", u"select ID, Period from Periods Order by ID"_s, L("ID;Period"), periods);
    query("period combo", u"select Periods.ID, Periods.Period from Periods order by Periods.ID;"_s,
          L("ID;Period"), periods);
    query("test list, sorted without regard to case",
          u"select Test,Description,Units from Tests Order by Test"_s, L("Test;Description;Units"),
          L("cholesterol|Total|mmol/L;Glucose|Blood sugar|mmol/L;Sodium|NULL|mmol/L"));

    // Two occasions of one date come in the order of their period ids.
    query("entry window", u"SELECT ID, Date, Period, Remarks From Results ORDER BY Date, Period"_s,
          L("ID;Date;Period;Remarks"),
          L("2|2004-03-05|1|;"
            "1|2004-03-05|2|$D;"
            "3|2004-03-06|1|NULL;"
            "5|2004-03-07|3|no values;"
            "4|2004-04-03|9|lost period"));
    query("jump list",
          u"SELECT Results.ID, Format([Date],\"mmm-dd-yyyy\") & \"  \" & [Periods].[Period] AS "
          "DatePeriod\r\nFROM Results INNER JOIN Periods ON Results.Period = Periods.ID\r\nGROUP "
          "BY Results.ID, Format([Date],\"mmm-dd-yyyy\") & \"  \" & [Periods].[Period], "
          "Results.Date, Results.Period\r\nORDER BY Results.Date, Results.Period;\r\n"_s,
          L("ID;DatePeriod"),
          L("2|Mar-05-2004  Morning;"
            "1|Mar-05-2004  Evening;"
            "3|Mar-06-2004  Morning;"
            "5|Mar-07-2004  Noon"));
    query("details window",
          u"SELECT ID, Test, Result, Unit FROM Details WHERE ID=2 ORDER BY Test;"_s,
          L("ID;Test;Result;Unit"), L("2|1|5.1|mmol/L;2|7|42|U/L"));
    query("test combo", u"SELECT ID, Test, Units FROM Tests ORDER BY Test;"_s, L("ID;Test;Units"),
          L("2|cholesterol|mmol/L;1|Glucose|mmol/L;3|Sodium|mmol/L"));
    query("unit of a test", u"SELECT Tests.Units From Tests WHERE ID=2;"_s, L("Units"),
          L("mmol/L"));

    query("browser parents",
          u"SELECT Results.ID, Results.Date, Periods.Period, Results.Remarks FROM Results INNER "
          "JOIN Periods ON Results.Period = Periods.ID Order by Date, [Results].Period"_s,
          L("ID;Date;Period;Remarks"),
          L("2|2004-03-05|Morning|;"
            "1|2004-03-05|Evening|$D;"
            "3|2004-03-06|Morning|NULL;"
            "5|2004-03-07|Noon|no values"));
    const QStringList namedValues = L("1|Glucose|6.5|mmol/L;"
                                      "1|cholesterol|5.2|mmol/L;"
                                      "2|Glucose|5.1|mmol/L;"
                                      "3|Glucose|5.1|mmol/L;"
                                      "3|cholesterol|1234.56|mmol/L;"
                                      "4|Glucose|8.3|mmol/L");
    query("browser children",
          u"SELECT Details.ID, Tests.Test, Details.Result, Details.Unit FROM Tests INNER JOIN "
          "Details ON Tests.ID = Details.Test "_s,
          L("ID;Test;Result;Unit"), namedValues, false);

    query("multi-delete list",
          u"SELECT Results.ID, Format([Results].[Date],'Medium Date') & \", \" & "
          "[Periods].[Period] AS [Date and Period]\r\nFROM Periods INNER JOIN Results ON "
          "Periods.ID = Results.Period\r\nORDER BY Results.ID;\r\n"_s,
          L("ID;Date and Period"),
          L("1|05-Mar-2004, Evening;"
            "2|05-Mar-2004, Morning;"
            "3|06-Mar-2004, Morning;"
            "5|07-Mar-2004, Noon"));
    query("work table", u"SELECT * FROM tblSelect"_s, L("Id"), L("1;3"), false);
    query("values to delete",
          u"SELECT Details.* FROM Details INNER JOIN tblSelect ON Details.ID = tblSelect.ID;"_s,
          L("ID;Test;Result;Unit"),
          L("1|1|6.5|mmol/L;1|2|5.2|mmol/L;3|1|5.1|mmol/L;3|2|1234.56|mmol/L"), false);
    query("occasions to delete",
          u"SELECT Results.* FROM Results INNER JOIN tblSelect ON Results.ID = tblSelect.ID;"_s,
          L("ID;Date;Period;Remarks"), L("1|2004-03-05|2|$D;3|2004-03-06|1|NULL"), false);

    query("date lists",
          u"SELECT Format(Results.Date,\"Medium Date\") as Dates\r\nFROM Results\r\nGROUP BY "
          "Results.Date\r\nORDER BY Results.Date;\r\n"_s,
          L("Dates"), L("05-Mar-2004;06-Mar-2004;07-Mar-2004;03-Apr-2004"));
    query("item combo: two columns named Test",
          u"SELECT Details.Test,Tests.Test\r\nFROM Tests INNER JOIN Details ON Tests.ID = "
          "Details.Test\r\nGROUP BY Details.Test, Tests.Test\r\nORDER BY Tests.Test;\r\n"_s,
          L("Details.Test;Tests.Test"), L("2|cholesterol;1|Glucose"));
    query("date range preset",
          u"SELECT Min(CDbl([Date])) AS Datum1, Max(CDbl([Date])) AS Datum2 FROM [Results];"_s,
          L("Datum1;Datum2"), L("38051|38080"));
    query("item preset", u"SELECT ID, Test FROM [Tests] ORDER BY Test;"_s, L("ID;Test"),
          L("2|cholesterol;1|Glucose;3|Sodium"));

    // A value whose test item was deleted comes with an empty name, first in its occasion.
    const QString rightJoin =
        u"FROM Tests RIGHT JOIN ((Results INNER JOIN Details ON Results.ID = Details.ID) INNER "
        "JOIN Periods ON Results.Period = Periods.ID) ON Tests.ID = Details.Test "_s;
    query("summary",
          u"SELECT Results.Date, Format(Results.Date,'Medium Date') as Dates, Periods.Period, "
          "Results.Remarks, Tests.Test, format(Details.Result,'##,##0.0') as Results, "
          "Details.Unit "_s +
              rightJoin + u"Order by Date, Results.Period, Tests.Test"_s,
          L("Date;Dates;Period;Remarks;Test;Results;Unit"),
          L("2004-03-05|05-Mar-2004|Morning||NULL|42.0|U/L;"
            "2004-03-05|05-Mar-2004|Morning||Glucose|5.1|mmol/L;"
            "2004-03-05|05-Mar-2004|Evening|$D|cholesterol|5.2|mmol/L;"
            "2004-03-05|05-Mar-2004|Evening|$D|Glucose|6.5|mmol/L;"
            "2004-03-06|06-Mar-2004|Morning|NULL|cholesterol|1,234.6|mmol/L;"
            "2004-03-06|06-Mar-2004|Morning|NULL|Glucose|5.1|mmol/L"));
    query("remarks summary",
          u"SELECT Results.Date, Format(Results.Date,'Medium Date') as Dates, Periods.Period, "
          "Results.Remarks, Tests.Test, Details.Result, Details.Unit "_s +
              rightJoin +
              u"WHERE (((Results.Remarks)<>'')) Order by Date, Results.Period, Tests.Test"_s,
          L("Date;Dates;Period;Remarks;Test;Result;Unit"),
          L("2004-03-05|05-Mar-2004|Evening|$D|cholesterol|5.2|mmol/L;"
            "2004-03-05|05-Mar-2004|Evening|$D|Glucose|6.5|mmol/L"));
    query(
        "export, one day",
        u"SELECT Results.Date, Periods.Period, Tests.Test, Details.Result, Details.Unit, "
        "Results.Remarks "_s +
            rightJoin +
            u"WHERE Results.Date Between #3/5/2004# AND #3/5/2004# ORDER BY Date, Results.Period, "
            "Tests.Test"_s,
        L("Date;Period;Test;Result;Unit;Remarks"),
        L("2004-03-05|Morning|NULL|42|U/L|;"
          "2004-03-05|Morning|Glucose|5.1|mmol/L|;"
          "2004-03-05|Evening|cholesterol|5.2|mmol/L|$D;"
          "2004-03-05|Evening|Glucose|6.5|mmol/L|$D"));

    const QString statistics =
        u"SELECT Tests.Test, Tests.Units, Format(Avg([Result]),'0.00') AS Average, "
        "Min(Details.Result) AS Minimum, Max(Details.Result) AS Maximum FROM Tests INNER JOIN "
        "(Results INNER JOIN Details ON Results.ID = Details.ID) ON Tests.ID = Details.Test "
        "WHERE (((Results.Date) Between #%1# And #%2#)) GROUP BY Tests.Test, Tests.Units;"_s;
    const QStringList statisticsColumns = L("Test;Units;Average;Minimum;Maximum");
    query("statistics, all dates",
          u"SELECT Tests.Test, Tests.Units, Format(Avg([Result]),\"0.00\") AS Average, "
          "Min(Details.Result) AS Minimum, Max(Details.Result) AS Maximum\r\nFROM Tests INNER "
          "JOIN (Results INNER JOIN Details ON Results.ID = Details.ID) ON Tests.ID = "
          "Details.Test\r\nGROUP BY Tests.Test, Tests.Units;\r\n"_s,
          statisticsColumns, L("cholesterol|mmol/L|619.88|5.2|1234.56;Glucose|mmol/L|6.25|5.1|8.3"),
          false);
    query("statistics, one day", statistics.arg(u"3/5/2004"_s, u"3/5/2004"_s), statisticsColumns,
          L("cholesterol|mmol/L|5.20|5.2|5.2;Glucose|mmol/L|5.80|5.1|6.5"), false);
    query("statistics, reversed range", statistics.arg(u"3/6/2004"_s, u"3/5/2004"_s),
          statisticsColumns, QStringList{}, false);

    const QString extremes =
        u"SELECT [Statistics Query].Test, [Statistics Query].Units, [Statistics Query].%1 as "
        "Result, Results.Date, Periods.Period FROM Tests INNER JOIN ((Results INNER JOIN "
        "Periods ON Results.Period = Periods.ID) INNER JOIN ([Statistics Query] INNER JOIN "
        "Details ON ([Statistics Query].%1 = Details.Result) AND ([Statistics Query].ID = "
        "Details.Test)) ON Results.ID = Details.ID) ON Tests.ID = Details.Test GROUP BY "
        "[Statistics Query].Test, [Statistics Query].Units, [Statistics Query].%1, "
        "Results.Date, Periods.Period;"_s;
    const QStringList extremeColumns = L("Test;Units;Result;Date;Period");
    query("minimum occasions", extremes.arg(u"Min"_s), extremeColumns,
          L("cholesterol|mmol/L|5.2|2004-03-05|Evening;"
            "Glucose|mmol/L|5.1|2004-03-05|Morning;"
            "Glucose|mmol/L|5.1|2004-03-06|Morning"),
          false);
    // Glucose's maximum belongs to the occasion without a period: it drops out.
    query("maximum occasions", extremes.arg(u"Max"_s), extremeColumns,
          L("cholesterol|mmol/L|1234.56|2004-03-06|Morning"), false);

    const QString itemJoin =
        u"FROM Periods INNER JOIN (Tests INNER JOIN (Results INNER JOIN Details ON Results.ID = "
        "Details.ID) ON Tests.ID = Details.Test) ON Periods.ID = Results.Period "_s;
    query("chart",
          u"SELECT Results.Date, Periods.Period, Tests.Test, Details.Result, Tests.Units, "
          "Periods.ID "_s +
              itemJoin +
              u"WHERE (((Results.Date) Between #3/5/2004# And #4/3/2004#) AND ((Tests.ID) = 1)) "
              u"ORDER "
              "BY Results.Date, Tests.Test, Results.Period, Periods.ID;"_s,
          L("Date;Period;Test;Result;Units;ID"),
          L("2004-03-05|Morning|Glucose|5.1|mmol/L|1;"
            "2004-03-05|Evening|Glucose|6.5|mmol/L|2;"
            "2004-03-06|Morning|Glucose|5.1|mmol/L|1"));
    const QString itemList =
        u"SELECT Results.Date, Format(Results.Date,'Medium Date') as Dates, Periods.Period, "
        "Tests.Test, Details.Result, Tests.Units, Periods.ID "_s +
        itemJoin +
        u"WHERE (((Results.Date) Between #3/5/2004# And #4/3/2004#) AND ((Details.Result) %1) "
        "AND ((Tests.ID) = 1)) ORDER BY Results.Date, Tests.Test, Results.Period, Periods.ID;"_s;
    const QStringList itemColumns = L("Date;Dates;Period;Test;Result;Units;ID");
    query("item list, greater than 5", itemList.arg(u"> 5"_s), itemColumns,
          L("2004-03-05|05-Mar-2004|Morning|Glucose|5.1|mmol/L|1;"
            "2004-03-05|05-Mar-2004|Evening|Glucose|6.5|mmol/L|2;"
            "2004-03-06|06-Mar-2004|Morning|Glucose|5.1|mmol/L|1"));
    query("item list, equal to 5.1", itemList.arg(u"= 5.1"_s), itemColumns,
          L("2004-03-05|05-Mar-2004|Morning|Glucose|5.1|mmol/L|1;"
            "2004-03-06|06-Mar-2004|Morning|Glucose|5.1|mmol/L|1"));
    query("item list, less than 5", itemList.arg(u"< 5"_s), itemColumns, QStringList{});

    // SELECT * over a join: the names both sides share become Table.Column.
    const QStringList itemQueryColumns =
        L("Details.ID;Test;Result;Unit;Results Sorted.ID;Date;Period;Remarks");
    const QStringList itemQueryRows = L("1|1|6.5|mmol/L|1|2004-03-05|Evening|$D;"
                                        "1|2|5.2|mmol/L|1|2004-03-05|Evening|$D;"
                                        "2|1|5.1|mmol/L|2|2004-03-05|Morning|;"
                                        "2|7|42|U/L|2|2004-03-05|Morning|;"
                                        "3|1|5.1|mmol/L|3|2004-03-06|Morning|NULL;"
                                        "3|2|1234.56|mmol/L|3|2004-03-06|Morning|NULL");
    query("single item report",
          u"SELECT * FROM Details INNER JOIN [Results Sorted] ON Details.ID = [Results Sorted].ID "
          "WHERE (([Results Sorted].Date) Between #3/5/2004# And #3/6/2004#);"_s,
          itemQueryColumns, itemQueryRows, false);
    // The print command of the item list writes the dates as the lists show them.
    query("item list print, medium dates",
          u"SELECT * FROM Details INNER JOIN [Results Sorted] ON Details.ID = [Results Sorted].ID "
          "WHERE ((([Results Sorted].Date) Between #05-Mar-2004# And #06-Mar-2004#) AND "
          "((Details.Result) > 5));"_s,
          itemQueryColumns, itemQueryRows, false);
    query("report test query", u"SELECT * FROM Tests WHERE (Tests.ID)=1"_s,
          L("ID;Test;Description;Units"), L("1|Glucose|Blood sugar|mmol/L"));
    query("daily report",
          u"SELECT Results.* FROM Results WHERE (((Results.Date) Between #3/5/2004# And "
          "#4/3/2004#)) ORDER BY Results.Date, Results.Period;"_s,
          L("ID;Date;Period;Remarks"),
          L("2|2004-03-05|1|;"
            "1|2004-03-05|2|$D;"
            "3|2004-03-06|1|NULL;"
            "5|2004-03-07|3|no values;"
            "4|2004-04-03|9|lost period"));
    query("report occasions", u"SELECT * FROM `Results Sorted`"_s, L("ID;Date;Period;Remarks"),
          L("1|2004-03-05|Evening|$D;"
            "2|2004-03-05|Morning|;"
            "3|2004-03-06|Morning|NULL;"
            "5|2004-03-07|Noon|no values;"
            "4|2004-04-03|NULL|lost period"),
          false);
    query("report periods", u"SELECT * FROM `qryResults`"_s, L("ID;Date;Period"),
          L("1|2004-03-05|Evening;2|2004-03-05|Morning;3|2004-03-06|Morning;5|2004-03-07|Noon"),
          false);
    query("report details", u"SELECT * FROM `qryDetails`"_s, L("ID;Test;Result;Units"),
          namedValues + L("2|NULL|42|U/L"), false);
    query("report tests", u"SELECT * FROM `Tests`"_s, L("ID;Test;Description;Units"),
          L("1|Glucose|Blood sugar|mmol/L;2|cholesterol|Total|mmol/L;3|Sodium|NULL|mmol/L"), false);

    query("converter items",
          u"SELECT Agents.ID, Agents.Agent FROM Agents WHERE (((Agents.[Conversion Factor]) Is "
          "Not Null)) ORDER BY Agents.Agent;"_s,
          L("ID;Agent"), L("2|Albumin;1|Glucose"));
    query("converter item", u"SELECT * FROM Agents WHERE ID=2"_s,
          L("ID;Agent;Conventional Unit;Conversion Factor;SI Unit"), L("2|Albumin|g/dL|10|g/L"));

    // Texts that are not the program's own but probe the same rules.
    query("an alias cannot take over the sort",
          u"SELECT ID, Remarks AS Date FROM Results ORDER BY Date, ID"_s, L("ID;Date"),
          L("1|$D;2|;3|NULL;5|no values;4|lost period"));
    query("names without regard to case",
          u"select tblselect.id, RESULTS.date FROM tblSelect INNER JOIN Results ON tblSelect.ID = "
          "Results.ID ORDER BY TBLSELECT.Id"_s,
          L("Id;Date"), L("1|2004-03-05;3|2004-03-06"));
    query("expressions are numbered",
          u"SELECT 1, ID, 2 + 2, ID AS X, Count(*) FROM Results WHERE ID = 1 GROUP BY ID"_s,
          L("Expr1000;ID;Expr1001;X;Expr1002"), L("1|1|4|1|1"));
    query("alias-qualified star",
          u"SELECT p.*, r.ID FROM Periods AS p INNER JOIN Results r ON r.Period = p.ID WHERE "
          "r.Date = #2004-03-06#"_s,
          L("p.ID;Period;r.ID"), L("1|Morning|3"));
    query("subquery as source",
          u"SELECT q.ID, q.N FROM (SELECT ID, Remarks & '!' AS N FROM Results WHERE ID < 3) AS q "
          "ORDER BY q.ID"_s,
          L("ID;N"), L("1|$D!;2|!"));
    query("quotes, # and & inside strings",
          u"SELECT 'it''s' & \"say \"\"hi\"\"\" AS A, \"#1 & [x] `y`\" AS B"_s, L("A;B"),
          L("it'ssay \"hi\"|#1 & [x] `y`"));
    query("text compared without regard to case",
          u"SELECT ID FROM Results WHERE Remarks = 'AFTER \"DINNER\" & WALK' OR Format(Date, "
          "'mmm-dd') = 'MAR-06' ORDER BY ID"_s,
          L("ID"), L("1;3"));
    query("TOP and DESC", u"SELECT TOP 2 ID FROM Results ORDER BY ID DESC"_s, L("ID"), L("5;4"));
    query("IN subquery, NOT IN",
          u"SELECT ID FROM Results WHERE ID Not In (SELECT Id FROM tblSelect) AND Period In (1, "
          "3, 9) ORDER BY ID"_s,
          L("ID"), L("2;4;5"));
}

void TestJetSql::programQueries()
{
    QFETCH(QString, jet);
    QFETCH(QStringList, columns);
    QFETCH(QStringList, rows);
    QFETCH(bool, ordered);

    TranslatedSql translated;
    try {
        translated = translateJet(jet, *m_schema);
    } catch (const Error& error) {
        QFAIL(qPrintable(error.description()));
    }
    QCOMPARE(translated.kind, TranslatedSql::Kind::Select);
    QCOMPARE(translated.columnNames, columns);
    QStringList names;
    QStringList actual = rowsOf(m_db.get(), translated.sql, &names);
    QCOMPARE(names, columns);
    if (!ordered) {
        actual.sort();
        rows.sort();
    }
    QCOMPARE(actual, rows);
}

void TestJetSql::expressions_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("value");

    // Jet's precedence: & looser than +, ^ tighter than * and unary minus.
    QTest::newRow("& after +, ^ before * and -")
        << u"1 + 2 & 3 & '|' & 2 ^ 3 * 2 & '|' & -2 ^ 2 & '|' & 2 ^ -1"_s << u"33|16|-4|0.5"_s;
    QTest::newRow("/ in floating point, \\ rounds half to even")
        << u"7 / 2 & '|' & 7 \\ 2 & '/' & 2.5 \\ 1"_s << u"3.5|3/2"_s;
    QTest::newRow("Mod after \\") << u"7 Mod 4 \\ 2"_s << u"1"_s;
    QTest::newRow("& treats null as empty text") << u"'a' & Null & 'b'"_s << u"ab"_s;
    QTest::newRow("& writes numbers as CStr does")
        << u"5.5 & '|' & 5 & '|' & 0.1 & '|' & True & '|' & False"_s << u"5.5|5|0.1|-1|0"_s;
    QTest::newRow("Not looser than =, And before Or")
        << u"IIf(Not 1 = 2 And (1 = 1 Or 1 = 2 And 1 = 2), 'y', 'n')"_s << u"y"_s;
    QTest::newRow("Between takes its own And, reversed bounds, Not Between")
        << u"IIf(3 Between 1 And 5 And 2 = 2, 'y', 'n') & IIf(3 Between 5 And 1, 'y', 'n') & "
           "IIf(3 Not Between 5 And 9, 'y', 'n')"_s
        << u"yny"_s;
    QTest::newRow("Xor, Imp, Eqv, Is Null, Nz")
        << u"IIf(((1 = 1) Xor (1 = 2)) And ((1 = 2) Imp (1 = 2)) And ((1 = 2) Eqv (2 = 3)) And "
           "Null Is Null And 1 Is Not Null, Nz(Null, 7) + Nz(1, 7), 'n')"_s
        << u"8"_s;
    QTest::newRow("text functions")
        << u"UCase(Left('abcdef', 2)) & Right('abcdef', 2) & Mid('abcdef', 3, 2) & Len('abc') & "
           "LCase(Trim('  X  ')) & '|' & Right('ab', 5) & '|' & Right('ab', 0)"_s
        << u"ABefcd3x|ab|"_s;
    QTest::newRow("InStr")
        << u"InStr('Glucose', 'COS') & InStr(5, 'Glucose', 'o') & InStr('ab', 'x')"_s << u"450"_s;
    QTest::newRow("date literal forms")
        << u"#3/5/2004# & #2004-03-05# & #05-Mar-2004# & #03/05/04#"_s
        << u"2004-03-052004-03-052004-03-052004-03-05"_s;
    QTest::newRow("date parts, CDate of a serial")
        << u"Year(#3/5/2004#) & '-' & Month(#3/5/2004#) & '-' & Day(#3/5/2004#) & ' ' & "
           "CDate(38051)"_s
        << u"2004-3-5 2004-03-05"_s;
    QTest::newRow("function names in any case") << u"FORMAT(cint(2.5), \"0.0\")"_s << u"2.0"_s;
    QTest::newRow("Like with Jet wildcards, Not Like")
        << u"IIf('Glucose' Like 'g*' And 'Glucose' Like '?lucos#' And 'Glucose' Like 'G[l]ucose' "
           "And 'Glucose' Not Like '*x*', 'y', 'n')"_s
        << u"y"_s;
    QTest::newRow("% and _ are no wildcards in Jet")
        << u"IIf('Glucose' Like '%' Or 'abc' Like 'a_c', 'y', 'n')"_s << u"n"_s;
}

void TestJetSql::expressions()
{
    QFETCH(QString, expression);
    QFETCH(QString, value);
    TranslatedSql translated;
    try {
        translated = translateJet(u"SELECT "_s + expression + u" AS V"_s, *m_schema);
    } catch (const Error& error) {
        QFAIL(qPrintable(error.description()));
    }
    QCOMPARE(rowsOf(m_db.get(), translated.sql), QStringList{value});
}

void TestJetSql::modifications_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QStringList>("rows");

    const auto insert = TranslatedSql::Kind::Insert;
    const auto update = TranslatedSql::Kind::Update;
    const auto remove = TranslatedSql::Kind::Delete;
    const QString details = u"SELECT ID, Test FROM Details ORDER BY ID, Test"_s;

    modify("insert values", u"INSERT INTO tblSelect (Id) VALUES (5)"_s, insert,
           u"SELECT Id FROM tblSelect ORDER BY Id"_s, L("1;3;5"));
    modify(
        "insert a date and a quote",
        u"INSERT INTO Results (Results.Date, Period, Remarks) VALUES (#3/8/2004#, 1, \"it's\");"_s,
        insert, u"SELECT ID, Date, Remarks FROM Results WHERE ID > 5"_s, L("6|2004-03-08|it's"));
    modify("insert select", u"INSERT INTO tblSelect (Id) SELECT ID FROM Results WHERE Period = 1"_s,
           insert, u"SELECT Id FROM tblSelect ORDER BY Id"_s, L("1;2;3;3"));
    modify("update",
           u"UPDATE Tests SET Tests.Units = 'mg/dL', Description = Description & '!' WHERE Test = "
           "'GLUCOSE'"_s,
           update, u"SELECT ID, Units, Description FROM Tests ORDER BY ID"_s,
           L("1|mg/dL|Blood sugar!;2|mmol/L|Total;3|mmol/L|NULL"));
    modify("joined delete of values",
           u"DELETE Details.* FROM Details INNER JOIN tblSelect ON Details.ID = tblSelect.ID;"_s,
           remove, details, L("2|1;2|7;4|1"));
    modify("joined delete of occasions",
           u"DELETE Results.* FROM Results INNER JOIN tblSelect ON Results.ID = tblSelect.ID"_s,
           remove, u"SELECT ID FROM Results ORDER BY ID"_s, L("2;4;5"));
    modify("joined delete with an alias and a condition",
           u"DELETE d.* FROM Details AS d INNER JOIN tblSelect ON d.ID = tblSelect.ID WHERE "
           "d.Result > 6"_s,
           remove, details, L("1|2;2|1;2|7;3|1;4|1"));
    modify("delete *", u"DELETE * FROM tblSelect"_s, remove, u"SELECT Count(*) FROM tblSelect"_s,
           L("0"));
    modify("delete where", u"DELETE FROM Details WHERE ID = 2 AND Unit = 'u/l'"_s, remove, details,
           L("1|1;1|2;2|1;3|1;3|2;4|1"));
}

void TestJetSql::modifications()
{
    QFETCH(QString, jet);
    QFETCH(int, kind);
    QFETCH(QString, check);
    QFETCH(QStringList, rows);

    TranslatedSql translated;
    try {
        translated = translateJet(jet, *m_schema);
    } catch (const Error& error) {
        QFAIL(qPrintable(error.description()));
    }
    QCOMPARE(int(translated.kind), kind);
    QCOMPARE(rowsOf(m_db.get(), translated.sql), QStringList{});
    QCOMPARE(rowsOf(m_db.get(), check), rows);
}

void TestJetSql::rowids_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QStringList>("tables"); // table:alias per rowid column
    QTest::addColumn<bool>("updatable");

    rowid("one table", u"SELECT ID, Date, Period, Remarks From Results ORDER BY Date, Period"_s,
          L("Results:Results"), true);
    rowid("two tables",
          u"SELECT Details.* FROM Details INNER JOIN tblSelect ON Details.ID = tblSelect.ID;"_s,
          L("Details:Details;tblSelect:tblSelect"), true);
    rowid(
        "a view has no rowid",
        u"SELECT * FROM Details INNER JOIN [Results Sorted] ON Details.ID = [Results Sorted].ID"_s,
        L("Details:Details"), true);
    rowid("alias, canonical spelling", u"SELECT r.ID FROM results AS r"_s, L("Results:r"), true);
    rowid("right join",
          u"SELECT Details.Result, Tests.Test FROM Tests RIGHT JOIN Details ON Tests.ID = "
          "Details.Test"_s,
          L("Tests:Tests;Details:Details"), true);
    rowid("only views", u"SELECT * FROM qryResults"_s, QStringList{}, false);
    rowid("group by", u"SELECT Test FROM Details GROUP BY Test"_s, QStringList{}, false);
    rowid("distinct", u"SELECT DISTINCT ID FROM Details"_s, QStringList{}, false);
    rowid("top", u"SELECT TOP 1 ID FROM Details"_s, QStringList{}, false);
    rowid("subquery source", u"SELECT q.ID FROM (SELECT ID FROM Details) AS q"_s, QStringList{},
          false);
}

void TestJetSql::rowids()
{
    QFETCH(QString, jet);
    QFETCH(QStringList, tables);
    QFETCH(bool, updatable);

    TranslateOptions options;
    options.withRowids = true;
    const TranslatedSql translated = translateJet(jet, *m_schema, options);
    QStringList actual;
    for (const TranslatedSql::RowidColumn& column : translated.rowidColumns)
        actual.append(column.table + u':' + column.alias);
    QCOMPARE(actual, tables);
    QCOMPARE(translated.updatable, updatable);

    // The statement runs, and each rowid column finds its row again.
    const QStringList rows = rowsOf(m_db.get(), translated.sql);
    QVERIFY(!rows.isEmpty());
    QVERIFY2(!rows.first().startsWith(QLatin1String("ERROR")), qPrintable(rows.first()));
    const int visible = int(translated.columnNames.size());
    for (const QString& row : rows) {
        const QStringList cells = row.split(u'|');
        QCOMPARE(cells.size(), visible + int(tables.size()));
        for (int i = 0; i < tables.size(); ++i) {
            const QString rowid = cells.at(visible + i);
            if (rowid == QLatin1String("NULL"))
                continue;
            const QString exists = u"SELECT Count(*) FROM \"%1\" WHERE rowid = %2"_s.arg(
                translated.rowidColumns.at(i).table, rowid);
            QCOMPARE(rowsOf(m_db.get(), exists), QStringList{u"1"_s});
        }
    }
}

void TestJetSql::errors_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("message");

    QTest::newRow("misspelt keyword")
        << u"SELECT ID FROMM Results"_s
        << u"Syntax error in SQL text at line 1, column 11 (near 'FROMM'): expected ',' or FROM"_s;
    QTest::newRow("position on a later line")
        << u"SELECT ID\r\nFROM Results\r\nWHERE ID = = 3"_s << u"line 3, column 12 (near '=')"_s;
    QTest::newRow("empty text") << u""_s << u"at the end of the text"_s;
    QTest::newRow("only a semicolon") << u" ;"_s << u"expected SELECT, INSERT, UPDATE or DELETE"_s;
    QTest::newRow("open string") << u"SELECT 'abc FROM Results"_s << u"column 8"_s;
    QTest::newRow("open bracket") << u"SELECT [Results Sorted FROM x"_s << u"not closed by ']'"_s;
    QTest::newRow("empty brackets") << u"SELECT [] FROM Results"_s << u"a name cannot be empty"_s;
    QTest::newRow("lone #") << u"SELECT # FROM Results"_s << u"not closed by '#'"_s;
    QTest::newRow("impossible date") << u"SELECT #13/45/2004#"_s << u"is not a valid date"_s;
    QTest::newRow("unbalanced parenthesis") << u"SELECT (1 + 2 FROM Results"_s << u"expected ')'"_s;
    QTest::newRow("extra parenthesis")
        << u"SELECT 1 + 2) FROM Results"_s << u"expected the end of the statement"_s;
    QTest::newRow("missing expression")
        << u"SELECT ID, FROM Results"_s << u"(near 'FROM'): expected an expression"_s;
    QTest::newRow("unknown function")
        << u"SELECT Foo(1)"_s << u"Undefined function 'Foo' in expression"_s;
    QTest::newRow("wrong argument count")
        << u"SELECT Left('a')"_s << u"wrong number of arguments for the function 'Left'"_s;
    QTest::newRow("First") << u"SELECT First(ID) FROM Results"_s
                           << u"the aggregate function 'First' is not supported"_s;
    QTest::newRow("UNION") << u"SELECT ID FROM Results UNION SELECT ID FROM Details"_s
                           << u"UNION queries are not supported"_s;
    QTest::newRow("star over an unknown table")
        << u"SELECT * FROM NoSuchTable"_s << u"Cannot find the table or query 'NoSuchTable'"_s;
    QTest::newRow("join without ON")
        << u"SELECT * FROM Results INNER JOIN Periods"_s << u"expected ON"_s;
    QTest::newRow("delete from a join without target")
        << u"DELETE FROM Details INNER JOIN tblSelect ON Details.ID = tblSelect.ID"_s
        << u"specify the table containing the records you want to delete"_s;
    QTest::newRow("delete from a view")
        << u"DELETE FROM qryResults"_s << u"could not delete from the specified table"_s;
    QTest::newRow("stray character") << u"SELECT ID ? FROM Results"_s << u"unexpected character"_s;
    QTest::newRow("deep nesting") << u"SELECT "_s + QString(5000, u'(') + u"1"_s +
                                         QString(5000, u')')
                                  << u"nested too deeply"_s;
    QTest::newRow("long chain") << u"SELECT 1"_s + QString(u" + 1"_s).repeated(5000)
                                << u"the expression is too complex"_s;
    QTest::newRow("long join chain")
        << u"SELECT * FROM Results"_s + u" INNER JOIN Details ON 1 = 1"_s.repeated(5000)
        << u"the FROM clause names too many tables"_s;
    QTest::newRow("deep subqueries")
        << QString(u"SELECT ("_s).repeated(300) + u"1"_s + QString(u")"_s).repeated(300)
        << u"nested too deeply"_s;
}

void TestJetSql::errors()
{
    QFETCH(QString, jet);
    QFETCH(QString, message);
    const QString actual = errorOf(jet, *m_schema);
    QVERIFY2(actual.contains(message), qPrintable(actual));
}

// Whatever the text, translation either succeeds or throws vantor::Error;
// what it produces is for SQLite to accept or refuse, never to crash on.
// A function's argument is printed once: nesting a call ten more times adds
// about ten times one call's text, never doubles it per level.
void TestJetSql::nestedCallsGrowLinearly()
{
    const QStringList calls{u"Right(%1, 3)"_s, u"Left(%1, 3)"_s,  u"Mid(%1, 2)"_s,
                            u"UCase(%1)"_s,    u"Trim(%1)"_s,     u"IIf(1 = 1, %1, 'x')"_s,
                            u"Nz(%1, 'x')"_s,  u"(%1 & 'a')"_s,   u"InStr(%1, 'c')"_s};
    for (const QString& call : calls) {
        qsizetype sizes[3] = {};
        for (int i = 0; i < 3; ++i) {
            QString expression = u"'abcdef'"_s;
            for (int level = 0; level < 10 * (i + 1); ++level)
                expression = call.arg(expression);
            sizes[i] = translateJet(u"SELECT "_s + expression + u" AS V"_s, *m_schema).sql.size();
        }
        // The same growth from 10 to 20 levels as from 20 to 30.
        QVERIFY2(sizes[2] - sizes[1] == sizes[1] - sizes[0], qPrintable(call));
    }
    // And the answer is still Right's (SQLite's own parser takes about 30 levels).
    QString expression = u"'abcdef'"_s;
    for (int level = 0; level < 24; ++level)
        expression = u"Right(%1, 3)"_s.arg(expression);
    const TranslatedSql t = translateJet(u"SELECT "_s + expression + u" AS V"_s, *m_schema);
    QCOMPARE(rowsOf(m_db.get(), t.sql), QStringList{u"def"_s});
    QCOMPARE(rowsOf(m_db.get(), translateJet(u"SELECT Right('ab', 5) & '|' & Right('ab', 0) & "
                                              u"'|' & Right('äöü', 2) & '|' & "
                                              u"IsNull(Right(Null, 1)) AS V"_s,
                                              *m_schema)
                                     .sql),
             QStringList{u"ab||öü|-1"_s});
}

// The deepest texts the limits let through are read and printed in half of a
// worker thread's 512 KiB of stack, in every build; one level more is
// refused with a message.
void TestJetSql::deepestTextsFitInASmallStack()
{
    using vantor::engine::jet::MaxNesting;
    using vantor::engine::jet::MaxTreeDepth;
    const auto nested = [](const QString& open, const QString& close, int levels) {
        return open.repeated(levels) + u"1"_s + close.repeated(levels);
    };
    struct Case
    {
        QString deepest;
        QString tooDeep;
        QString message;
    };
    const QString nesting = u"nested too deeply"_s;
    const QList<Case> cases{
        {u"SELECT "_s + nested(u"("_s, u")"_s, MaxNesting - 2),
         u"SELECT "_s + nested(u"("_s, u")"_s, MaxNesting), nesting},
        {u"SELECT "_s + nested(u"Right("_s, u", 1)"_s, MaxNesting - 2),
         u"SELECT "_s + nested(u"Right("_s, u", 1)"_s, MaxNesting), nesting},
        {u"SELECT "_s + nested(u"-("_s, u")"_s, MaxNesting / 2 - 1),
         u"SELECT "_s + nested(u"-("_s, u")"_s, MaxNesting), nesting},
        {nested(u"SELECT ("_s, u")"_s, MaxNesting / 2 - 1),
         nested(u"SELECT ("_s, u")"_s, MaxNesting), nesting},
        {u"SELECT 1"_s + u" + 1"_s.repeated(MaxTreeDepth - 2),
         u"SELECT 1"_s + u" + 1"_s.repeated(MaxTreeDepth), u"too complex"_s},
        {u"SELECT 1"_s + u" & 'a'"_s.repeated(MaxTreeDepth - 2),
         u"SELECT 1"_s + u" & 'a'"_s.repeated(MaxTreeDepth), u"too complex"_s},
    };
    QStringList outcomes;
    QThread* worker = QThread::create([&] {
        for (const Case& c : cases) {
            try {
                translateJet(c.deepest, *m_schema);
                outcomes << u"ok"_s;
            } catch (const vantor::Error& error) {
                outcomes << error.description();
            }
            outcomes << errorOf(c.tooDeep, *m_schema);
        }
    });
    worker->setStackSize(256 * 1024);
    worker->start();
    QVERIFY(worker->wait(60000));
    delete worker;
    QCOMPARE(outcomes.size(), 2 * cases.size());
    for (int i = 0; i < cases.size(); ++i) {
        QCOMPARE(outcomes[2 * i], u"ok"_s);
        QVERIFY2(outcomes[2 * i + 1].contains(cases[i].message), qPrintable(outcomes[2 * i + 1]));
    }
}

void TestJetSql::hostileInputNeverCrashes()
{
    const QStringList pieces =
        u"SELECT|FROM|WHERE|GROUP BY|ORDER BY|INNER JOIN|LEFT JOIN|RIGHT "
        "JOIN|ON|AS|(|)|[|]|[Results "
        "Sorted]|`|'|\"|#|#3/5/"
        "2004#|&|*|,|.|;|Results|Details|Tests.*|ID|Date|=|<>|Between|And|Not|In|Is|Null|Like|'a*'|"
        "Format(|IIf(|Count(*)|1|2.5|-|^|\\|Mod|\r\n|DELETE|INSERT "
        "INTO|VALUES|UPDATE|SET|TOP|DISTINCT|(SELECT"_s.split(u'|');
    QRandomGenerator random(20040305);
    int translated = 0;
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int count = int(random.bounded(1, 16));
        for (int i = 0; i < count; ++i) {
            text += pieces.at(int(random.bounded(qsizetype(pieces.size()))));
            if (random.bounded(3) != 0)
                text += u' ';
        }
        if (round % 3 == 0)
            text.prepend(u"SELECT "_s);
        try {
            const TranslatedSql result = translateJet(text, *m_schema);
            rowsOf(m_db.get(), result.sql);
            ++translated;
        } catch (const Error&) {
        }
    }
    QVERIFY(translated > 0);

    for (int round = 0; round < 500; ++round) {
        QString text;
        const int length = int(random.bounded(0, 40));
        for (int i = 0; i < length; ++i)
            text += QChar(char16_t(random.bounded(1, 0x250)));
        try {
            translateJet(text, *m_schema);
        } catch (const Error&) {
        }
    }
}

void TestJetSql::schemaIsCachedUntilInvalidated()
{
    QCOMPARE(m_schema->canonicalName(u"results sorted"_s), u"Results Sorted"_s);
    QVERIFY(m_schema->isView(u"STATISTICS QUERY"_s));
    QVERIFY(!m_schema->isView(u"Results"_s));
    QCOMPARE(m_schema->columnsOf(u"statistics query"_s),
             (QStringList{u"ID"_s, u"Test"_s, u"Units"_s, u"Min"_s, u"Max"_s}));
    QVERIFY(m_schema->columnsOf(u"sqlite_sequence"_s).isEmpty());

    QCOMPARE(rowsOf(m_db.get(), u"CREATE TABLE Later(A, B)"_s), QStringList{});
    QVERIFY(m_schema->canonicalName(u"later"_s).isEmpty());
    m_schema->invalidate();
    QCOMPARE(m_schema->canonicalName(u"later"_s), u"Later"_s);
    QCOMPARE(m_schema->columnsOf(u"LATER"_s), (QStringList{u"A"_s, u"B"_s}));
}

QTEST_GUILESS_MAIN(TestJetSql)
#include "tst_jetsql.moc"
