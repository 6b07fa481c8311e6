#pragma once

#include "DateRangeDialog.h"

namespace vantor::overview {

// "Single Item Report": previews the values of one test item over a span of dates.
class dlgReport2 : public DateRangeDialog
{
    Q_OBJECT

public:
    explicit dlgReport2(QWidget* parent = nullptr);

protected:
    void runAction() override;
};

} // namespace vantor::overview
