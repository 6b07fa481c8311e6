#pragma once

#include <QString>

namespace vantor::store {

// Writes a consistent copy of the database `source` to `target` through
// SQLite's online backup: windows may keep the database open meanwhile. The
// copy is made in a temporary file with the database's mode, flushed and
// renamed over the target; the database itself and its journals are refused
// as the target. Throws vantor::Error.
void backUpDatabase(const QString& source, const QString& target);

} // namespace vantor::store
