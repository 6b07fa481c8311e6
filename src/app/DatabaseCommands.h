#pragma once

namespace vantor::app {

// Utilities, Compact Database: asks first, compacts vantor.mdb in the working
// folder, and reports the outcome in message boxes titled "Compact Database".
void CompactDB();

// Utilities, Back Up Database: asks for a file and writes a copy of
// vantor.mdb there (see store::backUpDatabase); outcome titled "Back Up Database".
void BackupDB();

} // namespace vantor::app
