#include "ShellTestSupport.h"

#include "app/DatabaseCheck.h"
#include "app/frmHelp.h"
#include "app/frmMain.h"
#include "store/Database.h"
#include "store/SqliteDatabase.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using vantor::platform::Answer;
using vantor::platform::Icon;
using vantor::widgets::windows;

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { QVERIFY(shelltest::closeEverything()); }

    void splashThenMainWindow();
    void missingDatabase_data();
    void missingDatabase();
    void helpContents();
    void missingHelpFileIsReported();

private:
    vantor::platform::RecordingUi m_ui;
    const QString m_database = QDir::current().absoluteFilePath(u"vantor.mdb"_s);
    const QString m_helpFile = QDir::current().absoluteFilePath(vantor::app::frmHelp::FileName);
};

void tst_Startup::initTestCase()
{
    shelltest::isolateSettings();
    vantor::platform::setUi(&m_ui);
    vantor::app::Module1::registerShellWindows();
}

void tst_Startup::init()
{
    m_ui.clear();
    QFile::remove(m_database);
    QFile::remove(m_helpFile);
}

void tst_Startup::splashThenMainWindow()
{
    m_ui.setSplashDelay(300);
    vantor::app::Module1::Main();
    QPointer<QWidget> splash;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == u"frmSplash"_s && top->isVisible())
            splash = top;
    }
    QVERIFY(splash);
    QCOMPARE(splash->findChild<QTimer*>(u"Timer1"_s)->interval(), 300);
    // The main window waits for the splash's time.
    QVERIFY(!windows().isLoaded(u"frmMain"_s));

    QTRY_VERIFY(splash.isNull());
    QWidget* main = windows().find(u"frmMain"_s);
    QVERIFY(main);
    QVERIFY(main->isVisible());
    QCOMPARE(shelltest::visibleTopLevels(u"frmMain"_s), 1);
}

void tst_Startup::missingDatabase_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<int>("results"); // rows in Results afterwards; -1: no database

    QTest::newRow("no consent, nothing created") << QList<Answer>{Answer::No} << -1;
    QTest::newRow("empty database") << QList<Answer>{Answer::Yes, Answer::No} << 0;
    QTest::newRow("demo database") << QList<Answer>{Answer::Yes, Answer::Yes} << 1;
}

void tst_Startup::missingDatabase()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(int, results);
    for (Answer answer : answers)
        m_ui.pushAnswer(answer);

    // A no is no failure: the program goes on without a database.
    QVERIFY(vantor::app::ensureDatabase());
    QCOMPARE(m_ui.messages().size(), answers.size());
    const auto& missing = m_ui.messages().first();
    QCOMPARE(missing.icon, Icon::Question);
    QCOMPARE(missing.buttons, vantor::platform::Buttons::YesNo);
    // Which file, where, and how to make one.
    for (const QString& part : {u"\"vantor.mdb\""_s, QDir::toNativeSeparators(QDir::currentPath()),
                                u"vantor-db create"_s, u"vantor-db demo"_s})
        QVERIFY2(missing.text.contains(part), qPrintable(part));
    QVERIFY(!m_ui.isBusy());
    if (results < 0) {
        QVERIFY(!QFile::exists(m_database));
        return;
    }
    QVERIFY(vantor::store::checkDatabase(m_database).isEmpty());
    vantor::store::SqliteDatabase db(m_database, vantor::store::SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(u"SELECT count(*) > 0 FROM Results"_s).toInt(), results);

    // With the database there, the check passes silently.
    m_ui.clear();
    QVERIFY(vantor::app::ensureDatabase());
    QVERIFY(m_ui.messages().isEmpty());
}

void tst_Startup::helpContents()
{
    QVERIFY(QFile::copy(QStringLiteral(VANTOR_HELP_FILE), m_helpFile));
    auto* main = qobject_cast<vantor::app::frmMain*>(windows().show(u"frmMain"_s));
    QAction* contents = main->menuBar()->findChild<QAction*>(u"mnuHelpContents"_s);
    contents->trigger();
    contents->trigger();
    QCOMPARE(shelltest::visibleTopLevels(u"frmHelp"_s), 1);
    auto* help = qobject_cast<vantor::app::frmHelp*>(windows().find(u"frmHelp"_s));
    QVERIFY(help);
    QVERIFY(m_ui.messages().isEmpty());
    QCOMPARE(help->source().fileName(), u"info.htm"_s);
    auto* browser = help->findChild<QTextBrowser*>(u"brwHelp"_s);
    QVERIFY(browser->toPlainText().contains(u"vantor.mdb"_s));

    // Follow every link of every page once: none may lead nowhere.
    QStringList pending{u"info.htm"_s};
    QStringList seen;
    const QRegularExpression link(u"href=\"([^\"#:]+)"_s);
    while (!pending.isEmpty()) {
        const QString page = pending.takeFirst();
        if (seen.contains(page))
            continue;
        seen.append(page);
        QFile file(u":/vantorinfo/"_s + page);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
        if (page.endsWith(u".htm")) {
            browser->setSource(QUrl(u"qrc:/vantorinfo/"_s + page));
            QVERIFY2(!browser->toPlainText().trimmed().isEmpty(), qPrintable(page));
        }
        for (auto match = link.globalMatch(QString::fromUtf8(file.readAll())); match.hasNext();)
            pending.append(match.next().captured(1));
    }
    QVERIFY(seen.size() >= 6);
}

void tst_Startup::missingHelpFileIsReported()
{
    QVERIFY(!windows().show(u"frmHelp"_s));
    QCOMPARE(m_ui.messages().size(), 1);
    const auto& message = m_ui.messages().first();
    QCOMPARE(message.icon, Icon::Exclamation);
    QVERIFY(message.text.contains(u"\"vantorinfo.rcc\""_s));
    QVERIFY(message.text.contains(QDir::toNativeSeparators(QDir::currentPath())));
    QVERIFY(!windows().isLoaded(u"frmHelp"_s));
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
