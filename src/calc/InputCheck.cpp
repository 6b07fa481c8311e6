#include "InputCheck.h"

#include "CalculatorForm.h"

#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Ui.h"

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;
namespace platform = vantor::platform;

InputCheck InputCheck::value(const QString& input)
{
    InputCheck check;
    check.input = input;
    return check;
}

InputCheck InputCheck::value(const QString& input, const QStringList& unitWords,
                             UnitFault onBadUnit)
{
    InputCheck check = value(input);
    check.unitControl = u"Unit"_s + input;
    check.unitWords = unitWords;
    check.onBadUnit = onBadUnit;
    return check;
}

InputCheck InputCheck::gender()
{
    InputCheck check;
    check.kind = Gender;
    check.input = u"Gender"_s;
    return check;
}

InputCheck InputCheck::atMost(double limit) const
{
    InputCheck check = *this;
    check.maximum = limit;
    return check;
}

int InputCheck::faults(const CalculatorForm& form) const
{
    const QString text = form.text(input);
    if (kind == Gender)
        return text == u"Male"_s || text == u"Female"_s ? 0 : 1;

    if (text.isEmpty())
        return 1;
    double value = 0;
    try {
        // The whole-number conversion still sets the range (and names the
        // fault of a text that is no number), but the value is judged as
        // typed: a normal urine protein of 0.05 g/L or a bilirubin of
        // 0.3 mg/dL must not round away to 0.
        platform::toInteger16(text);
        value = platform::toDouble(text);
    } catch (const vantor::Error& error) {
        platform::ui().beep();
        platform::showMessage(error.description(), platform::Icon::Critical);
        return 1;
    }
    if (!(value > 0) || (maximum && value > *maximum))
        return 1;
    if (unitControl.isEmpty())
        return 0;
    if (unitWords.contains(form.text(unitControl), Qt::CaseSensitive))
        return 0;
    if (onBadUnit == BeepOnBadUnit)
        platform::ui().beep();
    return 1;
}

} // namespace vantor::calc
