#pragma once

namespace vantor::report {

// Makes the report windows known to the window registry: the dialogs
// dlgReport1 and dlgReport2 and the preview windows DataReport1 and
// DataReport2 (opened by a report run only).
void registerReportWindows();

} // namespace vantor::report
