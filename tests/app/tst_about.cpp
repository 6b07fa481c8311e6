#include "ShellTestSupport.h"

#include "app/SystemInfoLauncher.h"
#include "app/frmAbout.h"

#include <QFile>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;
using namespace vantor::app;

namespace {

QString folder(const QString& name)
{
    return QDir::current().absoluteFilePath(name);
}

using Settings = QMap<QString, QString>; // "key|name" to text

} // namespace

class tst_About : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { QVERIFY(shelltest::closeEverything()); }

    void okClosesTheBox();
    void systemInfo_data();
    void systemInfo();

private:
    vantor::platform::RecordingUi m_ui;
};

void tst_About::initTestCase()
{
    shelltest::isolateSettings();
    vantor::platform::setUi(&m_ui);
    registerShellWindows();
    QDir::current().mkpath(u"msinfo"_s);
    QDir::current().mkpath(u"nomsinfo"_s);
    QFile program(folder(u"msinfo/MSINFO32.EXE"_s));
    QVERIFY(program.open(QIODevice::WriteOnly));
}

void tst_About::okClosesTheBox()
{
    QPointer<QWidget> about = vantor::widgets::windows().show(u"frmAbout"_s);
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), u"About Vantor"_s);
    QVERIFY(!about->findChild<QLabel*>(u"picIcon"_s)->pixmap().isNull());
    QCOMPARE(about->minimumSize(), about->maximumSize()); // a fixed box

    QTest::mouseClick(about->findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QVERIFY(!vantor::widgets::windows().isLoaded(u"frmAbout"_s));
}

// Where the machine's settings say the program is, then the desktop's programs.
void tst_About::systemInfo_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QString>("desktop"); // a fallback program looked up on the PATH
    QTest::addColumn<bool>("starts");     // what starting the program answers
    QTest::addColumn<QString>("started"); // empty: the unavailable message

    const Settings tryOne{
        {u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH"_s, u"/opt/tools/msinfo32"_s}};
    const auto tryTwo = [](const char* in) {
        return Settings{{u"SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO"_s,
                         folder(QString::fromLatin1(in))}};
    };
    const QString first = u"/opt/tools/msinfo32"_s;
    const QString second = QDir::toNativeSeparators(folder(u"msinfo/MSINFO32.EXE"_s));

    QTest::newRow("neither value") << Settings() << QString() << true << QString();
    QTest::newRow("first try") << tryOne << QString() << true << first;
    QTest::newRow("value of a parent key")
        << Settings{{u"SOFTWARE\\Microsoft\\Shared Tools|PATH"_s, u"/opt/x"_s}} << QString() << true
        << QString();
    Settings both = tryTwo("msinfo");
    both.insert(tryOne);
    QTest::newRow("first try wins") << both << QString() << true << first;
    QTest::newRow("second try") << tryTwo("msinfo") << QString() << true << second;
    QTest::newRow("second try, folder without program")
        << tryTwo("nomsinfo") << QString() << true << QString();
    QTest::newRow("program does not start") << tryOne << QString() << false << QString();
    QTest::newRow("desktop program")
        << Settings() << u"sh"_s << true << QStandardPaths::findExecutable(u"sh"_s);
    QTest::newRow("desktop program not installed")
        << tryTwo("nomsinfo") << u"no-such-system-info"_s << true << QString();
}

void tst_About::systemInfo()
{
    QFETCH(Settings, settings);
    QFETCH(QString, desktop);
    QFETCH(bool, starts);
    QFETCH(QString, started);
    m_ui.clear();
    m_ui.setStartProgramResult(starts);
    QList<SystemInfoLauncher::Command> programs;
    if (!desktop.isEmpty())
        programs.append({desktop});

    const auto machine = [settings](const QString& key, const QString& name) {
        return settings.value(key + u'|' + name);
    };
    auto* about = new frmAbout(SystemInfoLauncher(machine, programs));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->show();
    QTest::mouseClick(about->findChild<QPushButton*>(u"cmdSysInfo"_s), Qt::LeftButton);

    if (started.isEmpty()) {
        QCOMPARE(m_ui.messages().size(), 1);
        const auto& message = m_ui.messages().first();
        QCOMPARE(message.text, u"System Information Is Unavailable At This Time"_s);
        QCOMPARE(message.title, u"Vantor"_s);
        QCOMPARE(message.buttons, vantor::platform::Buttons::Ok);
    } else {
        QVERIFY(m_ui.messages().isEmpty());
        QCOMPARE(m_ui.startedPrograms(), QStringList{started});
    }
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
