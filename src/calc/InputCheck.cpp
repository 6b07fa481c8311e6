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

int InputCheck::faults(const CalculatorForm& form) const
{
    const QString text = form.text(input);
    if (kind == Gender)
        return text == u"Male"_s || text == u"Female"_s ? 0 : 1;

    if (text.isEmpty())
        return 1;
    try {
        // The whole-number form only decides whether the value is usable: half
        // rounds to even, so 0.5 is a fault and 0.6 is not.
        if (platform::toInteger16(text) <= 0)
            return 1;
    } catch (const vantor::Error& error) {
        platform::ui().beep();
        platform::showMessage(error.description(), platform::Icon::Critical);
        return 1;
    }
    if (unitControl.isEmpty())
        return 0;
    if (unitWords.contains(form.text(unitControl), Qt::CaseSensitive))
        return 0;
    if (onBadUnit == BeepOnBadUnit)
        platform::ui().beep();
    return 1;
}

} // namespace vantor::calc
