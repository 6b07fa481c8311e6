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

QString moreStatementsMessage()
{
    return QStringLiteral("Characters found after end of SQL statement: the text holds more than "
                          "one statement, and only one can be run at a time.");
}

bool hasMoreStatements(QByteArrayView rest)
{
    for (const char c : rest) {
        if (c != ';' && c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return true;
    }
    return false;
}


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
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        releaseSharedLock(path);
        throw Error(Error::DatabaseError,
                    QStringLiteral("Could not open the database file '%1': %2")
                        .arg(QDir::toNativeSeparators(path), message));
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    // A misspelt name in double quotes must be an error, never a string.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);

    // Reading the schema proves that this is a database at all.
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        releaseSharedLock(path);
        throw Error(Error::DatabaseError,
                    QStringLiteral("The file '%1' is not a results database that can be read (%2).")
                        .arg(QDir::toNativeSeparators(path), message));
    }

    registerJetFunctions(db);
    m_db = db;
    m_connectionString = connectionString;
    m_filePath = path;
    m_shape = cs.isShape();
    m_transactionLevel = 0;
    m_schema = std::make_unique<SqliteSchema>(db);
    ++openFiles()[m_filePath];
    ++openCount();
}

void Connection::close()
{
    if (!m_db)
        return;
    if (m_transactionLevel > 0)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    m_schema.reset();
    // Statements still held by recordsets would keep the file open; recordsets
    // finalize theirs at once, so a plain close suffices.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    releaseSharedLock(m_filePath);
    auto& files = openFiles();
    if (--files[m_filePath] <= 0)
        files.remove(m_filePath);
    --openCount();
    m_transactionLevel = 0;
}

void Connection::raise(const QString& what) const
{
    const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_MISUSE;
    QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                           : QStringLiteral("The connection is not open.");
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
        message = QStringLiteral("The database file is in use by another program or window; "
                                 "try again in a moment (%1).")
                      .arg(message);
    else if ((code & 0xff) == SQLITE_READONLY)
        message = QStringLiteral("The database file cannot be written (%1).").arg(message);
    else if ((code & 0xff) == SQLITE_FULL)
        message = QStringLiteral("The disk is full (%1).").arg(message);
    throw Error(Error::DatabaseError,
                what.isEmpty() ? message : what + QStringLiteral(": ") + message);
}

void Connection::exec(const char* sql)
{
    if (!m_db)
        raise();
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        raise();
}

TranslatedSql Connection::translate(const QString& jetSql, const TranslateOptions& options) const
{
    if (!m_db)
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
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = t.sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, &tail) != SQLITE_OK)
        raise();
    // SQLite compiles the first statement only; the rest must not be dropped
    // silently, nor the first run without the rest.
    if (tail && hasMoreStatements(QByteArrayView(tail, sql.constData() + sql.size() - tail))) {
        sqlite3_finalize(stmt);
        throw Error(Error::SyntaxError, moreStatementsMessage());
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        raise();
    if (t.kind == TranslatedSql::Kind::Other)
        invalidateSchema();
    return t.kind == TranslatedSql::Kind::Select ? 0 : sqlite3_changes64(m_db);
}

void Connection::beginTrans()
{
    const QByteArray sql = "SAVEPOINT vantor_trans_" + QByteArray::number(m_transactionLevel + 1);
    exec(sql.constData());
    ++m_transactionLevel;
}

void Connection::commitTrans()
{
    if (m_transactionLevel == 0)
        throw Error(Error::DatabaseError, QStringLiteral("No transaction is active."));
    const QByteArray sql = "RELEASE vantor_trans_" + QByteArray::number(m_transactionLevel);
    exec(sql.constData());
    --m_transactionLevel;
}

void Connection::rollbackTrans()
{
    if (m_transactionLevel == 0)
        throw Error(Error::DatabaseError, QStringLiteral("No transaction is active."));
    const QByteArray name = "vantor_trans_" + QByteArray::number(m_transactionLevel);
    const QByteArray sql = "ROLLBACK TO " + name + "; RELEASE " + name;
    exec(sql.constData());
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
