#include "KidneyWindow.h"

#include "CalcWindows.h"
#include "CaptionLabel.h"

#include "platform/Error.h"
#include "platform/Ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

namespace {

// Age, gender and weight in one line.
QHBoxLayout* personRow(const CalculatorWindow::Input& age, const CalculatorWindow::Input& gender,
                       const CalculatorWindow::Input& weight)
{
    auto* person = new QHBoxLayout;
    person->addWidget(age.label);
    person->addWidget(age.field);
    person->addSpacing(16);
    person->addWidget(gender.label);
    person->addWidget(gender.field);
    person->addSpacing(16);
    person->addWidget(weight.label);
    person->addWidget(weight.field);
    person->addWidget(weight.unit);
    person->addStretch(1);
    age.field->setMaximumWidth(age.field->fontMetrics().horizontalAdvance(u"0000"_s) + 12);
    weight.field->setMaximumWidth(age.field->maximumWidth());
    gender.field->setMinimumWidth(gender.field->fontMetrics().horizontalAdvance(u"Female"_s) + 40);
    return person;
}

const QString ElectrolyteUnit = u"mEq/L or mmol/L"_s;
const QStringList MgOrMmol = {u"mg/dL"_s, u"mmol/L"_s};
const QStringList MgOrUmol = {u"mg/dL"_s, u"umol/L"_s};

} // namespace

KidneyWindow::KidneyWindow(QWidget* parent)
    : CalculatorWindow(CalculatorKind::Kidney, u"Renal & Urinary System"_s, parent)
{
    setObjectName(u"frmKidney"_s);
    const Input age = addInput(u"Age"_s, u"Age:"_s);
    const Input gender = addGender();
    const Input weight = addInput(u"Weight"_s, u"Weight:"_s, {u"kg"_s, u"lbs"_s});
    qobject_cast<QLineEdit*>(age.field)->setMaxLength(3);
    qobject_cast<QLineEdit*>(weight.field)->setMaxLength(3);
    const QList<Input> serum = addSerumInputs();
    const QList<Input> urine = addUrineInputs();
    setInputsEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_titleLabel);
    layout->addLayout(personRow(age, gender, weight));
    layout->addLayout(valuesGrid(serum, urine));
    layout->addLayout(buttonRow());
    setMinimumWidth(620);

    finishDesign();
}

QList<CalculatorWindow::Input> KidneyWindow::addSerumInputs()
{
    return {
        addFixedUnitInput(u"SerumAmylase"_s, u"Amylase:"_s, u"U/L"_s),
        addInput(u"SerumCalcium"_s, u"Calcium:"_s, MgOrMmol),
        addInput(u"SerumCreatinine"_s, u"Creatinine:"_s, MgOrUmol),
        addInput(u"SerumPhosphorus"_s, u"Phosphorus:"_s, MgOrMmol),
        addFixedUnitInput(u"SerumPotassium"_s, u"Potassium:"_s, ElectrolyteUnit),
        addFixedUnitInput(u"SerumSodium"_s, u"Sodium:"_s, ElectrolyteUnit),
        addInput(u"SerumUrate"_s, u"Urate:"_s, MgOrUmol),
        addInput(u"SerumUrea"_s, u"Urea:"_s, MgOrMmol),
    };
}

QList<CalculatorWindow::Input> KidneyWindow::addUrineInputs()
{
    return {
        addFixedUnitInput(u"UrineAmylase"_s, u"Amylase:"_s, u"U/L"_s),
        addInput(u"UrineCalcium"_s, u"Calcium:"_s, MgOrMmol),
        addInput(u"UrineCreatinine"_s, u"Creatinine:"_s, MgOrMmol),
        addInput(u"UrinePhosphorus"_s, u"Phosphorus:"_s, MgOrMmol),
        addFixedUnitInput(u"UrinePotassium"_s, u"Potassium:"_s, ElectrolyteUnit),
        addFixedUnitInput(u"UrineProtein"_s, u"Protein:"_s, u"g/L"_s),
        addFixedUnitInput(u"UrineSodium"_s, u"Sodium:"_s, ElectrolyteUnit),
        addInput(u"UrineUrate"_s, u"Uric Acid:"_s, MgOrUmol),
        addInput(u"UrineUrea"_s, u"Urea:"_s, MgOrMmol),
        addFixedUnitInput(u"UrineVolume"_s, u"Volume:"_s, u"ml"_s),
    };
}

// Serum values on the left, urine values on the right.
QGridLayout* KidneyWindow::valuesGrid(const QList<Input>& serum, const QList<Input>& urine)
{
    auto* values = new QGridLayout;
    values->addWidget(addHeading(u"SerumLabel"_s, u"Serum Values"_s, 12), 0, 0, 1, 3);
    values->addWidget(addHeading(u"UrineLabel"_s, u"Urine Values"_s, 12), 0, 4, 1, 3);
    addInputRows(values, serum, 1, 0);
    addInputRows(values, urine, 1, 4);
    values->setColumnMinimumWidth(3, 24);
    values->setColumnStretch(1, 1);
    values->setColumnStretch(5, 1);
    return values;
}

QHBoxLayout* KidneyWindow::buttonRow()
{
    auto* moreInfoButton = new QPushButton(u"More Info"_s, this);
    moreInfoButton->setObjectName(u"MoreInfoButton"_s);
    registerControl(moreInfoButton);
    moreInfoButton->hide();
    connect(moreInfoButton, &QPushButton::clicked, this, &KidneyWindow::showMoreInfo);

    QHBoxLayout* buttons = CalculatorWindow::buttonRow();
    buttons->addWidget(moreInfoButton);
    // Kept for More Info only; never shown in this window.
    m_moreInfo->hide();
    return buttons;
}

void KidneyWindow::showMoreInfo()
{
    try {
        ShowMoreInfo(u"Explain"_s, u"Kidney"_s);
    } catch (const vantor::Error& error) {
        platform::ui().beep();
        platform::ui().messageBox(error.description(), platform::Buttons::Ok, platform::Icon::None);
    }
}

} // namespace vantor::calc
