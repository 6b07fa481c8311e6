#include "ChartListWindows.h"

#include "dlgChart.h"
#include "dlgList.h"
#include "frmChart.h"
#include "frmList.h"

#include "widgets/WindowRegistry.h"

namespace vantor::overview {

void registerChartAndListWindows()
{
    using widgets::WindowRegistry;
    auto& registry = widgets::windows();
    registry.registerWindow(QStringLiteral("dlgChart"), WindowRegistry::Kind::Own,
                            [] { return new dlgChart; });
    registry.registerWindow(QStringLiteral("frmChart"), WindowRegistry::Kind::Child,
                            [] { return new frmChart; });
    registry.registerWindow(QStringLiteral("dlgList"), WindowRegistry::Kind::Own,
                            [] { return new dlgList; });
    registry.registerWindow(QStringLiteral("frmList"), WindowRegistry::Kind::Own,
                            [] { return new frmList; });
}

} // namespace vantor::overview
