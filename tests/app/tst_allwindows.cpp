// The program's registrations as a whole: every command of the main window's
// menus opens its window on the demo database.

#include "ShellTestSupport.h"

#include "ProgramWindows.h"
#include "store/Database.h"

#include <QAction>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>

using namespace Qt::Literals::StringLiterals;
using vantor::widgets::windows;

class tst_AllWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { QVERIFY(shelltest::closeEverything()); }
    void everyMenuCommandOpensItsWindow();

private:
    vantor::platform::RecordingUi m_ui;
};

void tst_AllWindows::initTestCase()
{
    shelltest::isolateSettings();
    vantor::platform::setUi(&m_ui);
    vantor::registerAllWindows();
    QFile::remove(u"vantor.mdb"_s);
    vantor::store::createDemoDatabase(u"vantor.mdb"_s);
}

void tst_AllWindows::everyMenuCommandOpensItsWindow()
{
    auto* main = qobject_cast<QMainWindow*>(windows().show(u"frmMain"_s));
    QVERIFY(main);
    QStringList opened;
    for (QAction* menu : main->menuBar()->actions()) {
        for (QAction* command : menu->menu()->actions()) {
            const QString window = command->data().toString();
            if (window.isEmpty())
                continue; // a separator, or a routine such as Compact Database
            QVERIFY2(windows().isRegistered(window), qPrintable(window));
            command->trigger();
            QVERIFY2(windows().isLoaded(window), qPrintable(command->objectName()));
            QVERIFY2(m_ui.messages().isEmpty(), qPrintable(m_ui.messages().value(0).text));
            QVERIFY(windows().closeAll(main));
            opened << window;
        }
    }
    // Every menu has window commands: a menu that lost its definitions would
    // pass the loop above unnoticed.
    QCOMPARE(opened.size(), 18);
}

QTEST_MAIN(tst_AllWindows)
#include "tst_allwindows.moc"
