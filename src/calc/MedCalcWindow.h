#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vantor::calc {

// frmMedCalc: pick a category and a calculator, read its explanation, and
// proceed to the calculator window prepared for it.
class MedCalcWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MedCalcWindow(QWidget* parent = nullptr);

    // The event handlers, as the controls run them.
    void categoryClick();
    void subCatClick();
    void explainClick();
    void proceedClick();

private:
    QLabel* m_categoryLabel;
    QComboBox* m_category;
    QListWidget* m_subCat;
    QPushButton* m_explain;
    QPushButton* m_proceed;
};

} // namespace vantor::calc
