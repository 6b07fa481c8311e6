#pragma once

#include "SummaryWindow.h"

namespace vantor::overview {

// "Remarks Summary": the occasions that carry remarks, with their date and
// period. The grid holds a row per test value of such an occasion, with the
// value's columns hidden; merging shows each occasion once.
class frmRemarks : public SummaryWindow
{
    Q_OBJECT

public:
    static QString sql();
    // Opens the window with its rows; nullptr after telling the user why not.
    static frmRemarks* create();

private:
    frmRemarks();
};

} // namespace vantor::overview
