#pragma once

#include <QString>

namespace vantor::calc {

// What a calculation sees of its window: the text of a named input or unit
// control, and the three places it writes. The windows implement it over their
// controls; tests implement it over a table of texts.
class CalculatorForm
{
public:
    virtual ~CalculatorForm() = default;

    // The text of the control with this name (empty for a control the window lacks).
    virtual QString text(const QString& control) const = 0;
    virtual void setErrorCount(int count) = 0;
    virtual void setResult(const QString& text) = 0;
    virtual void setMoreInfo(const QString& text) = 0;
};

} // namespace vantor::calc
