#include "OverviewWindows.h"

#include "dlgChart.h"
#include "dlgExport.h"
#include "dlgList.h"
#include "dlgReport1.h"
#include "dlgReport2.h"
#include "frmChart.h"
#include "frmList.h"
#include "frmOverview.h"
#include "frmRemarks.h"
#include "frmStats.h"

#include "report/ReportPreview.h"
#include "widgets/WindowRegistry.h"

namespace vantor::overview {

void registerOverviewWindows()
{
    using widgets::WindowRegistry;
    const auto own = WindowRegistry::Kind::Own;
    const auto child = WindowRegistry::Kind::Child;
    auto& registry = widgets::windows();
    registry.registerWindow(QStringLiteral("frmStats"), own, [] { return new frmStats; });
    registry.registerWindow(QStringLiteral("dlgExport"), own, [] { return new dlgExport; });
    registry.registerWindow(QStringLiteral("frmOverview"), child,
                            [] { return frmOverview::create(); });
    registry.registerWindow(QStringLiteral("frmRemarks"), child,
                            [] { return frmRemarks::create(); });
    registry.registerWindow(QStringLiteral("dlgChart"), own, [] { return new dlgChart; });
    registry.registerWindow(QStringLiteral("frmChart"), child, [] { return new frmChart; });
    registry.registerWindow(QStringLiteral("dlgList"), own, [] { return new dlgList; });
    registry.registerWindow(QStringLiteral("frmList"), own, [] { return new frmList; });
    registry.registerWindow(QStringLiteral("dlgReport1"), own, [] { return new dlgReport1; });
    registry.registerWindow(QStringLiteral("dlgReport2"), own, [] { return new dlgReport2; });
    // The previews open only from a report run, which fills them.
    for (const QString& name : {QStringLiteral("DataReport1"), QStringLiteral("DataReport2")})
        registry.registerWindow(name, own, [] { return new report::ReportPreview; });
}

} // namespace vantor::overview
