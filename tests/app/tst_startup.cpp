#include "ShellTestSupport.h"

#include "app/DatabaseCheck.h"
#include "app/frmHelp.h"
#include "app/frmMain.h"
#include "store/Database.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>

#include <sqlite3.h>

using vantor::platform::Answer;
using vantor::platform::Buttons;
using vantor::platform::Icon;
using vantor::platform::RecordingUi;
using vantor::widgets::windows;

namespace {

int resultCount(const QString& path)
{
    sqlite3* db = nullptr;
    int count = -1;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM Results", -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            count = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return count;
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void splashThenMainWindow();
    void missingDatabase_data();
    void missingDatabase();
    void helpContents();
    void helpTopicsAllOpen();
    void missingHelpFileIsReported();

private:
    void installHelpFile();

    RecordingUi m_ui;
    QString m_database;
    QString m_helpFile;
};

void tst_Startup::initTestCase()
{
    shelltest::isolateSettings();
    vantor::platform::setUi(&m_ui);
    vantor::app::Module1::registerShellWindows();
    m_database = QDir::current().absoluteFilePath(QStringLiteral("vantor.mdb"));
    m_helpFile = QDir::current().absoluteFilePath(vantor::app::frmHelp::FileName);
}

void tst_Startup::init()
{
    m_ui.clear();
    QFile::remove(m_database);
    QFile::remove(m_helpFile);
}

void tst_Startup::cleanup()
{
    QVERIFY(shelltest::closeEverything());
}

void tst_Startup::installHelpFile()
{
    QVERIFY(QFile::copy(QStringLiteral(VANTOR_HELP_FILE), m_helpFile));
}

void tst_Startup::splashThenMainWindow()
{
    m_ui.setSplashDelay(300);
    vantor::app::Module1::Main();
    QWidget* splash = shelltest::topLevel(QStringLiteral("frmSplash"));
    QVERIFY(splash);
    auto text = [splash](const char* name) {
        return splash->findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    QCOMPARE(text("lblProductName"), QStringLiteral("Quellmark (Vantor)"));
    QCOMPARE(text("lblVersion"), QStringLiteral("Version 1.0.0"));
    QCOMPARE(text("lblPlatform"), QStringLiteral("for Linux"));
    QCOMPARE(text("lblCompany"), QString());
    QCOMPARE(splash->findChild<QTimer*>(QStringLiteral("Timer1"))->interval(), 300);
    shelltest::screenshot(splash, QStringLiteral("frmSplash"));
    // The main window waits for the splash's time.
    QVERIFY(!windows().isLoaded(QStringLiteral("frmMain")));

    QPointer<QWidget> watched = splash;
    QTRY_VERIFY(watched.isNull());
    QWidget* main = windows().find(QStringLiteral("frmMain"));
    QVERIFY(main);
    QVERIFY(main->isVisible());
    QCOMPARE(main->windowTitle(), QStringLiteral("Quellmark"));
    QCOMPARE(shelltest::visibleTopLevels(QStringLiteral("frmMain")), 1);
}

void tst_Startup::missingDatabase_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<int>("results"); // rows in Results afterwards; -1: no database

    QTest::newRow("no consent, nothing created") << QList<Answer>{Answer::No} << false << -1;
    QTest::newRow("empty database") << QList<Answer>{Answer::Yes, Answer::No} << true << 0;
    QTest::newRow("demo database") << QList<Answer>{Answer::Yes, Answer::Yes} << true << 1;
}

void tst_Startup::missingDatabase()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, goesOn);
    QFETCH(int, results);
    for (Answer answer : answers)
        m_ui.pushAnswer(answer);

    QCOMPARE(vantor::app::ensureDatabase(), goesOn);

    QCOMPARE(m_ui.messages().size(), answers.size());
    const RecordingUi::Message missing = m_ui.messages().first();
    QCOMPARE(missing.title, QStringLiteral("Vantor"));
    QCOMPARE(missing.icon, Icon::Question);
    QCOMPARE(missing.buttons, Buttons::YesNo);
    // Which file, where, and how to make one.
    QVERIFY(missing.text.contains(QStringLiteral("\"vantor.mdb\"")));
    QVERIFY(missing.text.contains(QDir::toNativeSeparators(QDir::currentPath())));
    QVERIFY(missing.text.contains(QStringLiteral("vantor-db create")));
    QVERIFY(missing.text.contains(QStringLiteral("vantor-db demo")));

    if (results < 0) {
        QVERIFY(!QFile::exists(m_database));
    } else {
        QVERIFY(vantor::store::checkDatabase(m_database).isEmpty());
        if (results == 0)
            QCOMPARE(resultCount(m_database), 0);
        else
            QVERIFY(resultCount(m_database) > 0);
    }
    QVERIFY(!m_ui.isBusy());

    // With the database there, the check passes silently.
    m_ui.clear();
    if (goesOn) {
        QVERIFY(vantor::app::ensureDatabase());
        QVERIFY(m_ui.messages().isEmpty());
    }
}

void tst_Startup::helpContents()
{
    installHelpFile();
    auto* main = qobject_cast<vantor::app::frmMain*>(windows().show(QStringLiteral("frmMain")));
    QAction* contents = main->menuBar()->findChild<QAction*>(QStringLiteral("mnuHelpContents"));
    contents->trigger();
    contents->trigger();
    QCOMPARE(shelltest::visibleTopLevels(QStringLiteral("frmHelp")), 1);
    auto* help = qobject_cast<vantor::app::frmHelp*>(windows().find(QStringLiteral("frmHelp")));
    QVERIFY(help);
    QVERIFY(m_ui.messages().isEmpty());
    QCOMPARE(help->source().fileName(), QStringLiteral("info.htm"));
    const QString text = help->findChild<QTextBrowser*>(QStringLiteral("brwHelp"))->toPlainText();
    QVERIFY(text.contains(QStringLiteral("Quellmark (Vantor)")));
    QVERIFY(text.contains(QStringLiteral("vantor.mdb")));
    help->resize(640, 520);
    QTest::qWait(20);
    shelltest::screenshot(help, QStringLiteral("frmHelp"));
}

void tst_Startup::helpTopicsAllOpen()
{
    installHelpFile();
    auto* help = qobject_cast<vantor::app::frmHelp*>(windows().show(QStringLiteral("frmHelp")));
    QVERIFY(help);
    auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("brwHelp"));

    // Follow every link of every page once: none may lead nowhere.
    QStringList pending{QStringLiteral("info.htm")};
    QStringList seen;
    const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+)"));
    while (!pending.isEmpty()) {
        const QString page = pending.takeFirst();
        if (seen.contains(page))
            continue;
        seen.append(page);
        QFile file(QStringLiteral(":/vantorinfo/") + page);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
        const QString html = QString::fromUtf8(file.readAll());
        if (page.endsWith(u".htm")) {
            browser->setSource(QUrl(QStringLiteral("qrc:/vantorinfo/") + page));
            QVERIFY2(!browser->toPlainText().trimmed().isEmpty(), qPrintable(page));
        }
        for (auto match = link.globalMatch(html); match.hasNext();)
            pending.append(match.next().captured(1));
    }
    QVERIFY(seen.size() >= 6);
}

void tst_Startup::missingHelpFileIsReported()
{
    QVERIFY(!windows().show(QStringLiteral("frmHelp")));
    QCOMPARE(m_ui.messages().size(), 1);
    const RecordingUi::Message message = m_ui.messages().first();
    QCOMPARE(message.icon, Icon::Exclamation);
    QVERIFY(message.text.contains(QStringLiteral("\"vantorinfo.rcc\"")));
    QVERIFY(message.text.contains(QDir::toNativeSeparators(QDir::currentPath())));
    QVERIFY(!windows().isLoaded(QStringLiteral("frmHelp")));
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
