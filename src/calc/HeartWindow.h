#pragma once

#include "CalculatorWindow.h"

namespace vantor::calc {

// frmHeart: the cholesterol calculators. Every input starts enabled; the
// selector takes away what a calculator does not use.
class HeartWindow : public CalculatorWindow
{
    Q_OBJECT

public:
    explicit HeartWindow(QWidget* parent = nullptr);
};

} // namespace vantor::calc
