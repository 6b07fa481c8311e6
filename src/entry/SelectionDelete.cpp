#include "SelectionDelete.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Error.h"

namespace vantor::entry {

namespace {

const QString DetailsOfSelection =
    QStringLiteral("SELECT Details.* FROM Details INNER JOIN tblSelect ON Details.ID = "
                   "tblSelect.ID;");
const QString ResultsOfSelection =
    QStringLiteral("SELECT Results.* FROM Results INNER JOIN tblSelect ON Results.ID = "
                   "tblSelect.ID;");

// Deletes every row of an open recordset, one at a time.
void deleteAll(engine::Recordset& rs)
{
    if (rs.recordCount() <= 0)
        return;
    rs.moveLast();
    rs.moveFirst();
    while (!rs.eof()) {
        rs.deleteCurrent();
        rs.updateBatch();
        rs.moveNext();
    }
}

void deleteRowsOf(engine::Connection& connection, const QString& sql)
{
    engine::Recordset rs;
    rs.open(sql, &connection, engine::CursorType::Static, engine::LockType::Optimistic);
    deleteAll(rs);
    rs.close();
}

void AddX(engine::Recordset& rs, qint32 id)
{
    rs.addNew();
    rs.setValue(QStringLiteral("Id"), qint64(id));
    rs.update();
}

} // namespace

void deleteSelectedOccasions(engine::Connection& connection, const QList<qint32>& ids)
{
    connection.beginTrans();
    const int level = connection.transactionLevel();
    try {
        engine::Recordset selection;
        selection.open(QStringLiteral("SELECT * FROM tblSelect"), &connection,
                       engine::CursorType::Static, engine::LockType::Optimistic);
        deleteAll(selection);
        for (const qint32 id : ids)
            AddX(selection, id);
        // Test values first, so that no value is ever left without its occasion.
        deleteRowsOf(connection, DetailsOfSelection);
        deleteRowsOf(connection, ResultsOfSelection);
        selection.close();
        connection.commitTrans();
    } catch (const Error&) {
        if (connection.isOpen() && connection.transactionLevel() == level) {
            try {
                connection.rollbackTrans();
            } catch (const Error&) {
                // The first failure is the one to report; closing the
                // connection drops what the rollback could not.
            }
        }
        throw;
    }
}

} // namespace vantor::entry
