#include "frmHelp.h"

#include "ProgramIcon.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vantor::app {

namespace {

const QString MapRoot = QStringLiteral("/vantorinfo");

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* result = new QPushButton(text, parent);
    result->setObjectName(name);
    result->setAutoDefault(false);
    return result;
}

} // namespace

QUrl frmHelp::ownPage(const QUrl& from, const QUrl& link)
{
    const QUrl page = from.resolved(link);
    if (page.scheme() != QLatin1String("qrc") || !page.host().isEmpty())
        return {};
    const QString path = QDir::cleanPath(page.path());
    if (!path.startsWith(MapRoot + QLatin1Char('/')) || !QFileInfo::exists(QLatin1Char(':') + path))
        return {};
    QUrl result = page;
    result.setPath(path);
    return result;
}

frmHelp* frmHelp::load(const QString& topic)
{
    QUrl root;
    root.setScheme(QStringLiteral("qrc"));
    root.setPath(MapRoot + QLatin1Char('/'));
    const QUrl url = ownPage(root, QUrl(topic));
    if (url.isEmpty()) {
        platform::showMessage(QStringLiteral("The help has no topic \"%1\".").arg(topic),
                              platform::Icon::Exclamation);
        return nullptr;
    }
    return new frmHelp(url);
}

frmHelp::frmHelp(const QUrl& topic) : m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Vantor Help"));
    setWindowIcon(programIcon());

    m_browser->setObjectName(QStringLiteral("brwHelp"));
    // Links are followed here, and only to the help's own pages.
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &frmHelp::follow);

    auto* back = button(QStringLiteral("cmdBack"), QStringLiteral("&Back"), this);
    auto* forward = button(QStringLiteral("cmdForward"), QStringLiteral("&Forward"), this);
    auto* home = button(QStringLiteral("cmdHome"), QStringLiteral("&Contents"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);

    m_browser->setSource(topic);
    resize(640, 560);
}

void frmHelp::follow(const QUrl& link)
{
    const QUrl page = ownPage(m_browser->source(), link);
    if (page.isEmpty()) {
        platform::ui().beep();
        return;
    }
    m_browser->setSource(page);
}

QUrl frmHelp::source() const
{
    return m_browser->source();
}

} // namespace vantor::app
