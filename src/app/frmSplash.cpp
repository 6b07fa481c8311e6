#include "frmSplash.h"

#include "ProgramIcon.h"
#include "ProgramInfo.h"
#include "platform/Ui.h"
#include "widgets/WindowRegistry.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSysInfo>
#include <QTimer>
#include <QVBoxLayout>

namespace vantor::app {

namespace {

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    result->setObjectName(name);
    return result;
}

QString platformText()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("for Windows");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("for macOS");
#elif defined(Q_OS_LINUX)
    return QStringLiteral("for Linux");
#else
    return QStringLiteral("for ") + QSysInfo::kernelType();
#endif
}

void scaleFont(QLabel* label, double factor, bool bold)
{
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    label->setFont(font);
}

// The product's name large, then the platform, version and company on the right.
QVBoxLayout* splashTexts(QWidget* frame)
{
    auto* product = label(QStringLiteral("lblProductName"), program::ProductName, frame);
    scaleFont(product, 2.2, true);
    auto* platformLabel = label(QStringLiteral("lblPlatform"), platformText(), frame);
    scaleFont(platformLabel, 1.4, false);
    auto* version = label(QStringLiteral("lblVersion"), program::versionText(), frame);
    auto* company = label(QStringLiteral("lblCompany"), QString(), frame);
    version->setAlignment(Qt::AlignRight);
    platformLabel->setAlignment(Qt::AlignRight);
    company->setAlignment(Qt::AlignRight);

    auto* texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(platformLabel);
    texts->addStretch(1);
    texts->addWidget(version);
    texts->addWidget(company);
    return texts;
}

} // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(program::Title);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);
    frame->setAutoFillBackground(true);
    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("imgLogo"));
    picture->setPixmap(programPixmap(96));
    picture->setAlignment(Qt::AlignTop);

    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(24, 24, 24, 24);
    row->setSpacing(24);
    row->addWidget(picture);
    row->addLayout(splashTexts(frame), 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    resize(sizeHint().expandedTo(QSize(480, 220)));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(platform::ui().splashDelay());
    connect(m_timer, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    m_timer->start();
}

void frmSplash::Timer1_Timer()
{
    m_timer->stop();
    widgets::windows().show(QStringLiteral("frmMain"));
    close();
}

} // namespace vantor::app
