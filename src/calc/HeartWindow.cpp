#include "HeartWindow.h"

#include "CaptionLabel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

HeartWindow::HeartWindow(QWidget* parent)
    : CalculatorWindow(CalculatorKind::Heart, u"Cholesterol and Coronary Heart Disease"_s, parent)
{
    setObjectName(u"frmHeart"_s);
    const QStringList units = {u"mg/dL"_s, u"mmol/L"_s};
    const Input gender = addGender();
    const Input chol = addInput(u"Chol"_s, u"Total Cholesterol:"_s, units);
    // The HDL caption label has always been spelled so.
    const Input hdl = addInput(u"HDL"_s, u"HDL Cholesterol:"_s, units, u"HDLLabell"_s);
    const Input ldl = addInput(u"LDL"_s, u"LDL Cholesterol: "_s, units);

    auto* grid = new QGridLayout;
    grid->addWidget(gender.label, 0, 0);
    grid->addWidget(gender.field, 0, 1);
    addInputRows(grid, {chol, hdl, ldl}, 1);
    grid->setColumnStretch(1, 1);
    QHBoxLayout* buttons = buttonRow();

    showMoreInfoArea(8);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_titleLabel);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_moreInfo, 1);
    setMinimumWidth(460);

    finishDesign();
}

} // namespace vantor::calc
