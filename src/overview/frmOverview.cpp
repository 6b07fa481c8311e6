#include "frmOverview.h"

namespace vantor::overview {

namespace {

constexpr int Default = widgets::FlexGrid::DefaultWidth;

} // namespace

QString frmOverview::sql()
{
    return QStringLiteral("SELECT Results.Date, Format(Results.Date,'Medium Date') as Dates, "
                          "Periods.Period, Results.Remarks, Tests.Test, "
                          "format(Details.Result,'##,##0.0') as Results, Details.Unit ") +
           QStringLiteral("FROM Tests RIGHT JOIN ((Results INNER JOIN Details ON Results.ID = "
                          "Details.ID) INNER JOIN Periods ON Results.Period = Periods.ID) ON "
                          "Tests.ID = Details.Test ") +
           QStringLiteral("Order by Date, Results.Period, Tests.Test");
}

frmOverview::frmOverview()
    : SummaryWindow({QStringLiteral("frmOverview"),
                     QStringLiteral("Results Overview"),
                     sql(),
                     {1, Default, Default, 2000, 1000, 650, Default},
                     true})
{
}

frmOverview* frmOverview::create()
{
    auto* window = new frmOverview;
    if (window->load())
        return window;
    delete window;
    return nullptr;
}

void frmOverview::formatColumns()
{
    grid()->setColAlignment(3, Qt::AlignLeft);
    grid()->setColAlignment(5, Qt::AlignRight);
}

} // namespace vantor::overview
