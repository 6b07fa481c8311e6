#pragma once

// The program's tables and saved queries, a handful of rows for them, and
// helpers that read a database past the engine.

#include "engine/SqlFunctions.h"

#include <QStringList>
#include <QTest>

#include <sqlite3.h>

#include <memory>

namespace enginetest {

using namespace Qt::StringLiterals;

const char* const Schema = R"(
CREATE TABLE Periods (ID INTEGER PRIMARY KEY AUTOINCREMENT, Period TEXT COLLATE NOCASE);
CREATE TABLE Tests (ID INTEGER PRIMARY KEY AUTOINCREMENT, Test TEXT COLLATE NOCASE,
                    Description TEXT COLLATE NOCASE, Units TEXT COLLATE NOCASE);
CREATE TABLE Results (ID INTEGER PRIMARY KEY AUTOINCREMENT,
                      Date DATE CHECK (Date IS NULL OR Date IS date(Date)),
                      Period INTEGER, Remarks TEXT COLLATE NOCASE);
CREATE TABLE Details (ID INTEGER, Test INTEGER,
                      Result REAL CHECK (Result IS NULL OR typeof(Result) IN ('real','integer')),
                      Unit TEXT COLLATE NOCASE);
CREATE TABLE tblSelect (Id INTEGER);
CREATE TABLE Agents (ID INTEGER PRIMARY KEY AUTOINCREMENT, Agent TEXT COLLATE NOCASE,
                     "Conventional Unit" TEXT COLLATE NOCASE, "Conversion Factor" REAL,
                     "SI Unit" TEXT COLLATE NOCASE);
CREATE VIEW "Results Sorted" AS
    SELECT Results.ID AS ID, Results.Date AS Date, Periods.Period AS Period, Results.Remarks AS Remarks
    FROM Results LEFT JOIN Periods ON Periods.ID = Results.Period ORDER BY Results.Date, Results.Period;
CREATE VIEW qryResults AS
    SELECT Results.ID AS ID, Results.Date AS Date, Periods.Period AS Period
    FROM Results INNER JOIN Periods ON Periods.ID = Results.Period ORDER BY Results.Date, Results.Period;
CREATE VIEW qryDetails AS
    SELECT Details.ID AS ID, Tests.Test AS Test, Details.Result AS Result, Details.Unit AS Units
    FROM Details LEFT JOIN Tests ON Tests.ID = Details.Test;
CREATE VIEW "Statistics Query" AS
    SELECT Tests.ID, Tests.Test, Tests.Units, Min(Details.Result) AS Min, Max(Details.Result) AS Max
    FROM Tests INNER JOIN Details ON Tests.ID = Details.Test GROUP BY Tests.ID, Tests.Test, Tests.Units;
)";

// Occasion 4 comes first by date; occasion 2 has no values; occasion 3 has
// two identical rows.
const char* const Rows = R"(
INSERT INTO Periods (ID, Period) VALUES (1, 'Morning'), (2, 'Evening'), (3, 'Afternoon');
INSERT INTO Tests (ID, Test, Units) VALUES (1, 'Glucose', 'mg/dL'), (2, 'Cholesterol', 'mg/dL'),
                                          (3, 'Potassium', 'mmol/L');
INSERT INTO Results (ID, Date, Period, Remarks) VALUES
    (1, '2004-03-05', 1, 'fasting'), (2, '2004-03-05', 3, NULL), (3, '2004-04-03', 2, ''),
    (4, '2004-02-01', 1, 'first');
INSERT INTO Details (ID, Test, Result, Unit) VALUES
    (1, 1, 95, 'mg/dL'), (1, 2, 210.5, 'mg/dL'), (2, 1, 130, 'mg/dL'),
    (3, 3, 4.2, 'mmol/L'), (3, 3, 4.2, 'mmol/L');
)";

struct Closer
{
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Database = std::unique_ptr<sqlite3, Closer>;

// Opens a database with the program's SQL functions; a misspelt "name" is
// an error, not the text 'name'.
inline Database openDatabase(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    vantor::engine::registerJetFunctions(db);
    return Database(db);
}

inline void exec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error);
    sqlite3_free(error);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

// Rows of a statement, each as its cells joined by '|' (null as "NULL"), and
// its column names into *names. Errors come back as "ERROR: message" so that
// a comparison shows them.
inline QStringList rowsOf(sqlite3* db, const QString& sql, QStringList* names = nullptr)
{
    sqlite3_stmt* statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &statement, nullptr) !=
        SQLITE_OK)
        return {u"ERROR: "_s + QString::fromUtf8(sqlite3_errmsg(db))};
    const int columns = sqlite3_column_count(statement);
    for (int i = 0; names && i < columns; ++i)
        names->append(QString::fromUtf8(sqlite3_column_name(statement, i)));
    QStringList rows;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList cells;
        for (int i = 0; i < columns; ++i) {
            const int type = sqlite3_column_type(statement, i);
            if (type == SQLITE_FLOAT)
                cells.append(QString::number(sqlite3_column_double(statement, i), 'g', 15));
            else if (type == SQLITE_NULL)
                cells.append(u"NULL"_s);
            else
                cells.append(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, i))));
        }
        rows.append(cells.join(u'|'));
    }
    if (rc != SQLITE_DONE)
        rows.append(u"ERROR: "_s + QString::fromUtf8(sqlite3_errmsg(db)));
    sqlite3_finalize(statement);
    return rows;
}

// Writes the database file: the tables, the rows above, and any more SQL.
inline void makeDatabase(const QString& path, const char* more = "")
{
    const Database db = openDatabase(path);
    exec(db.get(), Schema);
    exec(db.get(), Rows);
    exec(db.get(), more);
}

} // namespace enginetest
