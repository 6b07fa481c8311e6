#pragma once

namespace vantor::app::Module3 {

// Utilities, Compact Database: asks first, compacts vantor.mdb in the working
// folder, and reports the outcome in message boxes titled "Compact Database".
void CompactDB();

} // namespace vantor::app::Module3
