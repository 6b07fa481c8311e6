#include "OverviewWindows.h"

#include "dlgExport.h"
#include "frmOverview.h"
#include "frmRemarks.h"
#include "frmStats.h"

#include "widgets/WindowRegistry.h"

namespace vantor::overview {

void registerOverviewWindows()
{
    using widgets::WindowRegistry;
    auto& registry = widgets::windows();
    registry.registerWindow(QStringLiteral("frmStats"), WindowRegistry::Kind::Own,
                            [] { return new frmStats; });
    registry.registerWindow(QStringLiteral("dlgExport"), WindowRegistry::Kind::Own,
                            [] { return new dlgExport; });
    registry.registerWindow(QStringLiteral("frmOverview"), WindowRegistry::Kind::Child,
                            [] { return frmOverview::create(); });
    registry.registerWindow(QStringLiteral("frmRemarks"), WindowRegistry::Kind::Child,
                            [] { return frmRemarks::create(); });
}

} // namespace vantor::overview
