#pragma once

namespace vantor::overview {

// Makes the chart and filtered list windows known to the window registry:
// the dialogs dlgChart and dlgList (windows of their own, opened by their
// menu commands), the chart window frmChart (a child window) and the list
// window frmList (a window of its own), both opened by their dialogs.
void registerChartAndListWindows();

} // namespace vantor::overview
