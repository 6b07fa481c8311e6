#pragma once

#include <QStringList>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace vantor::app {

// The program's help: HTML pages compiled into the program (resources under
// ":/vantorinfo"), shown in a browser window of its own. Nothing is read from
// the working folder, and links lead only to the program's own pages.
class frmHelp : public QWidget
{
    Q_OBJECT

public:
    static inline const QString ContentsTopic = QStringLiteral("info.htm");

    // Opens the help at `topic`. When there is no such topic, tells the user
    // and returns nullptr.
    static frmHelp* load(const QString& topic = ContentsTopic);
    // The help's own page for a link, resolved against `from`; empty when the
    // link leads anywhere else (another scheme, a file, a missing page).
    static QUrl ownPage(const QUrl& from, const QUrl& link);

    QUrl source() const;

private:
    explicit frmHelp(const QUrl& topic);
    void follow(const QUrl& link);

    QTextBrowser* m_browser;
};

} // namespace vantor::app
