#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The results database as the program relies on it: the statements that make
// it, and what a check holds an existing file against.
namespace vantor::store::schema {

// PRAGMA application_id: "VNTR", so a results database is told from any
// other SQLite file.
inline constexpr int ApplicationId = 0x564E5452;
// PRAGMA user_version: raised with every change of the statements below.
// 2: the reference range of a test item (Tests.Low, Tests.High).
// 3: "Statistics Query" reads each item's extremes from the index.
inline constexpr int Version = 3;
// The oldest version this program still reads; migrate() brings it up to date.
inline constexpr int OldestVersion = 1;

// CREATE TABLE statements, in dependency-free order.
QStringList tableStatements();
// CREATE INDEX statements; run after a bulk load, they sort once instead of
// growing row by row.
QStringList indexStatements();
// The saved queries, as views under their own names.
QStringList viewStatements();
// The one of them that older files hold in a slower form.
QString statisticsViewStatement();
// Marks the file with ApplicationId and Version.
QStringList markStatements();

struct ColumnSpec
{
    QString name;
    QString type;  // as declared when created: what its values are stored as
    int since = 1; // the schema version that added it; older files lack it
};

struct TableSpec
{
    QString name;
    QVector<ColumnSpec> columns;
    // Agents is read by column position, so its order is part of the contract.
    bool orderMatters = false;
    // ID INTEGER PRIMARY KEY AUTOINCREMENT: an id is never given out twice.
    bool autoIncrementId = false;
};

struct IndexSpec
{
    QString table;
    QStringList columns; // the leading columns an index must have
    QString purpose;     // why the program needs it, for the check's message
};

struct ViewSpec
{
    QString name;
    QStringList columns; // the columns the program reads from it
};

QVector<TableSpec> tables();
QVector<IndexSpec> indexes();
QVector<ViewSpec> views();

} // namespace vantor::store::schema
