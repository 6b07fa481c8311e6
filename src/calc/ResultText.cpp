#include "ResultText.h"

#include "CalculatorForm.h"

#include "platform/Conversions.h"
#include "platform/Format.h"

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

QString ResultText::format(double value, const QString& suffix)
{
    static const platform::FormatPattern pattern(u"###0.00"_s);
    return pattern.formatNumber(value) + suffix;
}

QString ResultText::formatFourPlaces(double value, const QString& suffix)
{
    static const platform::FormatPattern pattern(u"###0.0000"_s);
    return pattern.formatNumber(value) + suffix;
}

double ResultText::readBack(double value)
{
    return platform::toDouble(platform::numberText(value));
}

double ResultText::value(const CalculatorForm& form, const QString& input)
{
    return platform::toDouble(form.text(input));
}

double ResultText::converted(const CalculatorForm& form, const QString& input,
                             const QString& unitWord, double divisor)
{
    const double v = value(form, input);
    return form.text(u"Unit"_s + input) == unitWord ? v / divisor : v;
}

} // namespace vantor::calc
