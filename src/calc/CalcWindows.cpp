#include "CalcWindows.h"

#include "ExplainWindow.h"
#include "HeartWindow.h"
#include "KidneyWindow.h"
#include "LiverWindow.h"
#include "MedCalcWindow.h"

#include "platform/Error.h"
#include "widgets/WindowRegistry.h"

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;
using widgets::WindowRegistry;

namespace {

const QString explainName = u"frmExplain"_s;
const QString kidneyName = u"frmKidney"_s;

WindowRegistry& registry()
{
    WindowRegistry& windows = widgets::windows();
    if (!windows.isRegistered(explainName))
        registerCalculatorWindows(windows);
    return windows;
}

QString calculatorWindowName(int category)
{
    switch (category) {
    case 0:
        return u"frmHeart"_s;
    case 1:
        return u"frmLiver"_s;
    case 2:
        return kidneyName;
    default:
        return {};
    }
}

vantor::Error formNotFound()
{
    return vantor::Error(formNotInGlobalList, u"Form name not in global list"_s);
}

} // namespace

void registerCalculatorWindows(WindowRegistry& windows)
{
    const auto own = WindowRegistry::Kind::Own;
    windows.registerWindow(u"frmMedCalc"_s, own, [] { return new MedCalcWindow; });
    windows.registerWindow(explainName, own, [] { return new ExplainWindow; });
    windows.registerWindow(u"frmHeart"_s, own, [] { return new HeartWindow; });
    windows.registerWindow(u"frmLiver"_s, own, [] { return new LiverWindow; });
    windows.registerWindow(kidneyName, own, [] { return new KidneyWindow; });
}

CalculatorWindow* loadCalculatorWindow(int category)
{
    const QString name = calculatorWindowName(category);
    if (name.isEmpty())
        return nullptr;
    return qobject_cast<CalculatorWindow*>(registry().load(name));
}

void showCalculatorWindow(int category)
{
    const QString name = calculatorWindowName(category);
    if (!name.isEmpty())
        registry().show(name);
}

ExplainWindow* showExplainWindow()
{
    return qobject_cast<ExplainWindow*>(registry().show(explainName));
}

ExplainWindow* LookupExplainForm(const QString& name)
{
    if (name != u"Explain"_s)
        throw formNotFound();
    auto* window = qobject_cast<ExplainWindow*>(registry().load(explainName));
    if (!window)
        throw formNotFound();
    return window;
}

KidneyWindow* LookupKidneyForm(const QString& name)
{
    if (name != u"Kidney"_s)
        throw formNotFound();
    auto* window = qobject_cast<KidneyWindow*>(registry().load(kidneyName));
    if (!window)
        throw formNotFound();
    return window;
}

void ShowMoreInfo(const QString& target, const QString& source)
{
    ExplainWindow* explain = LookupExplainForm(target);
    registry().show(explain->objectName());
    const QString text = LookupKidneyForm(source)->moreInfo();
    LookupExplainForm(target)->setExplanation(text);
}

} // namespace vantor::calc
