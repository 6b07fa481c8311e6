#pragma once

// Pieces the recordset's source files share. Internal to the engine.

#include "Recordset.h"
#include "RowStore.h"
#include "Sqlite.h"

#include "platform/Error.h"

#include <QString>
#include <QVariant>

namespace vantor::engine {

class Connection;

namespace detail {

Error noCurrentRecord();
Error notOpen();
Error noSuchField(const QString& name);
QString quoted(const QString& name);
bool sameCell(const RowStore& store, const Cell& a, const Cell& b);
// Compares as the find criteria and the aggregates do: numbers as numbers,
// dates as dates, text without regard to case. comparable is false when
// either side is null or a date cannot be read.
int compareValues(const QVariant& a, const QVariant& b, bool& comparable);
bool likeMatch(const QString& text, const QString& pattern);

// Find criteria: "column op value".
struct Criteria
{
    QString column;
    int op = 0; // 0 =, 1 <>, 2 <, 3 >, 4 <=, 5 >=, 6 LIKE
    QVariant value;
};
Criteria parseCriteria(const QString& text);

// The recordsets' statements run on their connection.
using Statement = SqliteStatement;

// The recordsets' writes: a savepoint that rolls back unless committed.
class WriteScope : public SqliteTransaction
{
public:
    explicit WriteScope(Connection& connection);
};

} // namespace detail

// A row deleted while the recordset writes in batches: kept until UpdateBatch.
struct Recordset::PendingDelete
{
    int index; // where the row stood
    RowStore::Row row;
};

} // namespace vantor::engine
