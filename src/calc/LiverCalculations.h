#pragma once

#include "Calculation.h"

namespace vantor::calc {

// The liver function calculators of the liver window, in conventional units.
class LiverCalculations
{
public:
    static const QList<Calculation>& all();
};

} // namespace vantor::calc
