#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vantor::widgets {
class DataCombo;
class DataControl;
} // namespace vantor::widgets

namespace vantor::convert {

// The unit converter: converts an amount of a laboratory item between
// conventional and SI units with the factor the Agents table holds for it.
// It reads the chosen item through the data environment's Agents command and
// writes nothing.
class frmAgents : public QWidget
{
    Q_OBJECT

public:
    explicit frmAgents(QWidget* parent = nullptr);
    ~frmAgents() override;

    // Makes the alphabetically first item with a factor the chosen one.
    void InitializeComboBox();
    // Loads the chosen item's units and factor into the three boxes.
    void ChangeRecord();
    // Shows the unit the amount is in, that is the unit converted from.
    void SetUnitLabel();
    void cmdConvert_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWidgets();
    void createLayout();
    void load();
    void Form_Load();
    void AgentsCombo_Change();
    void loadChosenItem();

    widgets::DataControl* m_adodc1;
    widgets::DataCombo* m_agents;
    QLineEdit* m_factor;
    QLineEdit* m_siUnit;
    QLineEdit* m_conventionalUnit;
    QGroupBox* m_frame;
    QRadioButton* m_option1;
    QRadioButton* m_option2;
    QLabel* m_type1;
    QLabel* m_type2;
    QLineEdit* m_amount;
    QLabel* m_unit;
    QPushButton* m_convert;
    QLabel* m_result;
};

} // namespace vantor::convert
