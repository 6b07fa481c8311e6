// Stands in for a second process working on the database while a test runs:
//   connection-holder program FILE   a connection as the program's windows open it
//   connection-holder lock FILE      another program in the middle of a write
// It prints "ready" once it holds the file. The line "write" then stores a
// period (committing the pending one in lock mode) and prints "written" or
// the error; the end of input closes everything.

#include "engine/Connection.h"
#include "platform/Error.h"

#include <QCoreApplication>
#include <QTextStream>

#include <sqlite3.h>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const bool program = args[1] == QLatin1String("program");
    const QString file = args[2];

    vantor::engine::Connection connection;
    sqlite3* raw = nullptr;
    try {
        if (program) {
            connection.open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + file);
        } else {
            sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
            if (sqlite3_exec(raw, "BEGIN IMMEDIATE; INSERT INTO Periods (Period) VALUES ('pending')",
                             nullptr, nullptr, nullptr) != SQLITE_OK)
                return 1;
        }
    } catch (const vantor::Error& error) {
        std::cout << error.description().toStdString() << std::endl;
        return 1;
    }
    std::cout << "ready" << std::endl;

    std::string line;
    while (std::getline(std::cin, line)) {
        if (line != "write")
            continue;
        try {
            if (program) {
                connection.execute(QStringLiteral("INSERT INTO Periods (Period) VALUES ('held')"));
            } else if (sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
                std::cout << sqlite3_errmsg(raw) << std::endl;
                continue;
            }
            std::cout << "written" << std::endl;
        } catch (const vantor::Error& error) {
            std::cout << error.description().toStdString() << std::endl;
        }
    }
    sqlite3_close(raw);
    return 0;
}
