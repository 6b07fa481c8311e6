#pragma once

namespace vantor {

// Makes every window of the program known to the window registry: the
// shell's, the data entry, overview, report, calculator, converter and import
// windows. Each menu command of the main window opens one of them.
void registerAllWindows();

} // namespace vantor
