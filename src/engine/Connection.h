#pragma once

#include "JetSql.h"
#include "Sqlite.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

namespace vantor::engine {

class SqliteSchema;

// One connection to a results database, opened with one of the program's
// connection strings. The Data Source is taken relative to the working
// folder; a missing file is never created: open() fails with a message that
// names the file and the folder. A connection string whose Provider is
// MSDataShape also accepts shape commands (see Recordset::open).
//
// Every open connection is known to a process-wide registry, so that the
// compaction can refuse while any window holds the file.
//
// Called from the user-interface thread only.
class Connection : public SqliteDatabase
{
public:
    Connection();
    ~Connection() override;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Throws vantor::Error when the file is missing, unreadable or no database.
    void open(const QString& connectionString, const QString& user = {},
              const QString& password = {});
    // Rolls back an open transaction; never fails.
    void close() override;

    const QString& connectionString() const { return m_connectionString; }
    bool isShape() const { return m_shape; }
    // Absolute, canonical path of the open database file.
    const QString& filePath() const { return path(); }

    // Runs one statement of the program's dialect (INSERT, UPDATE, DELETE or
    // DDL) and returns the number of rows changed.
    qint64 execute(const QString& jetSql);

    // Nested transactions (savepoints underneath). Writes of recordsets on
    // this connection join an open transaction.
    void beginTrans();
    void commitTrans();
    void rollbackTrans();
    int transactionLevel() const { return m_transactionLevel; }

    TranslatedSql translate(const QString& jetSql, const TranslateOptions& options = {}) const;
    const SchemaLookup& schema() const;
    void invalidateSchema();

    // The registry of open connections: is any connection of this process
    // open on this file (compared by canonical path)?
    static bool isFileOpen(const QString& path);
    static int openConnectionCount();

private:
    QString m_connectionString;
    bool m_shape = false;
    int m_transactionLevel = 0;
    std::unique_ptr<SqliteSchema> m_schema;
};

} // namespace vantor::engine
