#include "ShellTestSupport.h"

#include "app/DatabaseCheck.h"
#include "app/frmHelp.h"
#include "app/frmMain.h"
#include "engine/Sqlite.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>

#include <sqlite3.h>

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
    void olderFileGainsReferenceRanges();
    void refusesFilesItCannotWrite_data();
    void refusesFilesItCannotWrite();
    void helpContents();
    void helpIsNeverReadFromTheFolder();

private:
    vantor::platform::RecordingUi m_ui;
    const QString m_database = QDir::current().absoluteFilePath(u"vantor.mdb"_s);
    const QString m_helpFile = QDir::current().absoluteFilePath(u"vantorinfo.rcc"_s);
};

void tst_Startup::initTestCase()
{
    shelltest::isolateSettings();
    vantor::platform::setUi(&m_ui);
    vantor::app::registerShellWindows();
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
    vantor::app::Main();
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
    vantor::engine::SqliteDatabase db(m_database, vantor::engine::SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(u"SELECT count(*) > 0 FROM Results"_s).toInt(), results);

    // With the database there, the check passes silently.
    m_ui.clear();
    QVERIFY(vantor::app::ensureDatabase());
    QVERIFY(m_ui.messages().isEmpty());
}

// A file from before reference ranges opens without a word and has them
// afterwards, its results as they were.
void tst_Startup::olderFileGainsReferenceRanges()
{
    vantor::store::createDemoDatabase(m_database);
    vantor::engine::SqliteDatabase(m_database, vantor::engine::SqliteDatabase::Mode::ReadWrite)
        .exec(u"ALTER TABLE Tests DROP COLUMN High; ALTER TABLE Tests DROP COLUMN Low;"
              u"PRAGMA user_version = 1"_s);
    const auto values = [this] {
        vantor::engine::SqliteDatabase db(m_database,
                                          vantor::engine::SqliteDatabase::Mode::ReadOnly);
        return db.scalar(u"SELECT count(*) || '/' || total(Result) FROM Details"_s).toString();
    };
    const QString before = values();
    QVERIFY(vantor::app::ensureDatabase());
    QVERIFY(m_ui.messages().isEmpty());
    QCOMPARE(values(), before);
    QVERIFY(vantor::store::checkDatabase(m_database).isEmpty());
    vantor::engine::SqliteDatabase db(m_database, vantor::engine::SqliteDatabase::Mode::ReadOnly);
    QCOMPARE(db.scalar(u"PRAGMA user_version"_s).toInt(), vantor::store::schema::Version);
    QCOMPARE(db.scalar(u"SELECT count(*) FROM Tests WHERE Low IS NULL AND High IS NULL"_s).toInt(),
             26);
}

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void sqlite(const QString& path, const QString& sql)
{
    vantor::engine::SqliteDatabase(path, vantor::engine::SqliteDatabase::Mode::Create).exec(sql);
}

} // namespace

// A file that is no results database this program can write is named and
// refused before any window opens, and left exactly as it was.
void tst_Startup::refusesFilesItCannotWrite_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("inText");
    QTest::newRow("newer version") << u"newer"_s << u"made by a newer version of Vantor"_s;
    QTest::newRow("another program's") << u"foreign"_s << u"another program's database"_s;
    QTest::newRow("another schema") << u"schema"_s << u"another program's database"_s;
    QTest::newRow("zero bytes") << u"zero"_s << u"is empty (0 bytes)"_s;
    QTest::newRow("text file") << u"text"_s << u"no SQLite database at all"_s;
    QTest::newRow("missing table") << u"incomplete"_s << u"lacks the table \"Results\""_s;
    QTest::newRow("dangling link") << u"link"_s << u"which does not exist"_s;
    QTest::newRow("locked by another program") << u"locked"_s << u"is in use"_s;
}

void tst_Startup::refusesFilesItCannotWrite()
{
    QFETCH(QString, kind);
    QFETCH(QString, inText);
    QFile::remove(m_database);
    const QString other = QDir::current().absoluteFilePath(u"elsewhere.mdb"_s);
    if (kind == u"newer" || kind == u"incomplete" || kind == u"locked")
        vantor::store::createDatabase(m_database);
    if (kind == u"newer")
        sqlite(m_database, u"PRAGMA user_version = 99"_s);
    else if (kind == u"incomplete")
        sqlite(m_database, u"DROP TABLE Details; DROP TABLE Results"_s);
    else if (kind == u"foreign")
        sqlite(m_database, u"CREATE TABLE Results (x); PRAGMA application_id = 1234"_s);
    else if (kind == u"schema")
        sqlite(m_database, u"CREATE TABLE Invoices (No INTEGER, Amount REAL)"_s);
    else if (kind == u"zero")
        QVERIFY(QFile(m_database).open(QIODevice::WriteOnly));
    else if (kind == u"text") {
        QFile text(m_database);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray("Date\tPeriod\tResult\r\n").repeated(100));
    } else if (kind == u"link") {
        QFile::remove(other);
        QVERIFY(QFile::link(other, m_database));
    }
    sqlite3* holder = nullptr;
    if (kind == u"locked") {
        sqlite3_open(m_database.toUtf8().constData(), &holder);
        QCOMPARE(sqlite3_exec(holder, "BEGIN EXCLUSIVE; DELETE FROM tblSelect", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
    }
    const QByteArray before = contentsOf(m_database);

    QVERIFY(!vantor::app::ensureDatabase());
    sqlite3_close(holder);
    QCOMPARE(m_ui.messages().size(), 1);
    const auto& message = m_ui.messages().first();
    QCOMPARE(message.icon, Icon::Critical);
    QVERIFY2(message.text.contains(inText), qPrintable(message.text));
    QVERIFY2(message.text.contains(QDir::toNativeSeparators(m_database)), qPrintable(message.text));
    QCOMPARE(contentsOf(m_database), before);
    QVERIFY(!QFile::exists(other));
    QFile::remove(m_database);
}

void tst_Startup::helpContents()
{
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

// A resource file beside the database, damaged or not, is never read; links
// lead only to the program's own pages.
void tst_Startup::helpIsNeverReadFromTheFolder()
{
    QFile damaged(m_helpFile);
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    // A resource header whose offsets point far outside the file.
    damaged.write(QByteArray("qres\x00\x00\x00\x03\x7f\xff\xff\xff\x7f\xff\xff\xff"
                             "\x7f\xff\xff\xff",
                             20) +
                  QByteArray(64, '\xff'));
    damaged.close();
    QVERIFY(QDir::setCurrent(QDir::currentPath())); // as started from here

    auto* main = qobject_cast<vantor::app::frmMain*>(windows().show(u"frmMain"_s));
    main->menuBar()->findChild<QAction*>(u"mnuHelpContents"_s)->trigger();
    auto* help = qobject_cast<vantor::app::frmHelp*>(windows().find(u"frmHelp"_s));
    QVERIFY(help);
    QVERIFY(m_ui.messages().isEmpty());
    auto* browser = help->findChild<QTextBrowser*>(u"brwHelp"_s);
    QVERIFY(browser->toPlainText().contains(u"Back Up Database"_s) ||
            browser->toPlainText().contains(u"Utilities"_s));
    help->resize(640, 560);
    QVERIFY(help->grab().save(u"frmHelp.png"_s));

    // A click on a link that leads out of the help changes nothing.
    const QUrl home = help->source();
    for (const char* link : {"file:///etc/passwd", "https://example.com/", "../../etc/passwd",
                             "qrc:/qt-project.org/qmime/freedesktop.org.xml", "nothere.htm"}) {
        emit browser->anchorClicked(QUrl(QString::fromLatin1(link)));
        QCOMPARE(help->source(), home);
    }
    emit browser->anchorClicked(QUrl(u"utilities.htm#backup"_s));
    QCOMPARE(help->source().fileName(), u"utilities.htm"_s);
    QVERIFY(browser->toPlainText().contains(u"Back Up Database"_s));
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
