#pragma once

#include "overview/DateRangeDialog.h"

namespace vantor::report {

// "Daily Results Report": previews the daily results report of a span of dates.
class dlgReport1 : public overview::DateRangeDialog
{
    Q_OBJECT

public:
    explicit dlgReport1(QWidget* parent = nullptr);

protected:
    void runAction() override;
};

} // namespace vantor::report
