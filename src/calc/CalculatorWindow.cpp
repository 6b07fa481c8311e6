#include "CalculatorWindow.h"

#include "Calculator.h"
#include "CaptionLabel.h"

#include "platform/Error.h"
#include "platform/Ui.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

CalculatorWindow::CalculatorWindow(CalculatorKind kind, const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_kind(kind)
{
    setWindowTitle(caption);

    m_titleLabel = named(new QLabel(this), u"TitleLabel"_s);
    QFont titleFont = m_titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(13.5);
    m_titleLabel->setFont(titleFont);
    m_titleLabel->setWordWrap(true);

    m_calculate = named(new QPushButton(u"Calculate"_s, this), u"Calculate"_s);
    m_clear = named(new QPushButton(u"Clear All"_s, this), u"Clear"_s);

    m_result = named(new QLineEdit(this), u"Result"_s);
    m_result->setReadOnly(true);
    QFont resultFont = m_result->font();
    resultFont.setBold(true);
    resultFont.setPointSizeF(8.25);
    m_result->setFont(resultFont);

    m_moreInfo = named(new CaptionLabel(this), u"MoreInfo"_s);
    m_moreInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_errors = named(new QLineEdit(u"0"_s, this), u"Errors"_s);
    m_errors->hide();

    connect(m_calculate, &QPushButton::clicked, this, &CalculatorWindow::calculate);
    connect(m_clear, &QPushButton::clicked, this, &CalculatorWindow::clearAll);
}

template <typename T> T* CalculatorWindow::named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    m_controls.insert(name, widget);
    return widget;
}

QComboBox* CalculatorWindow::editableCombo(const QString& name, const QStringList& items)
{
    auto* combo = named(new QComboBox(this), name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    // Empty until the user picks or types a unit.
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    return combo;
}

CalculatorWindow::Input CalculatorWindow::addInput(const QString& name, const QString& caption,
                                                   const QStringList& units,
                                                   const QString& labelName)
{
    Input input{};
    input.label =
        named(new QLabel(caption, this), labelName.isEmpty() ? name + u"Label"_s : labelName);
    input.field = named(new QLineEdit(this), name);
    m_clearable.append(input.field);
    m_inputControls << input.label << input.field;
    if (!units.isEmpty()) {
        input.unit = editableCombo(u"Unit"_s + name, units);
        m_clearable.append(input.unit);
        m_inputControls.append(input.unit);
    }
    return input;
}

CalculatorWindow::Input CalculatorWindow::addFixedUnitInput(const QString& name,
                                                            const QString& caption,
                                                            const QString& unit)
{
    Input input = addInput(name, caption);
    input.unit = named(new QLabel(unit, this), u"Unit"_s + name);
    m_inputControls.append(input.unit);
    return input;
}

CalculatorWindow::Input CalculatorWindow::addGender()
{
    Input input{};
    input.label = named(new QLabel(u"Gender:"_s, this), u"GenderLabel"_s);
    input.field = editableCombo(u"Gender"_s, {u"Male"_s, u"Female"_s});
    input.unit = nullptr;
    m_clearable.append(input.field);
    m_inputControls << input.label << input.field;
    return input;
}

void CalculatorWindow::registerControl(QWidget* control)
{
    m_controls.insert(control->objectName(), control);
}

QLabel* CalculatorWindow::addHeading(const QString& name, const QString& text, qreal pointSize)
{
    auto* heading = named(new QLabel(text, this), name);
    QFont font = heading->font();
    font.setBold(true);
    font.setUnderline(true);
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    heading->setFont(font);
    return heading;
}

void CalculatorWindow::showMoreInfoArea(int lines)
{
    QFont font = m_moreInfo->font();
    font.setBold(true);
    font.setPointSizeF(9.75);
    m_moreInfo->setFont(font);
    m_moreInfo->setMinimumHeight(m_moreInfo->fontMetrics().lineSpacing() * lines);
}

void CalculatorWindow::setInputsEnabled(bool enabled)
{
    for (QWidget* control : std::as_const(m_inputControls))
        control->setEnabled(enabled);
}

void CalculatorWindow::finishDesign()
{
    m_design.clear();
    for (QWidget* control : std::as_const(m_controls))
        m_design.insert(control, {control->isEnabledTo(this), control->isVisibleTo(this)});
}

void CalculatorWindow::restoreDesignStates()
{
    for (auto it = m_design.cbegin(); it != m_design.cend(); ++it) {
        QWidget* control = it.key();
        if (control->isEnabledTo(this) != it->enabled)
            control->setEnabled(it->enabled);
        if (control->isVisibleTo(this) != it->visible)
            control->setVisible(it->visible);
    }
}

void CalculatorWindow::applyChanges(const QList<ControlChange>& changes)
{
    for (const ControlChange& change : changes) {
        QWidget* control = m_controls.value(change.control);
        if (!control)
            continue;
        switch (change.action) {
        case ControlChange::Enable:
            control->setEnabled(true);
            break;
        case ControlChange::Disable:
            control->setEnabled(false);
            break;
        case ControlChange::Show:
            control->setVisible(true);
            break;
        case ControlChange::Hide:
            control->setVisible(false);
            break;
        }
    }
}

QString CalculatorWindow::title() const
{
    return m_titleLabel->text();
}

void CalculatorWindow::setTitle(const QString& title)
{
    m_titleLabel->setText(title);
    setWindowTitle(title);
}

QString CalculatorWindow::moreInfo() const
{
    return m_moreInfo->caption();
}

void CalculatorWindow::calculate()
{
    try {
        Calculator::calculate(m_kind, title(), *this);
    } catch (const vantor::Error& error) {
        platform::showMessage(error.description(), platform::Icon::Critical);
    }
}

void CalculatorWindow::clearAll()
{
    for (QWidget* control : std::as_const(m_clearable)) {
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->clear();
        else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            combo->setCurrentIndex(-1);
            combo->setEditText(QString());
        }
    }
    clearOutput();
    setErrorCount(0);
}

void CalculatorWindow::clearOutput()
{
    m_result->clear();
    m_moreInfo->setCaption(QString());
}

QString CalculatorWindow::text(const QString& control) const
{
    const QWidget* widget = m_controls.value(control);
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentText();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    return {};
}

void CalculatorWindow::setErrorCount(int count)
{
    m_errors->setText(QString::number(count));
}

void CalculatorWindow::setResult(const QString& text)
{
    m_result->setText(text);
}

void CalculatorWindow::setMoreInfo(const QString& text)
{
    m_moreInfo->setCaption(text);
    // A long interpretation must be read whole: let the window grow for it.
    if (m_moreInfo->isVisibleTo(this) && layout()) {
        const int needed = layout()->totalHeightForWidth(width());
        if (needed > height())
            resize(width(), needed);
    }
}

void CalculatorWindow::addInputRows(QGridLayout* grid, const QList<Input>& inputs, int firstRow,
                                    int column)
{
    int row = firstRow;
    for (const Input& input : inputs) {
        grid->addWidget(input.label, row, column);
        grid->addWidget(input.field, row, column + 1);
        grid->addWidget(input.unit, row, column + 2);
        ++row;
    }
}

QHBoxLayout* CalculatorWindow::buttonRow()
{
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_calculate);
    buttons->addWidget(m_result, 1);
    buttons->addWidget(m_clear);
    return buttons;
}

} // namespace vantor::calc
