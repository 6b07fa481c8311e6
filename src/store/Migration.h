#pragma once

#include <QString>

namespace vantor::store {

// Brings a results database of an older schema version up to date: each step
// adds what is missing (never renames or drops), in one transaction, and
// raises user_version. Safe to run on every open. Returns true when the file
// now has the current schema; false, leaving it untouched, when it cannot be
// written (read-only), is no results database or is newer than this program.
bool migrateDatabase(const QString& path);

} // namespace vantor::store
