#include "Database.h"

#include "DatabaseFile.h"
#include "DemoData.h"
#include "NewDatabaseFile.h"
#include "Schema.h"
#include "SchemaCheck.h"
#include "engine/Sqlite.h"
#include "platform/Error.h"

#include <QDir>
#include <QFileInfo>

namespace vantor::store {

namespace {

void execAll(engine::SqliteDatabase& db, const QStringList& statements)
{
    for (const QString& statement : statements)
        db.exec(statement);
}

// Builds a complete database at path: the tables with the standard conversion
// items, then fill (bulk rows load faster before the indexes exist), then
// indexes, saved queries and the mark.
enum class Statistics { Skip, Gather };

template <typename Fill> void build(const QString& path, Statistics statistics, Fill fill)
{
    NewDatabaseFile file(path);
    engine::SqliteDatabase& db = file.database();
    db.exec(QStringLiteral("BEGIN"));
    execAll(db, schema::tableStatements());
    demo::writeAgents(db);
    fill(db);
    execAll(db, schema::indexStatements());
    execAll(db, schema::viewStatements());
    db.exec(QStringLiteral("COMMIT"));
    execAll(db, schema::markStatements());
    // Statistics of a filled file let the planner choose well from the start;
    // an empty file has none worth keeping.
    if (statistics == Statistics::Gather)
        db.exec(QStringLiteral("ANALYZE"));
    file.commit();
}

} // namespace

void createDatabase(const QString& path)
{
    build(path, Statistics::Skip, [](engine::SqliteDatabase&) {});
}

void createDemoDatabase(const QString& path, const DemoOptions& options)
{
    const QDate last = options.lastDate.isValid() ? options.lastDate : QDate::currentDate();
    const QDate first = last.addYears(-options.years).addDays(1);
    build(path, Statistics::Gather, [&](engine::SqliteDatabase& db) {
        demo::writeCatalogues(db);
        demo::writeOccasions(db, first, last, options.seed);
    });
}

void createLargeDatabase(const QString& path, qint64 valueCount, unsigned seed)
{
    if (valueCount < 0)
        throw Error(
            Error::InvalidProcedureCall,
            QStringLiteral("The number of values cannot be negative (%1).").arg(valueCount));
    const QDate last = QDate::currentDate();
    build(path, Statistics::Gather, [&](engine::SqliteDatabase& db) {
        demo::writeCatalogues(db);
        demo::writeLargeSet(db, valueCount, last, seed);
    });
}

QStringList checkDatabase(const QString& path)
{
    // Files that are no database to check get the start-up's own words.
    const FileKind kind = classifyDatabase(path);
    switch (kind.kind) {
    case FileKind::Missing:
    case FileKind::DanglingLink:
    case FileKind::NotAFile:
    case FileKind::Empty:
    case FileKind::InUse:
        return {kind.message};
    default:
        break;
    }
    try {
        // Read-write when a crash left a journal: only that rolls it back.
        engine::SqliteDatabase db(path, hasJournal(path) ? engine::SqliteDatabase::Mode::ReadWrite
                                                         : engine::SqliteDatabase::Mode::ReadOnly);
        return SchemaCheck(db).run();
    } catch (const Error& error) {
        return {error.description()};
    }
}

} // namespace vantor::store
