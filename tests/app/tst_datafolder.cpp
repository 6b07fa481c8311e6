#include "ShellTestSupport.h"

#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/DatabaseCheck.h"
#include "app/frmMain.h"
#include "calc/CalcWindows.h"
#include "convert/ConverterWindows.h"
#include "entry/EntryWindows.h"
#include "store/Database.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;
using testsupport::screenshot;
using vantor::app::CommandLine;
using vantor::platform::Answer;
using vantor::platform::Icon;
using vantor::widgets::windows;

class tst_DataFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void choice_data();
    void choice();
    void namedFolderIsMadeAndEntered();
    void userDataFolderIsMadeAndEntered();
    void unusableFolderIsRefused();
    void commandLine_data();
    void commandLine();
    void noDatabaseKeepsTheToolsReachable();

private:
    QString path(const QString& name) const { return QDir(m_root->path()).filePath(name); }
    QAction* command(QWidget* main, const QString& name) const
    {
        return main->findChild<QAction*>(name);
    }

    vantor::platform::RecordingUi m_ui;
    QString m_start;
    std::unique_ptr<QTemporaryDir> m_root;
};

void tst_DataFolder::initTestCase()
{
    shelltest::isolateSettings();
    m_start = QDir::currentPath();
    vantor::platform::setUi(&m_ui);
    vantor::app::registerShellWindows();
    vantor::entry::registerEntryWindows();
    vantor::calc::registerCalculatorWindows(windows());
    vantor::convert::registerConverterWindows();
}

void tst_DataFolder::init()
{
    m_ui.clear();
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    for (const char* folder : {"start", "data", "named"})
        QVERIFY(QDir(m_root->path()).mkdir(QString::fromLatin1(folder)));
}

void tst_DataFolder::cleanup()
{
    QVERIFY(shelltest::closeEverything());
    QVERIFY(QDir::setCurrent(m_start));
}

void tst_DataFolder::choice_data()
{
    QTest::addColumn<QString>("inStart"); // what the start folder holds under vantor.mdb
    QTest::addColumn<QString>("named");   // --data
    QTest::addColumn<bool>("dataKnown");  // is there a per-user data folder
    QTest::addColumn<QString>("chosen");  // relative to the scratch root

    QTest::newRow("a database in the start folder wins")
        << u"file"_s << QString() << true << u"start"_s;
    QTest::newRow("otherwise the data folder") << QString() << QString() << true << u"data"_s;
    QTest::newRow("--data wins over both") << u"file"_s << u"named"_s << true << u"named"_s;
    QTest::newRow("--data relative to the start folder")
        << QString() << u"../named/sub"_s << true << u"named/sub"_s;
    QTest::newRow("no data folder known") << QString() << QString() << false << u"start"_s;
    // Reported by the start-up check rather than passed over.
    QTest::newRow("a folder under the name") << u"folder"_s << QString() << true << u"start"_s;
}

void tst_DataFolder::choice()
{
    QFETCH(QString, inStart);
    QFETCH(QString, named);
    QFETCH(bool, dataKnown);
    QFETCH(QString, chosen);
    const QString database = path(u"start/vantor.mdb"_s);
    if (inStart == u"file")
        vantor::store::createDatabase(database);
    else if (inStart == u"folder")
        QVERIFY(QDir().mkdir(database));
    if (named == u"named")
        named = path(named); // as an absolute path

    QCOMPARE(vantor::app::chooseDataFolder(path(u"start"_s), named,
                                           dataKnown ? path(u"data"_s) : QString()),
             path(chosen));
}

void tst_DataFolder::namedFolderIsMadeAndEntered()
{
    QVERIFY(QDir::setCurrent(path(u"start"_s)));
    QVERIFY(vantor::app::enterDataFolder(u"../named/new/deeper"_s));
    QCOMPARE(QDir::currentPath(), path(u"named/new/deeper"_s));
    QVERIFY(m_ui.messages().isEmpty());
    // The windows open the file by its plain name there.
    QCOMPARE(vantor::app::databaseFile(), path(u"named/new/deeper/vantor.mdb"_s));
}

void tst_DataFolder::userDataFolderIsMadeAndEntered()
{
    QVERIFY(QDir::setCurrent(path(u"start"_s)));
    qputenv("XDG_DATA_HOME", path(u"home/.local/share"_s).toLocal8Bit());
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(u"Vantor"_s);
    const bool entered = vantor::app::enterDataFolder(QString());
    QCoreApplication::setApplicationName(name);
    qunsetenv("XDG_DATA_HOME");

    QVERIFY(entered);
    QCOMPARE(QDir::currentPath(), path(u"home/.local/share/Vantor"_s));
    QVERIFY(m_ui.messages().isEmpty());
}

void tst_DataFolder::unusableFolderIsRefused()
{
    QVERIFY(QDir::setCurrent(path(u"start"_s)));
    QFile file(path(u"start/notes.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QVERIFY(!vantor::app::enterDataFolder(u"notes.txt"_s));
    QCOMPARE(QDir::currentPath(), path(u"start"_s));
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().icon, Icon::Critical);
    QVERIFY(m_ui.messages().first().text.contains(QDir::toNativeSeparators(file.fileName())));
}

void tst_DataFolder::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("lenient");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("dataFolder");

    using A = CommandLine::Action;
    QTest::newRow("nothing") << QStringList{} << false << A::Run << QString();
    QTest::newRow("--data DIR") << QStringList{u"--data"_s, u"d"_s} << false << A::Run << u"d"_s;
    QTest::newRow("--data=DIR") << QStringList{u"--data=d e"_s} << false << A::Run << u"d e"_s;
    QTest::newRow("--data without a folder")
        << QStringList{u"--data"_s} << false << A::Usage << QString();
    QTest::newRow("--data= without a folder")
        << QStringList{u"--data="_s} << false << A::Usage << QString();
    QTest::newRow("--help") << QStringList{u"--data"_s, u"d"_s, u"--help"_s} << false << A::Help
                            << u"d"_s;
    QTest::newRow("-v") << QStringList{u"-v"_s} << false << A::Version << QString();
    QTest::newRow("unknown option") << QStringList{u"--colour"_s} << false << A::Usage << QString();
    QTest::newRow("a file instead of --data")
        << QStringList{u"vantor.mdb"_s} << false << A::Usage << QString();
    // Before the toolkit takes its options out, they must not count as wrong.
    QTest::newRow("lenient: toolkit options")
        << QStringList{u"-platform"_s, u"offscreen"_s, u"--style=fusion"_s} << true << A::Run
        << QString();
    QTest::newRow("lenient: --version after toolkit options")
        << QStringList{u"-platform"_s, u"offscreen"_s, u"--version"_s} << true << A::Version
        << QString();
    // A toolkit option is one word, never the letters r, e, v, ... as options.
    QTest::newRow("lenient: -reverse is no -v")
        << QStringList{u"-reverse"_s} << true << A::Run << QString();
    QTest::newRow("lenient: toolkit option then --data")
        << QStringList{u"-style"_s, u"fusion"_s, u"--data"_s, u"d"_s} << true << A::Run << u"d"_s;
    QTest::newRow("lenient: --data without a folder")
        << QStringList{u"--data"_s} << true << A::Usage << QString();
    QTest::newRow("lenient: the folder is not an option")
        << QStringList{u"--data"_s, u"--help"_s} << true << A::Run << u"--help"_s;
}

void tst_DataFolder::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, lenient);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, dataFolder);

    const CommandLine parsed = CommandLine::parse(arguments, lenient);
    QCOMPARE(parsed.action, action);
    QCOMPARE(parsed.dataFolder, dataFolder);
    QCOMPARE(parsed.problem.isEmpty(), action != CommandLine::Action::Usage);
}

void tst_DataFolder::noDatabaseKeepsTheToolsReachable()
{
    QVERIFY(QDir::setCurrent(path(u"data"_s)));
    const QString database = path(u"data/vantor.mdb"_s);

    // No to creating: the program goes on, and nothing is written.
    m_ui.pushAnswer(Answer::No);
    QVERIFY(vantor::app::ensureDatabase());
    QVERIFY(!QFile::exists(database));
    QCOMPARE(m_ui.messages().size(), 1);
    QVERIFY(m_ui.messages().first().text.contains(u"starts without a database"_s));

    QWidget* main = windows().show(u"frmMain"_s);
    QVERIFY(main);
    screenshot(main, u"frmMain-without-database"_s);

    // The tools that need no database open without a word.
    m_ui.clear();
    command(main, u"mnuUtilitiesMedCalc"_s)->trigger();
    QVERIFY(windows().isLoaded(u"frmMedCalc"_s));
    command(main, u"mnuHelpAbout"_s)->trigger();
    auto* about = windows().find(u"frmAbout"_s);
    QVERIFY(about);
    QCOMPARE(about->findChild<QLabel*>(u"lblDatabase"_s)->text(),
             u"Database: none yet (it would be %1)"_s.arg(QDir::toNativeSeparators(database)));
    QVERIFY(m_ui.messages().isEmpty());
    // The converter opens and says, once, that it has no items.
    command(main, u"mnuUtilitiesConvert"_s)->trigger();
    QVERIFY(windows().isLoaded(u"frmAgents"_s));
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().icon, Icon::Information);
    QVERIFY(m_ui.messages().first().text.startsWith(u"There are no conversion items"_s));
    screenshot(windows().find(u"frmAgents"_s), u"frmAgents-without-database"_s);
    m_ui.clear();

    // A data window says there is none and how to make one; No leaves it closed.
    m_ui.pushAnswer(Answer::No);
    command(main, u"mnuDataBrowse"_s)->trigger();
    QVERIFY(!windows().isLoaded(u"frmBrowse"_s));
    QCOMPARE(m_ui.messages().size(), 1);
    const auto& told = m_ui.messages().first();
    QCOMPARE(told.icon, Icon::Question);
    for (const QString& part : {u"There is no results database"_s, u"vantor-db create"_s,
                                QDir::toNativeSeparators(path(u"data"_s))})
        QVERIFY2(told.text.contains(part), qPrintable(part));
    QVERIFY(!QFile::exists(database));
    if (!qEnvironmentVariableIsEmpty("VANTOR_SCREENSHOT_DIR")) {
        QMessageBox box(QMessageBox::Question, u"Vantor"_s, told.text,
                        QMessageBox::Yes | QMessageBox::No, main);
        box.show();
        screenshot(&box, u"no-database-message"_s);
    }

    // Yes makes an empty database there, and the window opens on it.
    m_ui.clear();
    m_ui.pushAnswer(Answer::Yes);
    m_ui.pushAnswer(Answer::No);
    command(main, u"mnuListsTests"_s)->trigger();
    QVERIFY(windows().isLoaded(u"frmTests"_s));
    QVERIFY(vantor::store::checkDatabase(database).isEmpty());

    // From now on the data windows open at once, and the About box names the file.
    m_ui.clear();
    command(main, u"mnuDataBrowse"_s)->trigger();
    QVERIFY(windows().isLoaded(u"frmBrowse"_s));
    windows().find(u"frmAbout"_s)->close();
    QTRY_VERIFY(!windows().isLoaded(u"frmAbout"_s));
    command(main, u"mnuHelpAbout"_s)->trigger();
    QCOMPARE(windows().find(u"frmAbout"_s)->findChild<QLabel*>(u"lblDatabase"_s)->text(),
             u"Database: "_s + QDir::toNativeSeparators(database));
    screenshot(windows().find(u"frmAbout"_s), u"frmAbout-database"_s);
    QVERIFY(m_ui.messages().isEmpty());
}

QTEST_MAIN(tst_DataFolder)
#include "tst_datafolder.moc"
