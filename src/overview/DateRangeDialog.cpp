#include "DateRangeDialog.h"

#include "ErrorTrap.h"

#include "widgets/EnterKey.h"

#include <QHBoxLayout>
#include <QKeyEvent>

namespace vantor::overview {

DateRangeDialog::DateRangeDialog(const Setup& setup, QWidget* parent)
    : QWidget(parent), m_errorTitle(setup.errorTitle)
{
    setObjectName(setup.name);
    setWindowTitle(setup.caption);
    setAttribute(Qt::WA_DeleteOnClose);

    m_inputs = new DateRangeInputs({setup.fromLabel, setup.toLabel, setup.withItem}, this);
    m_action = new QPushButton(setup.actionCaption, this);
    m_action->setObjectName(QStringLiteral("cmdOK"));
    widgets::pressOnEnter(this, m_action);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_inputs);
    m_inputLayout = new QVBoxLayout;
    layout->addLayout(m_inputLayout);
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_action);
    layout->addLayout(buttons);

    connect(m_action, &QPushButton::clicked, this, &DateRangeDialog::act);
    m_inputs->load(m_errorTitle);
}

void DateRangeDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DateRangeDialog::act()
{
    if (!m_inputs->checkBothDates() || !m_inputs->Check_Date())
        return;
    trapErrors([this] { runAction(); }, m_errorTitle);
}

} // namespace vantor::overview
