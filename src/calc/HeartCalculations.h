#pragma once

#include "Calculation.h"

namespace vantor::calc {

// The cholesterol calculators of the heart window. Cholesterol values are
// judged in mg/dL; "mmol/L" values are converted first.
class HeartCalculations
{
public:
    static const QList<Calculation>& all();
};

} // namespace vantor::calc
