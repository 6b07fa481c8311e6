#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vantor::calc {

class CalculatorForm;

// One check routine of a calculator window: the input it reads and, for a
// value with a unit combo, the exact unit words it accepts.
struct InputCheck
{
    enum Kind { Value, Gender };
    enum UnitFault { BeepOnBadUnit, SilentOnBadUnit };

    // A value with a fixed unit (or none): no unit test.
    static InputCheck value(const QString& input);
    // A value whose unit combo is "Unit" + input, accepting exactly these words.
    static InputCheck value(const QString& input, const QStringList& unitWords,
                            UnitFault onBadUnit = BeepOnBadUnit);
    // The gender combo: "Male" or "Female" and nothing else.
    static InputCheck gender();

    // The same check, also refusing a value above `limit`.
    InputCheck atMost(double limit) const;

    // Runs the check on the form: 1 when it finds a fault, else 0. A value
    // passes when it is a number greater than 0 (and not above the limit). A
    // text that is no number, or beyond the 16-bit range, also shows the
    // conversion error as a critical message.
    int faults(const CalculatorForm& form) const;

    Kind kind = Value;
    QString input;
    QString unitControl; // empty: no unit test
    QStringList unitWords;
    UnitFault onBadUnit = BeepOnBadUnit;
    std::optional<double> maximum;
};

} // namespace vantor::calc
