#include "LiverWindow.h"

#include "CaptionLabel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

LiverWindow::LiverWindow(QWidget* parent)
    : CalculatorWindow(CalculatorKind::Liver, u"Liver Functions"_s, parent)
{
    setObjectName(u"frmLiver"_s);
    const QStringList proteinUnits = {u"g/dL"_s, u"g/L"_s};
    const QStringList bilirubinUnits = {u"mg/dL"_s, u"umol/L"_s};
    const QStringList ironUnits = {u"ug/dL"_s, u"umol/L"_s};
    const QList<Input> inputs = {
        addFixedUnitInput(u"AST"_s, u"AST:"_s, u"IU/L"_s),
        addFixedUnitInput(u"ALT"_s, u"ALT:"_s, u"IU/L"_s),
        addInput(u"Albumin"_s, u"Albumin:"_s, proteinUnits),
        addInput(u"Globulin"_s, u"Globulin:"_s, proteinUnits),
        addInput(u"BilirubinDirect"_s, u"Bilirubin direct:"_s, bilirubinUnits),
        addInput(u"BilirubinTotal"_s, u"Bilirubin total:"_s, bilirubinUnits),
        addInput(u"Ferritin"_s, u"Ferritin:"_s, {u"ng/ml"_s, u"ug/L"_s, u"pmol/L"_s}),
        addInput(u"Iron"_s, u"Iron:"_s, ironUnits),
        addInput(u"TIBC"_s, u"TIBC:"_s, ironUnits),
        addInput(u"Transferrin"_s, u"Transferrin:"_s, {u"mg/dL"_s, u"g/L"_s}),
    };
    setInputsEnabled(false);

    QLabel* serumLabel = addHeading(u"SerumLabel"_s, u"Serum Values"_s);

    auto* grid = new QGridLayout;
    addInputRows(grid, inputs, 0);
    grid->setColumnStretch(1, 1);
    QHBoxLayout* buttons = buttonRow();

    showMoreInfoArea(6);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_titleLabel);
    layout->addWidget(serumLabel);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_moreInfo, 1);
    setMinimumWidth(480);

    finishDesign();
}

} // namespace vantor::calc
