#pragma once

namespace vantor::entry {

// Makes the data entry windows known to the window registry: frmPeriods,
// frmTests, frmEdit, frmDetails (reached from frmEdit only), frmBrowse and
// frmDelete.
void registerEntryWindows();

} // namespace vantor::entry
