#pragma once

#include "Calculation.h"

namespace vantor::calc {

// Calculate as every calculator window runs it: the title selects the
// calculation, all its checks run, and then either the incomplete-data
// message or the calculation follows.
class Calculator
{
public:
    static const QList<Calculation>& calculations(CalculatorKind kind);
    // nullptr when no calculation of that window has this title (exact, with case).
    static const Calculation* find(CalculatorKind kind, const QString& title);
    static QString incompleteMessage(CalculatorKind kind);

    // Returns false, and does nothing, when the title selects no calculation.
    // The fault count starts afresh at every run, so corrected input computes;
    // a run that ends in the incomplete-data message empties the result and
    // the interpretation.
    static bool calculate(CalculatorKind kind, const QString& title, CalculatorForm& form);
};

} // namespace vantor::calc
