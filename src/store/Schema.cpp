#include "Schema.h"

namespace vantor::store::schema {

// Text columns compare without regard to case, as the program's lists and
// joins expect. Dates are ISO text ('2004-03-05'): the CHECK refuses any
// other form and any day that does not exist, so every date sorts and
// compares as a date. No foreign keys: the program deletes referenced rows
// on purpose (a single occasion's values stay behind).
QStringList tableStatements()
{
    return {
        QStringLiteral("CREATE TABLE Periods (\n"
                       "    ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "    Period TEXT COLLATE NOCASE\n"
                       ")"),
        QStringLiteral("CREATE TABLE Tests (\n"
                       "    ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "    Test TEXT COLLATE NOCASE,\n"
                       "    Description TEXT COLLATE NOCASE,\n"
                       "    Units TEXT COLLATE NOCASE,\n"
                       "    Low REAL CHECK (Low IS NULL OR typeof(Low) IN ('real', 'integer')),\n"
                       "    High REAL CHECK (High IS NULL OR typeof(High) IN ('real', 'integer'))\n"
                       ")"),
        QStringLiteral("CREATE TABLE Results (\n"
                       "    ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "    Date DATE CHECK (Date IS date(julianday(Date))),\n"
                       "    Period INTEGER CHECK (Period IS NULL OR typeof(Period) = 'integer'),\n"
                       "    Remarks TEXT COLLATE NOCASE\n"
                       ")"),
        // No key of its own: a value is told by its occasion and test, and
        // written back by SQLite's rowid.
        QStringLiteral("CREATE TABLE Details (\n"
                       "    ID INTEGER CHECK (ID IS NULL OR typeof(ID) = 'integer'),\n"
                       "    Test INTEGER CHECK (Test IS NULL OR typeof(Test) = 'integer'),\n"
                       "    Result REAL CHECK (Result IS NULL OR typeof(Result) IN ('real', "
                       "'integer')),\n"
                       "    Unit TEXT COLLATE NOCASE\n"
                       ")"),
        QStringLiteral("CREATE TABLE tblSelect (\n"
                       "    Id INTEGER\n"
                       ")"),
        // Read by column position: keep this order.
        QStringLiteral("CREATE TABLE Agents (\n"
                       "    ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "    Agent TEXT COLLATE NOCASE,\n"
                       "    \"Conventional Unit\" TEXT,\n"
                       "    \"Conversion Factor\" REAL CHECK (\"Conversion Factor\" IS NULL OR\n"
                       "        typeof(\"Conversion Factor\") IN ('real', 'integer')),\n"
                       "    \"SI Unit\" TEXT\n"
                       ")"),
    };
}

QStringList indexStatements()
{
    return {
        QStringLiteral("CREATE INDEX idxDetailsID ON Details (ID)"),
        // With Result: the statistics find an item's minimum and maximum rows in the index.
        QStringLiteral("CREATE INDEX idxDetailsTest ON Details (Test, Result)"),
        QStringLiteral("CREATE INDEX idxResultsDatePeriod ON Results (Date, Period)"),
    };
}

QStringList viewStatements()
{
    return {
        // Every occasion, also one whose period is gone (its Period is then null).
        QStringLiteral("CREATE VIEW \"Results Sorted\" AS\n"
                       "SELECT Results.ID AS ID, Results.Date AS Date, Periods.Period AS Period,\n"
                       "       Results.Remarks AS Remarks\n"
                       "FROM Results LEFT JOIN Periods ON Periods.ID = Results.Period\n"
                       "ORDER BY Results.Date, Results.Period, Results.ID"),
        QStringLiteral("CREATE VIEW qryResults AS\n"
                       "SELECT Results.ID AS ID, Results.Date AS Date, Periods.Period AS Period\n"
                       "FROM Results INNER JOIN Periods ON Periods.ID = Results.Period\n"
                       "ORDER BY Results.Date, Results.Period, Results.ID"),
        // A value whose test item is gone is kept, with a null test name.
        QStringLiteral("CREATE VIEW qryDetails AS\n"
                       "SELECT Details.ID AS ID, Tests.Test AS Test, Details.Result AS Result,\n"
                       "       Details.Unit AS Units\n"
                       "FROM Details LEFT JOIN Tests ON Tests.ID = Details.Test\n"
                       "ORDER BY Details.ID, Tests.Test"),
        statisticsViewStatement(),
    };
}

QString statisticsViewStatement()
{
    // An item's least and greatest value, counting only values of an existing
    // occasion, as everywhere else. Each is read from the end of the item's
    // run in idxDetailsTest rather than by grouping every value: on a million
    // values that is milliseconds instead of seconds, and the statistics
    // window joins this view twice.
    const QString extreme = QStringLiteral(
        "(SELECT d.Result FROM Details AS d WHERE d.Test = Tests.ID AND d.Result IS NOT NULL\n"
        "          AND EXISTS (SELECT 1 FROM Results AS r WHERE r.ID = d.ID)\n"
        "        ORDER BY d.Result%1 LIMIT 1)");
    return QStringLiteral(
               "CREATE VIEW \"Statistics Query\" AS\n"
               "SELECT Tests.ID AS ID, Tests.Test AS Test, Tests.Units AS Units,\n"
               "       %1 AS \"Min\",\n"
               "       %2 AS \"Max\"\n"
               "FROM Tests\n"
               "WHERE EXISTS (SELECT 1 FROM Details AS d WHERE d.Test = Tests.ID\n"
               "                AND EXISTS (SELECT 1 FROM Results AS r WHERE r.ID = d.ID))")
        .arg(extreme.arg(QString()), extreme.arg(QStringLiteral(" DESC")));
}

QStringList markStatements()
{
    return {
        QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId),
        QStringLiteral("PRAGMA user_version = %1").arg(Version),
    };
}

QVector<TableSpec> tables()
{
    const QString integer = QStringLiteral("INTEGER");
    const QString text = QStringLiteral("TEXT");
    const QString real = QStringLiteral("REAL");
    const QString date = QStringLiteral("DATE");
    const QString id = QStringLiteral("ID");
    return {
        {QStringLiteral("Periods"), {{id, integer}, {QStringLiteral("Period"), text}}, false, true},
        {QStringLiteral("Tests"),
         {{id, integer},
          {QStringLiteral("Test"), text},
          {QStringLiteral("Description"), text},
          {QStringLiteral("Units"), text},
          {QStringLiteral("Low"), real, 2},
          {QStringLiteral("High"), real, 2}},
         false,
         true},
        {QStringLiteral("Results"),
         {{id, integer},
          {QStringLiteral("Date"), date},
          {QStringLiteral("Period"), integer},
          {QStringLiteral("Remarks"), text}},
         false,
         true},
        {QStringLiteral("Details"),
         {{id, integer},
          {QStringLiteral("Test"), integer},
          {QStringLiteral("Result"), real},
          {QStringLiteral("Unit"), text}},
         false,
         false},
        {QStringLiteral("tblSelect"), {{QStringLiteral("Id"), integer}}, false, false},
        {QStringLiteral("Agents"),
         {{id, integer},
          {QStringLiteral("Agent"), text},
          {QStringLiteral("Conventional Unit"), text},
          {QStringLiteral("Conversion Factor"), real},
          {QStringLiteral("SI Unit"), text}},
         true,
         true},
    };
}

QVector<IndexSpec> indexes()
{
    return {
        {QStringLiteral("Details"),
         {QStringLiteral("ID")},
         QStringLiteral("finding an occasion's values")},
        {QStringLiteral("Details"),
         {QStringLiteral("Test")},
         QStringLiteral("finding a test item's values")},
        {QStringLiteral("Results"),
         {QStringLiteral("Date"), QStringLiteral("Period")},
         QStringLiteral("listing occasions by date and period")},
    };
}

QVector<ViewSpec> views()
{
    return {
        {QStringLiteral("Results Sorted"),
         {QStringLiteral("ID"), QStringLiteral("Date"), QStringLiteral("Period"),
          QStringLiteral("Remarks")}},
        {QStringLiteral("qryResults"),
         {QStringLiteral("ID"), QStringLiteral("Date"), QStringLiteral("Period")}},
        {QStringLiteral("qryDetails"),
         {QStringLiteral("ID"), QStringLiteral("Test"), QStringLiteral("Result"),
          QStringLiteral("Units")}},
        {QStringLiteral("Statistics Query"),
         {QStringLiteral("ID"), QStringLiteral("Test"), QStringLiteral("Units"),
          QStringLiteral("Min"), QStringLiteral("Max")}},
    };
}

} // namespace vantor::store::schema
