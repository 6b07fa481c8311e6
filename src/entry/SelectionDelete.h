#pragma once

#include <QList>

namespace vantor::engine {
class Connection;
}

namespace vantor::entry {

// Deletes the given occasions, each with all its test values, through the
// work table tblSelect: the table is emptied and refilled with the ids, then
// the test values joined to it are deleted, then the occasions. All of it
// happens in one transaction on connection: a failure anywhere (thrown as
// vantor::Error) leaves the database, tblSelect included, as it was.
// Afterwards tblSelect holds the ids until the next deletion.
void deleteSelectedOccasions(engine::Connection& connection, const QList<qint32>& ids);

} // namespace vantor::entry
