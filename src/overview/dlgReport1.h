#pragma once

#include "DateRangeDialog.h"

namespace vantor::overview {

// "Daily Results Report": previews the daily results report of a span of dates.
class dlgReport1 : public DateRangeDialog
{
    Q_OBJECT

public:
    explicit dlgReport1(QWidget* parent = nullptr);

protected:
    void runAction() override;
};

} // namespace vantor::overview
