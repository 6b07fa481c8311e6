#pragma once

#include "InputCheck.h"

#include <QList>
#include <QString>

namespace vantor::calc {

class CalculatorForm;

// The three calculator windows, by the category they serve.
enum class CalculatorKind { Heart, Liver, Kidney };

// One calculation of a calculator window: the title that selects it, its
// checks in the order they run, and the routine that reads the form and
// writes the result and the interpretation.
struct Calculation
{
    QString title;
    QList<InputCheck> checks;
    void (*run)(CalculatorForm& form);
};

} // namespace vantor::calc
