#pragma once

#include <QString>

namespace vantor::calc {

class CalculatorForm;

// The number forms of the calculator windows.
class ResultText
{
public:
    // "###0.00" in the current locale, followed by the suffix.
    static QString format(double value, const QString& suffix = {});
    // "###0.0000": for a ratio whose decision limits lie in the hundredths.
    static QString formatFourPlaces(double value, const QString& suffix = {});
    // The number read back from its plain text form (15 significant digits):
    // a band edge is judged on what the user could see, not on the last bit
    // of a binary fraction.
    static double readBack(double value);

    // The value of an input as a double, by the locale's number rules.
    static double value(const CalculatorForm& form, const QString& input);
    // The value of an input divided by `divisor` when its unit combo holds
    // exactly `unitWord`, else as typed.
    static double converted(const CalculatorForm& form, const QString& input,
                            const QString& unitWord, double divisor);
};

} // namespace vantor::calc
