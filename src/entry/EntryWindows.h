#pragma once

namespace vantor::entry {

// Makes the data entry windows known to the window registry: frmPeriods,
// frmTests, frmEdit and frmDetails (reached from frmEdit only).
void registerEntryWindows();

} // namespace vantor::entry
