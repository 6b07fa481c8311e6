#include "frmRemarks.h"

namespace vantor::overview {

namespace {

constexpr int Default = widgets::FlexGrid::DefaultWidth;

} // namespace

QString frmRemarks::sql()
{
    return QStringLiteral("SELECT Results.Date, Format(Results.Date,'Medium Date') as Dates, "
                          "Periods.Period, Results.Remarks, Tests.Test, Details.Result, "
                          "Details.Unit ") +
           QStringLiteral("FROM Tests RIGHT JOIN ((Results INNER JOIN Details ON Results.ID = "
                          "Details.ID) INNER JOIN Periods ON Results.Period = Periods.ID) ON "
                          "Tests.ID = Details.Test ") +
           QStringLiteral("WHERE (((Results.Remarks)<>'')) ") +
           QStringLiteral("Order by Date, Results.Period, Tests.Test");
}

frmRemarks::frmRemarks()
    : SummaryWindow({QStringLiteral("frmRemarks"),
                     QStringLiteral("Remarks Summary"),
                     sql(),
                     {1, Default, Default, 5000, 1, 1, 1},
                     false,
                     {}})
{
}

frmRemarks* frmRemarks::create()
{
    auto* window = new frmRemarks;
    if (window->load())
        return window;
    delete window;
    return nullptr;
}

} // namespace vantor::overview
