#pragma once

struct sqlite3;

namespace vantor::engine {

// Registers on a SQLite connection the functions that translated Jet SQL
// calls (Format, CDbl, CInt, CLng, CStr, CDate, IIf, Nz, Year, Month, Day,
// Date, Now, ...). Formatting and conversions follow the rules of the
// platform layer and the program's current locale.
void registerJetFunctions(sqlite3* db);

} // namespace vantor::engine
