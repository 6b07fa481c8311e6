#include "frmHelp.h"

#include "ProgramIcon.h"
#include "platform/Ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QResource>
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

QStringList frmHelp::searchFolders()
{
    return {QDir::currentPath(), QCoreApplication::applicationDirPath()};
}

frmHelp* frmHelp::load(const QString& topic, const QStringList& folders)
{
    QString helpFile;
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder), FileName);
        if (candidate.isFile()) {
            helpFile = candidate.absoluteFilePath();
            break;
        }
    }
    if (helpFile.isEmpty()) {
        QStringList shown;
        for (const QString& folder : folders)
            shown.append(QDir::toNativeSeparators(folder));
        shown.removeDuplicates();
        platform::showMessage(QStringLiteral("Cannot open the help file \"%1\": it is in none of "
                                             "these folders:\n%2")
                                  .arg(FileName, shown.join(QLatin1Char('\n'))),
                              platform::Icon::Exclamation);
        return nullptr;
    }
    if (!QResource::registerResource(helpFile, MapRoot)) {
        platform::showMessage(QStringLiteral("The help file \"%1\" cannot be read.").arg(helpFile),
                              platform::Icon::Exclamation);
        return nullptr;
    }
    const QString topicPath = MapRoot + QLatin1Char('/') + topic;
    if (!QFileInfo::exists(QLatin1Char(':') + topicPath)) {
        QResource::unregisterResource(helpFile, MapRoot);
        platform::showMessage(
            QStringLiteral("The help file \"%1\" has no topic \"%2\".").arg(helpFile, topic),
            platform::Icon::Exclamation);
        return nullptr;
    }
    QUrl url;
    url.setScheme(QStringLiteral("qrc"));
    url.setPath(topicPath);
    return new frmHelp(helpFile, url);
}

frmHelp::frmHelp(const QString& helpFile, const QUrl& topic)
    : m_helpFile(helpFile), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Vantor Help"));
    setWindowIcon(programIcon());

    m_browser->setObjectName(QStringLiteral("brwHelp"));
    m_browser->setOpenExternalLinks(true);

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

frmHelp::~frmHelp()
{
    // The pages must not outlive the browser that shows them.
    delete m_browser;
    QResource::unregisterResource(m_helpFile, MapRoot);
}

QUrl frmHelp::source() const
{
    return m_browser->source();
}

} // namespace vantor::app
