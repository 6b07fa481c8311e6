#pragma once

namespace vantor::overview {

// Makes the overview windows known to the window registry. Opened by their
// menu commands: frmStats, dlgExport, dlgChart, dlgList, dlgReport1 and
// dlgReport2 (windows of their own), frmOverview and frmRemarks (child
// windows). Opened by their dialogs: the chart frmChart (a child window), the
// item list frmList and the report previews DataReport1 and DataReport2.
void registerOverviewWindows();

} // namespace vantor::overview
