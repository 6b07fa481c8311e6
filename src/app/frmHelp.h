#pragma once

#include <QStringList>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace vantor::app {

// The program's help: topics in the help file "vantorinfo.rcc" (a compiled
// Qt resource file of HTML pages), shown in a browser window of its own.
class frmHelp : public QWidget
{
    Q_OBJECT

public:
    static inline const QString FileName = QStringLiteral("vantorinfo.rcc");
    static inline const QString ContentsTopic = QStringLiteral("info.htm");

    // Opens the help file at `topic`. When the file or the topic is missing,
    // tells the user and returns nullptr.
    static frmHelp* load(const QString& topic = ContentsTopic,
                         const QStringList& folders = searchFolders());
    // The working folder first, then the program's own folder.
    static QStringList searchFolders();

    ~frmHelp() override;

    QUrl source() const;

private:
    frmHelp(const QString& helpFile, const QUrl& topic);

    QString m_helpFile;
    QTextBrowser* m_browser;
};

} // namespace vantor::app
