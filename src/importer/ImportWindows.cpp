#include "ImportWindows.h"

#include "dlgImport.h"

#include "widgets/WindowRegistry.h"

namespace vantor::importer {

void registerImportWindows()
{
    widgets::windows().registerWindow(QStringLiteral("dlgImport"),
                                      widgets::WindowRegistry::Kind::Own,
                                      [] { return new dlgImport; });
}

} // namespace vantor::importer
