#include "Sqlite.h"

#include "platform/Error.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <sqlite3.h>

namespace vantor::engine {

namespace {

bool isBusyCode(int code)
{
    return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED;
}

bool onlySeparators(const char* begin, const char* end)
{
    for (const char* c = begin; c != end; ++c) {
        if (*c != ';' && *c != ' ' && *c != '\t' && *c != '\r' && *c != '\n')
            return false;
    }
    return true;
}

} // namespace

FieldType typeFromDecl(const char* decl)
{
    if (!decl)
        return FieldType::Null;
    const QByteArray d = QByteArray(decl).toUpper();
    if (d.contains("DATE") || d.contains("TIME"))
        return FieldType::Date;
    if (d.contains("INT"))
        return FieldType::Integer;
    if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB") || d.contains("NUM") ||
        d.contains("DEC"))
        return FieldType::Double;
    if (d.contains("CHAR") || d.contains("TEXT") || d.contains("CLOB"))
        return FieldType::Text;
    return FieldType::Null;
}

SqliteDatabase::SqliteDatabase(const QString& path, Mode mode)
{
    openFile(path, mode);
}

SqliteDatabase::~SqliteDatabase()
{
    release();
}

void SqliteDatabase::openFile(const QString& path, Mode mode, const QString& message)
{
    release();
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case Mode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        const QString what =
            !message.isEmpty()
                ? message
                : QStringLiteral("Cannot open \"%1\"").arg(QDir::toNativeSeparators(path));
        throw Error(Error::DatabaseError, what + QStringLiteral(": ") + reason);
    }
    sqlite3_extended_result_codes(db, 1);
    m_db = db;
    m_path = path;
}

void SqliteDatabase::release()
{
    // sqlite3_close_v2 lets statements that are still alive finish first.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void SqliteDatabase::close()
{
    if (!m_db)
        return;
    if (sqlite3_close(m_db) != SQLITE_OK)
        raise(QStringLiteral("Cannot close \"%1\"").arg(QDir::toNativeSeparators(m_path)));
    m_db = nullptr;
}

void SqliteDatabase::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db, milliseconds);
}

bool SqliteDatabase::isReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

void SqliteDatabase::exec(const QString& sql)
{
    if (!m_db)
        raise();
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        raise();
}

void SqliteDatabase::rollback(const QString& savepoint)
{
    const QString sql = savepoint.isEmpty()
                            ? QStringLiteral("ROLLBACK")
                            : QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(savepoint);
    sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
}

SqliteStatement SqliteDatabase::prepare(const QString& sql)
{
    return SqliteStatement(*this, sql);
}

QVariant SqliteDatabase::scalar(const QString& sql)
{
    SqliteStatement statement(*this, sql);
    return statement.step() ? statement.value(0) : QVariant();
}

qint64 SqliteDatabase::changes() const
{
    return sqlite3_changes64(m_db);
}

qint64 SqliteDatabase::lastInsertRowid() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void SqliteDatabase::releaseMemory()
{
    sqlite3_db_release_memory(m_db);
}

void SqliteDatabase::backUpTo(SqliteDatabase& target)
{
    sqlite3_backup* backup = sqlite3_backup_init(target.m_db, "main", m_db, "main");
    if (!backup)
        target.raise(QStringLiteral("Cannot back up the database"));
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        const QString reason = isBusyCode(rc) ? QStringLiteral("the database is in use by another "
                                                               "program; try again in a moment")
                                              : QString::fromUtf8(sqlite3_errstr(rc));
        throw Error(Error::DatabaseError,
                    QStringLiteral("Cannot back up the database: %1.").arg(reason));
    }
}

int SqliteDatabase::errorCode() const
{
    return m_db ? sqlite3_extended_errcode(m_db) & 0xff : SQLITE_MISUSE;
}

bool SqliteDatabase::isBusy() const
{
    return isBusyCode(errorCode());
}

bool SqliteDatabase::isNotADatabase() const
{
    return errorCode() == SQLITE_NOTADB;
}

void SqliteDatabase::raise(const QString& what) const
{
    const int code = errorCode();
    QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                           : QStringLiteral("The connection is not open.");
    if (isBusyCode(code))
        message = QStringLiteral("The database file is in use by another program or window; "
                                 "try again in a moment (%1).")
                      .arg(message);
    else if (code == SQLITE_READONLY)
        message = QStringLiteral("The database file cannot be written (%1).").arg(message);
    else if (code == SQLITE_FULL)
        message = QStringLiteral("The disk is full (%1).").arg(message);
    throw Error(Error::DatabaseError,
                what.isEmpty() ? message : what + QStringLiteral(": ") + message);
}

SqliteStatement::SqliteStatement(SqliteDatabase& db, const QString& sql) : m_db(&db)
{
    if (!db.isOpen())
        db.raise();
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &m_stmt, &tail) !=
        SQLITE_OK)
        db.raise();
    // SQLite compiles the first statement only.
    m_moreStatements = tail && !onlySeparators(tail, utf8.constData() + utf8.size());
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_db(other.m_db), m_stmt(other.m_stmt), m_moreStatements(other.m_moreStatements)
{
    other.m_stmt = nullptr;
}

void SqliteStatement::finalize()
{
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

Storage storageOf(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return Storage::Null;
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::ULongLong:
        return Storage::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return Storage::Real;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return Storage::Date;
    default:
        return Storage::Text;
    }
}

void SqliteStatement::bind(int index, const QVariant& value)
{
    switch (storageOf(value)) {
    case Storage::Null:
        bindNull(index);
        break;
    case Storage::Integer:
        bind(index, storedInteger(value));
        break;
    case Storage::Real:
        bind(index, value.toDouble());
        break;
    case Storage::Date:
        bind(index, storedDate(value).toString(Qt::ISODate));
        break;
    case Storage::Text:
        // Never null here: an empty text stays an empty text.
        bind(index, value.toString().isNull() ? QStringLiteral("") : value.toString());
        break;
    }
}

void SqliteStatement::bind(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        m_db->raise();
}

void SqliteStatement::bind(int index, double value)
{
    if (sqlite3_bind_double(m_stmt, index, value) != SQLITE_OK)
        m_db->raise();
}

void SqliteStatement::bind(int index, const QString& value)
{
    if (value.isNull()) {
        bindNull(index);
        return;
    }
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        m_db->raise();
}

void SqliteStatement::bindNull(int index)
{
    if (sqlite3_bind_null(m_stmt, index) != SQLITE_OK)
        m_db->raise();
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_db->raise();
    return false;
}

void SqliteStatement::reset()
{
    // A failed step has already been reported; reset only clears it.
    sqlite3_reset(m_stmt);
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

FieldType SqliteStatement::declaredType(int column) const
{
    return typeFromDecl(sqlite3_column_decltype(m_stmt, column));
}

QString SqliteStatement::originTable(int column) const
{
    return QString::fromUtf8(sqlite3_column_table_name(m_stmt, column));
}

QString SqliteStatement::originColumn(int column) const
{
    return QString::fromUtf8(sqlite3_column_origin_name(m_stmt, column));
}

SqliteStatement::Type SqliteStatement::type(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

QVariant SqliteStatement::value(int column) const
{
    switch (type(column)) {
    case Type::Integer:
        return int64(column);
    case Type::Real:
        return real(column);
    case Type::Text:
        return text(column);
    case Type::Blob: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
        return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
    }
    case Type::Null:
        break;
    }
    return {};
}

qint64 SqliteStatement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double SqliteStatement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QString SqliteStatement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column)) : QString();
}

QByteArrayView SqliteStatement::utf8(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(data, sqlite3_column_bytes(m_stmt, column));
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db, const QString& savepoint)
    : m_db(db), m_savepoint(savepoint)
{
    db.exec(savepoint.isEmpty() ? QStringLiteral("BEGIN IMMEDIATE")
                                : QStringLiteral("SAVEPOINT ") + savepoint);
}

SqliteTransaction::~SqliteTransaction()
{
    if (!m_done)
        m_db.rollback(m_savepoint);
}

void SqliteTransaction::commit()
{
    m_db.exec(m_savepoint.isEmpty() ? QStringLiteral("COMMIT")
                                    : QStringLiteral("RELEASE ") + m_savepoint);
    m_done = true;
}

} // namespace vantor::engine
