#pragma once

#include "Calculation.h"

namespace vantor::calc {

// The renal calculators of the kidney window. Their interpretations are
// judged on the result as the window shows it in full precision.
class RenalCalculations
{
public:
    static const QList<Calculation>& all();
};

} // namespace vantor::calc
