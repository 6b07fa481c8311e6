#include "dlgChart.h"

#include "frmChart.h"

#include "widgets/WindowRegistry.h"

namespace vantor::overview {

dlgChart::dlgChart(QWidget* parent)
    : DateRangeDialog({QStringLiteral("dlgChart"), QStringLiteral("Results Chart"),
                       QStringLiteral("From date"), QStringLiteral("to"), true,
                       QStringLiteral("View Chart"), QStringLiteral("Select Dates")},
                      parent)
{
}

void dlgChart::runAction()
{
    auto& registry = widgets::windows();
    const QString name = QStringLiteral("frmChart");
    if (registry.isLoaded(name)) {
        registry.show(name);
        return;
    }
    // Read before the window opens, so that an unreadable input opens none.
    const ChartRequest request{inputs()->fromDate(), inputs()->toDate(), inputs()->itemId(),
                               inputs()->itemName()};
    auto* chart = qobject_cast<frmChart*>(registry.load(name));
    if (!chart)
        return;
    registry.show(name);
    chart->showResults(request);
}

} // namespace vantor::overview
