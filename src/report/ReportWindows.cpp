#include "ReportWindows.h"

#include "ReportPreview.h"
#include "dlgReport1.h"
#include "dlgReport2.h"

#include "widgets/WindowRegistry.h"

namespace vantor::report {

void registerReportWindows()
{
    using widgets::WindowRegistry;
    auto& registry = widgets::windows();
    registry.registerWindow(QStringLiteral("dlgReport1"), WindowRegistry::Kind::Own,
                            [] { return new dlgReport1; });
    registry.registerWindow(QStringLiteral("dlgReport2"), WindowRegistry::Kind::Own,
                            [] { return new dlgReport2; });
    // The previews open only from a report run, which fills them.
    for (const QString& name : {QStringLiteral("DataReport1"), QStringLiteral("DataReport2")})
        registry.registerWindow(name, WindowRegistry::Kind::Own, [] { return new ReportPreview; });
}

} // namespace vantor::report
