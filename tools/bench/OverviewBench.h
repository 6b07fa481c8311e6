#pragma once

#include "Measurements.h"

namespace vantor::bench {

// The summary window opening: its rows read as far as its first screen
// needs, the grid formatted and painted once, against the sqlite3 shell
// running the window's whole query.
Comparison summaryFirstScreen();
// The same window with every row read, as it is after its idle-time reading.
Comparison summaryAllRows();

// The export of every date to a tab-delimited file, against the sqlite3
// shell writing the same rows as tab-separated text.
Comparison exportAllDates();

} // namespace vantor::bench
