#pragma once

// A small known results database for the engine's tests: the program's
// tables and saved queries with a handful of rows.

#include <QString>
#include <QTest>

#include <sqlite3.h>

namespace enginetest {

const char* const Fixture = R"(
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
CREATE VIEW "Results Sorted" AS
    SELECT Results.ID AS ID, Results.Date AS Date, Periods.Period AS Period, Results.Remarks AS Remarks
    FROM Results LEFT JOIN Periods ON Periods.ID = Results.Period ORDER BY Results.Date, Results.Period;
CREATE VIEW qryResults AS
    SELECT Results.ID AS ID, Results.Date AS Date, Periods.Period AS Period
    FROM Results INNER JOIN Periods ON Periods.ID = Results.Period ORDER BY Results.Date, Results.Period;
CREATE VIEW qryDetails AS
    SELECT Details.ID AS ID, Tests.Test AS Test, Details.Result AS Result, Details.Unit AS Units
    FROM Details LEFT JOIN Tests ON Tests.ID = Details.Test;
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

inline void makeDatabase(const QString& path)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, Fixture, nullptr, nullptr, &error);
    const QString message = error ? QString::fromUtf8(error) : QString();
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

} // namespace enginetest
