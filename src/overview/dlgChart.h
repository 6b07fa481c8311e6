#pragma once

#include "DateRangeDialog.h"

namespace vantor::overview {

// "Results Chart": picks a test item and a span of dates, and "View Chart"
// opens the chart window on them. While a chart window is open, the button
// only brings it forward: a chart of other inputs needs it closed first.
class dlgChart : public DateRangeDialog
{
    Q_OBJECT

public:
    explicit dlgChart(QWidget* parent = nullptr);

protected:
    void runAction() override;
};

} // namespace vantor::overview
