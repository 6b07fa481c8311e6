#pragma once

#include "engine/Connection.h"
#include "engine/Recordset.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vantor::report {

// The program's one data environment: the connection Connection1 and its
// named commands, each a recordset that every user shares. A run replaces a
// command's text before it opens it, so the last run decides what the
// command holds.
//
// Commands: Results_Grouping (daily results report), Test_Items_Grouping
// (single item report), Agents (the unit converter).
//
// Called from the user-interface thread only.
class DataEnvironment
{
public:
    DataEnvironment();
    ~DataEnvironment();
    DataEnvironment(const DataEnvironment&) = delete;
    DataEnvironment& operator=(const DataEnvironment&) = delete;

    engine::Connection& Connection1() { return m_connection; }
    // The connection string Connection1 opens with.
    const QString& connectionString() const { return m_connectionString; }

    // The recordset of a command; throws vantor::Error for an unknown name.
    engine::Recordset& command(const QString& name);
    // The text a command carries until a run replaces it.
    QString designText(const QString& name) const;
    engine::Recordset& rsAgents() { return command(QStringLiteral("Agents")); }

    // What every run does first: close the command's recordset and the
    // connection, give the recordset its new source, open the connection
    // again with its own string (no user, no password) and the recordset on
    // it. Throws vantor::Error; the recordset then stays closed.
    engine::Recordset& reopen(const QString& name, const QString& source);

    // Lets go of a command's rows (its source stays). Once no command holds
    // rows the connection closes too, so that the file is not kept in use
    // (compaction refuses a file that the program holds open).
    void release(const QString& name);
    // Closes every command and the connection.
    void closeAll();

private:
    struct Command
    {
        QString name;
        QString designText;
        std::unique_ptr<engine::Recordset> recordset;
    };
    Command& find(const QString& name);
    const Command* lookup(const QString& name) const;

    QString m_connectionString;
    engine::Connection m_connection;
    std::vector<Command> m_commands;
};

// The program's data environment. It lives until the program ends.
DataEnvironment& DataEnvironment1();

} // namespace vantor::report
