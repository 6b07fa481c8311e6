#pragma once

// What the import tests share: files written byte for byte, databases made
// by the store, and the rows of a database read through the engine.

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTest>

namespace importtest {

using testsupport::writeFile;

inline QString connectionString(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
           QDir::current().absoluteFilePath(path);
}

// The rows of sql, each as its values joined by "|" (null as NULL).
inline QStringList rows(const QString& path, const QString& sql)
{
    vantor::engine::Connection connection;
    connection.open(connectionString(path));
    vantor::engine::Recordset set;
    set.open(sql, &connection, vantor::engine::CursorType::Static,
             vantor::engine::LockType::ReadOnly);
    QStringList out;
    for (int row = 0; row < set.rowCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < set.fieldCount(); ++column) {
            const QVariant value = set.valueAt(row, column);
            fields << (value.isNull() ? QStringLiteral("NULL") : value.toString());
        }
        out << fields.join(u'|');
    }
    return out;
}

inline qint64 count(const QString& path, const QString& table)
{
    return rows(path, QStringLiteral("SELECT Count(*) FROM ") + table).value(0).toLongLong();
}

// Every value with its occasion's date, period and remarks, in a stable order:
// what a round trip must keep.
inline QStringList allValues(const QString& path)
{
    return rows(
        path, QStringLiteral("SELECT Results.Date, Periods.Period, Tests.Test, Details.Result, "
                             "Details.Unit, Results.Remarks FROM ((Results INNER JOIN Details ON "
                             "Results.ID = Details.ID) INNER JOIN Periods ON Results.Period = "
                             "Periods.ID) INNER JOIN Tests ON Tests.ID = Details.Test "
                             "ORDER BY Results.Date, Periods.Period, Tests.Test, Details.Result"));
}

// A long file (comma separated, day first) with a bad date, a result that is
// no number and an empty test item among good lines; a quoted remark holds
// a comma.
inline QByteArray longCsv()
{
    return "Date,Period,Test,Result,Unit,Remarks\r\n"
           "13/01/2024,Morning,Glucose,5.4,mmol/L,fasting\r\n"
           "13/01/2024,Morning,HbA1c,6.1,%,\r\n"
           "14/01/2024,Evening,Glucose,abc,mmol/L,\r\n"
           "31/02/2024,Morning,Glucose,5.0,mmol/L,\r\n"
           "15/01/2024,Morning,,4.0,,\r\n"
           "15/01/2024,Evening,Glucose,4.9,mmol/L,\"after a run, tired\"\r\n"
           "\r\n"
           "16/01/2024,Morning,Creatinine,71,,\r\n";
}

// A wide file (semicolon separated, decimal comma, ISO dates): one occasion
// a line, one column per test item; a cell that is no number and a line
// without values.
inline QByteArray wideCsv()
{
    return "Date;Glucose;HbA1c;Cholesterol;Remarks\n"
           "2024-01-13;5,4;6,1;;fasting\n"
           "2024-01-20;5,1;;4,8;\n"
           "2024-01-27;n/a;6,0;5,0;\n"
           "2024-02-03;;;;nothing taken\n"
           "2024-02-10;5,6;5,9;5,2;\n";
}

} // namespace importtest
