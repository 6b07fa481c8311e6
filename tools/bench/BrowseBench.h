#pragma once

#include "Measurements.h"

namespace vantor::bench {

// The browse window opening on the shaped recordset and going to the last
// occasion: the occasions, the jump list, and the test values of the first
// and the last occasion only.
Comparison browseToLast();

} // namespace vantor::bench
