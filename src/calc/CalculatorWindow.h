#pragma once

#include "Calculation.h"
#include "CalculatorForm.h"
#include "Catalog.h"

#include <QHash>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class QGridLayout;
class QHBoxLayout;

namespace vantor::calc {

class CaptionLabel;

// What the three calculator windows share: the title that selects the
// calculation, Calculate and Clear All, the result, the interpretation and
// the hidden error count. Each window adds its own inputs by name, so that
// the calculations read them by the names they know.
class CalculatorWindow : public QWidget, public CalculatorForm
{
    Q_OBJECT

public:
    // The controls of one input, as a window lays them out.
    struct Input
    {
        QLabel* label;
        QWidget* field; // the text box (the combo, for gender)
        QWidget* unit;  // a combo, a fixed label, or nullptr
    };

    CalculatorKind kind() const { return m_kind; }

    QString title() const;
    // The title goes into TitleLabel and into the window's own caption.
    void setTitle(const QString& title);

    // Back to the states the window was built with, before a calculator's
    // own changes are applied.
    void restoreDesignStates();
    void applyChanges(const QList<ControlChange>& changes);

    QString moreInfo() const;

    // Calculate_Click and Clear_Click.
    void calculate();
    void clearAll();
    // Empties Result and MoreInfo only; the inputs keep their text.
    void clearOutput();

    QString text(const QString& control) const override;
    void setErrorCount(int count) override;
    void setResult(const QString& text) override;
    void setMoreInfo(const QString& text) override;

protected:
    CalculatorWindow(CalculatorKind kind, const QString& caption, QWidget* parent = nullptr);

    // An input with its caption label (name + "Label" unless given) and its
    // unit: a combo of unit words, a fixed label, or nothing.
    Input addInput(const QString& name, const QString& caption, const QStringList& units = {},
                   const QString& labelName = {});
    Input addFixedUnitInput(const QString& name, const QString& caption, const QString& unit);
    // The editable gender combo, "Male" and "Female", with its caption.
    Input addGender();

    // A bold, underlined heading over a column of values.
    QLabel* addHeading(const QString& name, const QString& text, qreal pointSize = 0);
    // The interpretation shown in the window: bold 9.75-point, several lines high.
    void showMoreInfoArea(int lines);
    // The inputs one a row from firstRow on: caption, field and unit in three
    // columns from the given one.
    static void addInputRows(QGridLayout* grid, const QList<Input>& inputs, int firstRow,
                             int column = 0);
    // Calculate, the result and Clear All in one line.
    QHBoxLayout* buttonRow();

    // A control of the window's own, known by its object name.
    void registerControl(QWidget* control);

    // Call once the window's controls are built and set as designed.
    void finishDesign();
    void setInputsEnabled(bool enabled);

    QLabel* m_titleLabel;
    QPushButton* m_calculate;
    QPushButton* m_clear;
    QLineEdit* m_result;
    CaptionLabel* m_moreInfo;
    QLineEdit* m_errors;

private:
    template <typename T> T* named(T* widget, const QString& name);
    QComboBox* editableCombo(const QString& name, const QStringList& items);

    struct DesignState
    {
        bool enabled;
        bool visible;
    };

    CalculatorKind m_kind;
    QHash<QString, QWidget*> m_controls;
    QList<QWidget*> m_clearable; // inputs and unit combos, in the order they were added
    QList<QWidget*> m_inputControls;
    QHash<QWidget*, DesignState> m_design;
};

} // namespace vantor::calc
