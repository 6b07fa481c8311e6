#include "Calculator.h"

#include "CalculatorForm.h"
#include "HeartCalculations.h"
#include "LiverCalculations.h"
#include "RenalCalculations.h"

#include "platform/Ui.h"

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

const QList<Calculation>& Calculator::calculations(CalculatorKind kind)
{
    switch (kind) {
    case CalculatorKind::Heart:
        return HeartCalculations::all();
    case CalculatorKind::Liver:
        return LiverCalculations::all();
    case CalculatorKind::Kidney:
        break;
    }
    return RenalCalculations::all();
}

const Calculation* Calculator::find(CalculatorKind kind, const QString& title)
{
    for (const Calculation& calculation : calculations(kind)) {
        if (calculation.title == title)
            return &calculation;
    }
    return nullptr;
}

QString Calculator::incompleteMessage(CalculatorKind kind)
{
    return kind == CalculatorKind::Kidney ? u"Data entry incomplete. Please re-enter data."_s
                                          : u"Data entry incomplete"_s;
}

bool Calculator::calculate(CalculatorKind kind, const QString& title, CalculatorForm& form)
{
    const Calculation* calculation = find(kind, title);
    if (!calculation)
        return false;

    int errors = 0;
    for (const InputCheck& check : calculation->checks)
        errors += check.faults(form);
    form.setErrorCount(errors);

    if (errors != 0) {
        // Nothing of an earlier calculation may stand beside the refusal.
        form.setResult(QString());
        form.setMoreInfo(QString());
        platform::ui().beep();
        platform::showMessage(incompleteMessage(kind), platform::Icon::Exclamation);
        return true;
    }
    calculation->run(form);
    return true;
}

} // namespace vantor::calc
