#include "CalcSession.h"

#include "calc/CalcWindows.h"
#include "calc/Calculator.h"
#include "calc/CalculatorWindow.h"
#include "calc/Catalog.h"
#include "calc/ExplainWindow.h"
#include "platform/RecordingUi.h"
#include "widgets/WindowRegistry.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;
using platform::Icon;

namespace {

QString iconName(Icon icon)
{
    switch (icon) {
    case Icon::Critical:
        return u"critical"_s;
    case Icon::Question:
        return u"question"_s;
    case Icon::Exclamation:
        return u"exclamation"_s;
    case Icon::Information:
        return u"information"_s;
    case Icon::None:
        break;
    }
    return u"none"_s;
}

// The controls a calculator reads, in the order its checks run: what a user
// may name in Control=text.
QString inputNames(const CalculatorEntry& entry)
{
    const Calculation* calculation = Calculator::find(CalculatorKind(entry.category), entry.title);
    QStringList names;
    for (const InputCheck& check : calculation ? calculation->checks : QList<InputCheck>()) {
        names << check.input;
        if (!check.unitControl.isEmpty())
            names << check.unitControl;
    }
    return names.join(u' ');
}

} // namespace

CalcSession::CalcSession(platform::RecordingUi& recorder) : m_recorder(recorder) {}

QStringList CalcSession::listing()
{
    QStringList lines;
    for (const CalculatorEntry& entry : Catalog::all()) {
        lines.append(QString::number(entry.category) + u'\t' + QString::number(entry.index) +
                     u'\t' + entry.listItem + u'\t' + entry.title + u'\t' + inputNames(entry));
    }
    return lines;
}

bool CalcSession::run(const QString& name, const QStringList& assignments)
{
    const CalculatorEntry* entry = Catalog::find(name);
    if (!entry) {
        m_error = u"No calculator has the title \"%1\" (see --list)."_s.arg(name);
        return false;
    }
    if (!proceed(entry->category, entry->index))
        return false;
    for (const QString& assignment : assignments) {
        if (!type(assignment))
            return false;
    }
    m_window->findChild<QPushButton*>(u"Calculate"_s)->click();
    m_moreInfo = readInterpretation();
    return true;
}

bool CalcSession::proceed(int category, int index)
{
    QWidget* selector = widgets::windows().show(u"frmMedCalc"_s);
    auto* categories = selector ? selector->findChild<QComboBox*>(u"Category"_s) : nullptr;
    auto* list = selector ? selector->findChild<QListWidget*>(u"SubCat"_s) : nullptr;
    auto* proceedButton = selector ? selector->findChild<QPushButton*>(u"Proceed"_s) : nullptr;
    if (!categories || !list || !proceedButton) {
        m_error = u"The calculator selector could not be opened."_s;
        return false;
    }
    categories->setCurrentIndex(category);
    list->setCurrentRow(index);
    proceedButton->click();
    m_window = loadCalculatorWindow(category);
    if (!m_window || !m_window->isVisible()) {
        m_error = u"Proceed opened no calculator window."_s;
        return false;
    }
    return true;
}

bool CalcSession::type(const QString& assignment)
{
    const qsizetype eq = assignment.indexOf(u'=');
    if (eq <= 0) {
        m_error = u"\"%1\" is not Control=text."_s.arg(assignment);
        return false;
    }
    const QString control = assignment.left(eq);
    const QString text = assignment.mid(eq + 1);
    QWidget* widget = m_window->findChild<QWidget*>(control);
    auto* edit = qobject_cast<QLineEdit*>(widget);
    auto* combo = qobject_cast<QComboBox*>(widget);
    if (!edit && !(combo && combo->isEditable())) {
        m_error = u"%1 has no input named %2."_s.arg(m_window->objectName(), control);
        return false;
    }
    if (!widget->isEnabled() || !widget->isVisible()) {
        m_error = u"%1 is not available for \"%2\"."_s.arg(control, m_window->title());
        return false;
    }
    // Typed as the user types: a text box keeps only what its length allows.
    if (edit)
        edit->setText(text);
    else
        combo->setEditText(text);
    return true;
}

QString CalcSession::readInterpretation() const
{
    // The renal window keeps its interpretation out of sight; the user reads
    // it through More Info, where the window offers it.
    auto* moreInfoButton = m_window->findChild<QPushButton*>(u"MoreInfoButton"_s);
    if (!moreInfoButton)
        return m_window->moreInfo();
    if (!moreInfoButton->isVisible())
        return {};
    moreInfoButton->click();
    auto* explain = qobject_cast<ExplainWindow*>(widgets::windows().find(u"frmExplain"_s));
    return explain ? explain->explanation() : QString();
}

QJsonObject CalcSession::report() const
{
    QJsonArray messages;
    for (const auto& message : m_recorder.messages()) {
        messages.append(QJsonObject{{u"text"_s, message.text},
                                    {u"title"_s, message.title},
                                    {u"icon"_s, iconName(message.icon)}});
    }
    const auto* result = m_window ? m_window->findChild<QLineEdit*>(u"Result"_s) : nullptr;
    return QJsonObject{
        {u"title"_s, m_window ? m_window->title() : QString()},
        {u"result"_s, result ? result->text() : QString()},
        {u"resultVisible"_s, result && result->isVisible()},
        {u"moreInfo"_s, m_moreInfo},
        {u"messages"_s, messages},
        {u"beeps"_s, m_recorder.beeps()},
    };
}

} // namespace vantor::calc
