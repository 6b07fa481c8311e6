#include "Migration.h"

#include "Schema.h"
#include "engine/Sqlite.h"
#include "platform/Error.h"

#include <QFileInfo>

namespace vantor::store {

namespace {

bool hasColumn(engine::SqliteDatabase& db, const QString& table, const QString& column)
{
    engine::SqliteStatement find = db.prepare(
        QStringLiteral("SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE"));
    find.bind(1, table);
    find.bind(2, column);
    return find.step();
}

// Version 2: the reference range of a test item. Keyed on the columns, not
// only on the version, so a file whose version was left behind still gets them
// exactly once.
void addReferenceRange(engine::SqliteDatabase& db)
{
    const QString tests = QStringLiteral("Tests");
    if (!hasColumn(db, tests, QStringLiteral("Low")))
        db.exec(QStringLiteral("ALTER TABLE Tests ADD COLUMN Low REAL CHECK (Low IS NULL OR "
                               "typeof(Low) IN ('real', 'integer'))"));
    if (!hasColumn(db, tests, QStringLiteral("High")))
        db.exec(QStringLiteral("ALTER TABLE Tests ADD COLUMN High REAL CHECK (High IS NULL OR "
                               "typeof(High) IN ('real', 'integer'))"));
}

// Version 3: the same rows of "Statistics Query", read from the index. A view
// holds no data, so replacing it loses nothing; its name and columns stay.
void replaceStatisticsView(engine::SqliteDatabase& db)
{
    db.exec(QStringLiteral("DROP VIEW IF EXISTS \"Statistics Query\""));
    db.exec(schema::statisticsViewStatement());
}

struct Step
{
    int version; // the version the file has after this step
    void (*apply)(engine::SqliteDatabase&);
};

constexpr Step Steps[] = {{2, addReferenceRange}, {3, replaceStatisticsView}};

} // namespace

bool migrateDatabase(const QString& path)
{
    const QFileInfo info(path);
    // A file marked read-only stays as it is, even for a user whose rights
    // would let SQLite write it anyway.
    // (WriteUser would say what this user may do, not how the file is marked.)
    const auto writable =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!info.isFile() || !info.isWritable() || !(info.permissions() & writable))
        return false;
    try {
        engine::SqliteDatabase db(path, engine::SqliteDatabase::Mode::ReadWrite);
        db.setBusyTimeout(1000);
        if (db.scalar(QStringLiteral("PRAGMA application_id")).toLongLong() !=
            schema::ApplicationId)
            return false;
        const qint64 version = db.scalar(QStringLiteral("PRAGMA user_version")).toLongLong();
        if (version == schema::Version)
            return true;
        if (version > schema::Version || version < schema::OldestVersion || db.isReadOnly())
            return false;
        for (const Step& step : Steps) {
            if (version >= step.version)
                continue;
            engine::SqliteTransaction transaction(db);
            step.apply(db);
            db.exec(QStringLiteral("PRAGMA user_version = %1").arg(step.version));
            transaction.commit();
        }
        db.close();
        return true;
    } catch (const Error&) {
        return false;
    }
}

} // namespace vantor::store
