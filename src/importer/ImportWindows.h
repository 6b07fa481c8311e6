#pragma once

namespace vantor::importer {

// Makes the import dialog (dlgImport, a window of its own) known to the
// window registry, so that Data, Import opens it.
void registerImportWindows();

} // namespace vantor::importer
