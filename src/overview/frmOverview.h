#pragma once

#include "SummaryWindow.h"

namespace vantor::overview {

// "Results Overview": every test value with its occasion (date, period,
// remarks, test, result, unit), in date, period id and test name order, with
// equal neighbouring cells merged and every second column shaded. Remarks
// are left-aligned and results right-aligned, so that their decimal points
// line up.
class frmOverview : public SummaryWindow
{
    Q_OBJECT

public:
    static QString sql();
    // Opens the window with its rows; nullptr after telling the user why not.
    static frmOverview* create();

protected:
    QAbstractItemModel* shownRows(widgets::FlexGridModel* rows) override;
    void formatColumns() override;

private:
    frmOverview();
};

} // namespace vantor::overview
