#pragma once

#include "CalculatorWindow.h"

class QGridLayout;
class QHBoxLayout;

namespace vantor::calc {

// frmKidney: the renal calculators. Every input starts disabled; the selector
// enables those of the chosen calculator. The interpretation is kept in a
// label the user never sees and is read through More Info.
class KidneyWindow : public CalculatorWindow
{
    Q_OBJECT

public:
    explicit KidneyWindow(QWidget* parent = nullptr);

    // MoreInfoButton_Click: the interpretation in the explanation window.
    void showMoreInfo();

private:
    QList<Input> addSerumInputs();
    QList<Input> addUrineInputs();
    QGridLayout* valuesGrid(const QList<Input>& serum, const QList<Input>& urine);
    QHBoxLayout* buttonRow();
};

} // namespace vantor::calc
