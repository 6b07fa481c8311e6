#pragma once

#include <QString>

namespace vantor::widgets {
class WindowRegistry;
}

namespace vantor::calc {

class CalculatorWindow;
class ExplainWindow;
class KidneyWindow;

// The calculator's windows in the program's window registry: frmMedCalc,
// frmExplain, frmHeart, frmLiver and frmKidney, all windows of their own.
void registerCalculatorWindows(widgets::WindowRegistry& registry);

// The calculator window of a selector category (0 heart, 1 liver, 2 kidney),
// loaded if need be but not shown; nullptr for any other category.
CalculatorWindow* loadCalculatorWindow(int category);
void showCalculatorWindow(int category);
// The explanation window, loaded if need be and brought forward.
ExplainWindow* showExplainWindow();

// The error the lookups raise for a name they do not know.
constexpr int formNotInGlobalList = -2147221504 + 31004; // object error base + 31004

// The one explanation window for the name "Explain", the one renal window for
// "Kidney", created when first asked for. Any other name (compared exactly)
// raises "Form name not in global list".
ExplainWindow* LookupExplainForm(const QString& name);
KidneyWindow* LookupKidneyForm(const QString& name);

// Shows the explanation window named by `target` with the interpretation of
// the renal window named by `source`. Lookup errors propagate.
void ShowMoreInfo(const QString& target, const QString& source);

} // namespace vantor::calc
