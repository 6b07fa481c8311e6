#include "ProgramWindows.h"

#include "app/ProgramStart.h"
#include "calc/CalcWindows.h"
#include "convert/ConverterWindows.h"
#include "entry/EntryWindows.h"
#include "importer/ImportWindows.h"
#include "overview/OverviewWindows.h"
#include "widgets/WindowRegistry.h"

namespace vantor {

void registerAllWindows()
{
    app::registerShellWindows();
    entry::registerEntryWindows();
    calc::registerCalculatorWindows(widgets::windows());
    overview::registerOverviewWindows();
    convert::registerConverterWindows();
    importer::registerImportWindows();
}

} // namespace vantor
