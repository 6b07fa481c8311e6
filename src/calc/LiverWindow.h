#pragma once

#include "CalculatorWindow.h"

namespace vantor::calc {

// frmLiver: the liver function calculators. Every input starts disabled; the
// selector enables those of the chosen calculator.
class LiverWindow : public CalculatorWindow
{
    Q_OBJECT

public:
    explicit LiverWindow(QWidget* parent = nullptr);
};

} // namespace vantor::calc
