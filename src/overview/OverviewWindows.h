#pragma once

namespace vantor::overview {

// Makes the overview windows known to the window registry, so that their
// menu commands open them: frmStats and dlgExport (windows of their own),
// frmOverview and frmRemarks (child windows).
void registerOverviewWindows();

} // namespace vantor::overview
