#include "Connection.h"

#include "ConnectionString.h"
#include "FileLock.h"
#include "SqlFunctions.h"
#include "SqliteSchema.h"

#include "platform/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

namespace vantor::engine {

namespace {

// SQLite counts every allocation under a process-wide mutex unless told not
// to; this SQLite has no lookaside memory either, so reading a long list
// spent a quarter of its time in that mutex. Set before SQLite starts, which
// is why it runs as the program loads.
const bool SqliteConfigured = [] {
    return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
}();

// Open connections by canonical file path; the compaction asks it.
QHash<QString, int>& openFiles()
{
    static QHash<QString, int> files;
    return files;
}

int& openCount()
{
    static int count = 0;
    return count;
}

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString c = info.canonicalFilePath();
    return c.isEmpty() ? info.absoluteFilePath() : c;
}

constexpr int BusyTimeoutMs = 5000;

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::open(const QString& connectionString, const QString& user, const QString& password)
{
    Q_UNUSED(user);
    Q_UNUSED(password);
    close();

    const ConnectionString cs = ConnectionString::parse(connectionString);
    if (cs.dataSource.isEmpty())
        throw Error(Error::DatabaseError,
                    QStringLiteral("The connection string names no database file (Data Source)."));

    const QFileInfo file(QDir::current(), cs.dataSource);
    if (!file.exists()) {
        throw Error(Error::FileNotFound,
                    QStringLiteral("Could not find the database file '%1' in the folder '%2'.")
                        .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())));
    }
    if (!file.isFile())
        throw Error(Error::DatabaseError,
                    QStringLiteral("'%1' is not a file.")
                        .arg(QDir::toNativeSeparators(file.absoluteFilePath())));

    const QString path = canonical(file.absoluteFilePath());
    // Other copies of the program see this one through the shared lock; it
    // outlives every SQLite connection of this process on the file.
    acquireSharedLock(path, BusyTimeoutMs);
    try {
        openFile(path, Mode::ReadWrite,
                 QStringLiteral("Could not open the database file '%1'")
                     .arg(QDir::toNativeSeparators(path)));
    } catch (...) {
        releaseSharedLock(path);
        throw;
    }
    sqlite3* db = handle();
    setBusyTimeout(BusyTimeoutMs);
    // A misspelt name in double quotes must be an error, never a string.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);

    // Reading the schema proves that this is a database at all.
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        release();
        releaseSharedLock(path);
        throw Error(Error::DatabaseError,
                    QStringLiteral("The file '%1' is not a results database that can be read (%2).")
                        .arg(QDir::toNativeSeparators(path), message));
    }

    registerJetFunctions(db);
    m_connectionString = connectionString;
    m_shape = cs.isShape();
    m_transactionLevel = 0;
    m_schema = std::make_unique<SqliteSchema>(db);
    ++openFiles()[path];
    ++openCount();
}

void Connection::close()
{
    if (!isOpen())
        return;
    if (m_transactionLevel > 0)
        rollback();
    m_schema.reset();
    // Statements still held by recordsets would keep the file open; recordsets
    // finalize theirs at once, so a plain close suffices.
    release();
    const QString path = filePath();
    releaseSharedLock(path);
    auto& files = openFiles();
    if (--files[path] <= 0)
        files.remove(path);
    --openCount();
    m_transactionLevel = 0;
}

TranslatedSql Connection::translate(const QString& jetSql, const TranslateOptions& options) const
{
    if (!isOpen())
        throw Error(Error::DatabaseError, QStringLiteral("The connection is not open."));
    return translateJet(jetSql, *m_schema, options);
}

const SchemaLookup& Connection::schema() const
{
    if (!m_schema)
        throw Error(Error::DatabaseError, QStringLiteral("The connection is not open."));
    return *m_schema;
}

void Connection::invalidateSchema()
{
    if (m_schema)
        m_schema->invalidate();
}

qint64 Connection::execute(const QString& jetSql)
{
    const TranslatedSql t = translate(jetSql);
    {
        SqliteStatement statement(*this, t.sql);
        // The rest must not be dropped silently, nor the first run without the rest.
        if (statement.hasMoreStatements())
            throw Error(Error::SyntaxError,
                        QStringLiteral("Characters found after end of SQL statement: the text "
                                       "holds more than one statement, and only one can be run "
                                       "at a time."));
        while (statement.step()) {
        }
    }
    if (t.kind == TranslatedSql::Kind::Other)
        invalidateSchema();
    return t.kind == TranslatedSql::Kind::Select ? 0 : changes();
}

void Connection::beginTrans()
{
    exec(QStringLiteral("SAVEPOINT vantor_trans_%1").arg(m_transactionLevel + 1));
    ++m_transactionLevel;
}

void Connection::commitTrans()
{
    if (m_transactionLevel == 0)
        throw Error(Error::DatabaseError, QStringLiteral("No transaction is active."));
    exec(QStringLiteral("RELEASE vantor_trans_%1").arg(m_transactionLevel));
    --m_transactionLevel;
}

void Connection::rollbackTrans()
{
    if (m_transactionLevel == 0)
        throw Error(Error::DatabaseError, QStringLiteral("No transaction is active."));
    exec(QStringLiteral("ROLLBACK TO vantor_trans_%1; RELEASE vantor_trans_%1")
             .arg(m_transactionLevel));
    --m_transactionLevel;
}

bool Connection::isFileOpen(const QString& path)
{
    return openFiles().value(canonical(path)) > 0;
}

int Connection::openConnectionCount()
{
    return openCount();
}

} // namespace vantor::engine
