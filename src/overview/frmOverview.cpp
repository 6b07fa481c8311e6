#include "frmOverview.h"

#include "FlaggedValues.h"
#include "platform/Error.h"
#include "platform/Format.h"

namespace vantor::overview {

namespace {

constexpr int Default = widgets::FlexGrid::DefaultWidth;

} // namespace

QString frmOverview::sql()
{
    return QStringLiteral("SELECT Results.Date, Format(Results.Date,'Medium Date') as Dates, "
                          "Periods.Period, Results.Remarks, Tests.Test, "
                          "format(Details.Result,'##,##0.0') as Results, Details.Unit, ") +
           // The value as stored, hidden: its flag must not be judged on the rounded text.
           QStringLiteral("Details.Result ") +
           QStringLiteral("FROM Tests RIGHT JOIN ((Results INNER JOIN Details ON Results.ID = "
                          "Details.ID) INNER JOIN Periods ON Results.Period = Periods.ID) ON "
                          "Tests.ID = Details.Test ") +
           QStringLiteral("Order by Date, Results.Period, Tests.Test");
}

// The widths of the design are too narrow for today's fonts: the test and
// result columns widen to a 20-character name and to the widest result the
// format gives below a hundred thousand.
frmOverview::frmOverview()
    : SummaryWindow(
          {QStringLiteral("frmOverview"),
           QStringLiteral("Results Overview"),
           sql(),
           {1, Default, Default, 2000, 1000, 650, Default, 0},
           true,
           {{4, QStringLiteral("Alkaline Phosphatase")},
            {5, platform::format(99999.9, QStringLiteral("##,##0.0")) + QStringLiteral("  H")}}})
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

QAbstractItemModel* frmOverview::shownRows(widgets::FlexGridModel* rows)
{
    QHash<QString, store::ReferenceRange> ranges;
    try {
        ranges = store::rangesByName(store::readReferenceRanges());
    } catch (const Error&) {
        return rows; // the values are shown without flags
    }
    auto* flagged = new FlaggedValues(ranges, {4, 5, 6, 7}, this);
    flagged->setSourceModel(rows);
    return flagged;
}

void frmOverview::formatColumns()
{
    grid()->setColAlignment(3, Qt::AlignLeft);
    grid()->setColAlignment(5, Qt::AlignRight);
}

} // namespace vantor::overview
