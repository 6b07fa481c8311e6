#pragma once

#include "engine/Sqlite.h"

#include <QStringList>

namespace storetest {

// The rows of sql, each as its values joined by "|" (null as NULL), so a
// test compares whole result sets with one QCOMPARE.
inline QStringList rows(vantor::engine::SqliteDatabase& db, const QString& sql)
{
    vantor::engine::SqliteStatement statement = db.prepare(sql);
    QStringList out;
    while (statement.step()) {
        QStringList fields;
        for (int i = 0; i < statement.columnCount(); ++i)
            fields << (statement.isNull(i) ? QStringLiteral("NULL") : statement.text(i));
        out << fields.join(QLatin1Char('|'));
    }
    return out;
}

inline QStringList columns(vantor::engine::SqliteDatabase& db, const QString& sql)
{
    vantor::engine::SqliteStatement statement = db.prepare(sql);
    QStringList out;
    for (int i = 0; i < statement.columnCount(); ++i)
        out << statement.columnName(i);
    return out;
}

inline qint64 count(vantor::engine::SqliteDatabase& db, const QString& sql)
{
    return db.scalar(sql).toLongLong();
}

} // namespace storetest
