#include "MainStatusBar.h"

#include "platform/Ui.h"

#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace vantor::app {

namespace {

QLabel* panel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setContentsMargins(4, 0, 4, 0);
    return label;
}

} // namespace

MainStatusBar::MainStatusBar(QWidget* parent)
    : QStatusBar(parent), m_status(panel(QStringLiteral("pnlStatus"), this)),
      m_date(panel(QStringLiteral("pnlDate"), this)),
      m_time(panel(QStringLiteral("pnlTime"), this)), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("sbStatusBar"));
    setSizeGripEnabled(true);
    m_status->setText(QStringLiteral("Status"));
    addWidget(m_status, 1);
    addPermanentWidget(m_date);
    addPermanentWidget(m_time);

    refresh();
    // A second is fine-grained enough for a clock that shows minutes.
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &MainStatusBar::refresh);
    m_timer->start();
}

void MainStatusBar::refresh()
{
    const QDateTime now = platform::ui().now();
    const QLocale locale;
    m_date->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_time->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

} // namespace vantor::app
