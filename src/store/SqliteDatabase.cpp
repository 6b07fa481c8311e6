#include "SqliteDatabase.h"

#include "SqliteStatement.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

namespace vantor::store {

SqliteDatabase::SqliteDatabase(const QString& path, Mode mode) : m_path(path)
{
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
    const QByteArray name = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw Error(
            Error::DatabaseError,
            QStringLiteral("Cannot open \"%1\": %2").arg(QDir::toNativeSeparators(path), message));
    }
    sqlite3_extended_result_codes(m_db, 1);
}

SqliteDatabase::~SqliteDatabase()
{
    // sqlite3_close_v2 lets statements that are still alive finish first.
    sqlite3_close_v2(m_db);
}

void SqliteDatabase::exec(const QString& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message);
        sqlite3_free(message);
        throw Error(Error::DatabaseError, text);
    }
}

SqliteStatement SqliteDatabase::prepare(const QString& sql)
{
    return SqliteStatement(m_db, sql);
}

QVariant SqliteDatabase::scalar(const QString& sql)
{
    SqliteStatement statement(m_db, sql);
    return statement.step() ? statement.value(0) : QVariant();
}

void SqliteDatabase::close()
{
    if (!m_db)
        return;
    if (sqlite3_close(m_db) != SQLITE_OK)
        raise(QStringLiteral("Cannot close \"%1\"").arg(QDir::toNativeSeparators(m_path)));
    m_db = nullptr;
}

void SqliteDatabase::raise(const QString& what) const
{
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    throw Error(Error::DatabaseError,
                what.isEmpty() ? message : what + QStringLiteral(": ") + message);
}

} // namespace vantor::store
