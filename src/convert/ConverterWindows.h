#pragma once

namespace vantor::convert {

// Makes the unit converter frmAgents known to the window registry
// (Utilities, Unit Conversion).
void registerConverterWindows();

} // namespace vantor::convert
