#pragma once

// Helpers of the report tests: a small known database, and the text of each
// page of a PDF as pdftotext reads it.

#include "engine/Connection.h"
#include "store/Database.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace reporttest {

inline bool havePdfToText()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The text of each page, blanks between words squeezed to one space and
// blank lines dropped, so that a test reads "Glucose 95 mg/dL" whatever the
// column positions.
inline QStringList pdfPages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    const QString all = QString::fromUtf8(p.readAllStandardOutput());
    QStringList pages = all.split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    for (QString& page : pages) {
        QStringList lines;
        for (QString line : page.split(u'\n')) {
            line = line.replace(blanks, QStringLiteral(" ")).trimmed();
            if (!line.isEmpty())
                lines << line;
        }
        page = lines.join(u'\n');
    }
    return pages;
}

using testsupport::execute;
using testsupport::screenshot;

// Periods whose ids and names sort differently; three items, one of them
// (Potassium) with a value only in April; two occasions on 5 March.
inline void seedSmallDatabase()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    vantor::store::createDatabase(QStringLiteral("vantor.mdb"));
    vantor::engine::Connection c;
    c.open(QStringLiteral("Data Source=vantor.mdb"));
    for (const char* sql : {
             "INSERT INTO Periods (Period) VALUES ('Morning')",
             "INSERT INTO Periods (Period) VALUES ('Afternoon')",
             "INSERT INTO Periods (Period) VALUES ('Evening')",
             "INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mg/dL')",
             "INSERT INTO Tests (Test, Units) VALUES ('Cholesterol', 'mg/dL')",
             "INSERT INTO Tests (Test, Units) VALUES ('Potassium', 'mmol/L')",
             "INSERT INTO Results (Date, Period, Remarks) VALUES (#3/5/2004#, 2, 'late')",
             "INSERT INTO Results (Date, Period) VALUES (#3/5/2004#, 1)",
             "INSERT INTO Results (Date, Period) VALUES (#3/6/2004#, 1)",
             "INSERT INTO Results (Date, Period) VALUES (#4/10/2004#, 3)",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (2, 1, 95, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (2, 2, 180, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 130.5, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (3, 1, 101, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (4, 3, 4.2, 'mmol/L')",
         })
        c.execute(QString::fromLatin1(sql));
}

} // namespace reporttest
