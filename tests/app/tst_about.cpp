#include "ShellTestSupport.h"

#include "app/MachineKeys.h"
#include "app/RegFileMachineKeys.h"
#include "app/SystemInfoLauncher.h"
#include "app/frmAbout.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

using namespace vantor::app;
using vantor::platform::Buttons;
using vantor::platform::Icon;
using vantor::platform::RecordingUi;

namespace {

class FixedKeys : public MachineKeys
{
public:
    explicit FixedKeys(std::optional<KeyValue> value) : m_value(std::move(value)) {}
    std::optional<KeyValue> query(const QString&, const QString&) const override { return m_value; }

private:
    std::optional<KeyValue> m_value;
};

QByteArray utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

} // namespace

class tst_About : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void aboutBoxTexts();
    void keyValueAsText_data();
    void keyValueAsText();
    void machineSettingsFile_data();
    void machineSettingsFile();
    void systemInfo_data();
    void systemInfo();
    void screenshot();

private:
    QString folder(const QString& name) const { return QDir::current().absoluteFilePath(name); }

    RecordingUi m_ui;
};

void tst_About::initTestCase()
{
    shelltest::isolateSettings();
    vantor::platform::setUi(&m_ui);
    Module1::registerShellWindows();
    QDir::current().mkpath(QStringLiteral("msinfo"));
    QDir::current().mkpath(QStringLiteral("nomsinfo"));
    writeFile(folder(QStringLiteral("msinfo/MSINFO32.EXE")), "program");
}

void tst_About::init()
{
    m_ui.clear();
    m_ui.setStartProgramResult(true);
}

void tst_About::cleanup()
{
    QVERIFY(shelltest::closeEverything());
}

void tst_About::aboutBoxTexts()
{
    QPointer<QWidget> about = vantor::widgets::windows().show(QStringLiteral("frmAbout"));
    QVERIFY(about);
    auto text = [&about](const char* name) {
        return about->findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    QCOMPARE(about->windowTitle(), QStringLiteral("About Vantor"));
    QCOMPARE(text("lblTitle"), QStringLiteral("Quellmark (Vantor)"));
    QCOMPARE(text("lblVersion"), QStringLiteral("Version 1.0.0"));
    QCOMPARE(text("lblDescription"),
             QStringLiteral("Database program for the storage and retrieval of medical test "
                            "results."));
    QVERIFY(!about->findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
    QCOMPARE(about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->text(),
             QStringLiteral("&System Info..."));
    QCOMPARE(about->minimumSize(), about->maximumSize()); // a fixed box

    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QVERIFY(!vantor::widgets::windows().isLoaded(QStringLiteral("frmAbout")));
}

void tst_About::keyValueAsText_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");

    QTest::newRow("string") << quint32(1)
                            << utf16(QStringLiteral("C:\\Program Files\\msinfo32.exe"))
                            << QStringLiteral("C:\\Program Files\\msinfo32.exe");
    QTest::newRow("string cut at its NUL")
        << quint32(1)
        << utf16(QStringLiteral("C:\\tools")) + QByteArray(2, '\0') + utf16(QStringLiteral("junk"))
        << QStringLiteral("C:\\tools");
    QTest::newRow("empty string") << quint32(1) << QByteArray() << QString();
    // Numbers: four bytes, least significant first; zero bytes are digits too.
    QTest::newRow("number 513") << quint32(4) << QByteArray::fromHex("01020000")
                                << QStringLiteral("513");
    QTest::newRow("number 256, low byte zero")
        << quint32(4) << QByteArray::fromHex("00010000") << QStringLiteral("256");
    QTest::newRow("number 16") << quint32(4) << QByteArray::fromHex("10000000")
                               << QStringLiteral("16");
    QTest::newRow("number 0") << quint32(4) << QByteArray::fromHex("00000000")
                              << QStringLiteral("0");
    QTest::newRow("largest number")
        << quint32(4) << QByteArray::fromHex("ffffffff") << QStringLiteral("4294967295");
    QTest::newRow("other type reads empty")
        << quint32(2) << utf16(QStringLiteral("%SystemRoot%")) << QString();
}

void tst_About::keyValueAsText()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    const FixedKeys keys(KeyValue{type, data});
    const std::optional<QString> value =
        GetKeyValue(keys, QStringLiteral("SOFTWARE\\Any"), QStringLiteral("Value"));
    QVERIFY(value);
    QCOMPARE(*value, text);
    QVERIFY(!GetKeyValue(FixedKeys(std::nullopt), QStringLiteral("SOFTWARE\\Any"),
                         QStringLiteral("Value")));
}

void tst_About::machineSettingsFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected"); // null: missing

    const QByteArray sample = "Windows Registry Editor Version 5.00\n"
                              "; where the tools live\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
                              "\"PATH\"=\"C:\\\\Program Files\\\\msinfo32.exe\"\n"
                              "\"Count\"=dword:00000201\n"
                              "Plain = /usr/bin/hardinfo\n"
                              "\n"
                              "[SOFTWARE\\Microsoft\\Shared Tools Location]\n"
                              "\"MSINFO\"=\"/opt/msinfo\"\n";
    const QString msinfo = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    QTest::newRow("quoted string") << sample << msinfo << QStringLiteral("PATH")
                                   << QStringLiteral("C:\\Program Files\\msinfo32.exe");
    QTest::newRow("names ignore case") << sample << msinfo.toLower() << QStringLiteral("path")
                                       << QStringLiteral("C:\\Program Files\\msinfo32.exe");
    QTest::newRow("number") << sample << msinfo << QStringLiteral("Count") << QStringLiteral("513");
    QTest::newRow("bare text") << sample << msinfo << QStringLiteral("Plain")
                               << QStringLiteral("/usr/bin/hardinfo");
    QTest::newRow("other key") << sample
                               << QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location")
                               << QStringLiteral("MSINFO") << QStringLiteral("/opt/msinfo");
    QTest::newRow("value of another key")
        << sample << QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools") << QStringLiteral("PATH")
        << QString();
    QTest::newRow("missing value") << sample << msinfo << QStringLiteral("Nothing") << QString();
    QTest::newRow("no file") << QByteArray() << msinfo << QStringLiteral("PATH") << QString();
}

void tst_About::machineSettingsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const QString path = folder(QStringLiteral("machine.reg"));
    QFile::remove(path);
    if (!file.isNull())
        writeFile(path, file);
    const std::optional<QString> read = GetKeyValue(RegFileMachineKeys(path), key, value);
    QCOMPARE(read.has_value(), !expected.isNull());
    if (read)
        QCOMPARE(*read, expected);
}

void tst_About::systemInfo_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("desktop"); // fallback programs looked up on the PATH
    QTest::addColumn<bool>("starts");         // what starting the program answers
    QTest::addColumn<QString>("started");     // empty: the unavailable message

    const QByteArray tryOne = "[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
                              "\"PATH\"=\"/opt/tools/msinfo32\"\n";
    const QByteArray tryTwo = "[SOFTWARE\\Microsoft\\Shared Tools Location]\n"
                              "\"MSINFO\"=\"" +
                              folder(QStringLiteral("msinfo")).toUtf8() + "\"\n";
    const QByteArray tryTwoEmpty = "[SOFTWARE\\Microsoft\\Shared Tools Location]\n"
                                   "\"MSINFO\"=\"" +
                                   folder(QStringLiteral("nomsinfo")).toUtf8() + "\"\n";
    const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh"));

    QTest::newRow("neither value") << QByteArray() << QStringList() << true << QString();
    QTest::newRow("first try") << tryOne << QStringList() << true
                               << QStringLiteral("/opt/tools/msinfo32");
    QTest::newRow("first try wins")
        << tryOne + tryTwo << QStringList() << true << QStringLiteral("/opt/tools/msinfo32");
    QTest::newRow("second try") << tryTwo << QStringList() << true
                                << QDir::toNativeSeparators(
                                       folder(QStringLiteral("msinfo/MSINFO32.EXE")));
    QTest::newRow("second try, folder without program")
        << tryTwoEmpty << QStringList() << true << QString();
    QTest::newRow("program does not start") << tryOne << QStringList() << false << QString();
    QTest::newRow("desktop program")
        << QByteArray() << QStringList{QStringLiteral("sh")} << true << sh;
    QTest::newRow("desktop program not installed")
        << tryTwoEmpty << QStringList{QStringLiteral("no-such-system-info")} << true << QString();
}

void tst_About::systemInfo()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, desktop);
    QFETCH(bool, starts);
    QFETCH(QString, started);
    const QString path = folder(QStringLiteral("machine.reg"));
    QFile::remove(path);
    if (!file.isNull())
        writeFile(path, file);
    QList<SystemInfoLauncher::Command> programs;
    for (const QString& program : desktop)
        programs.append({program});
    m_ui.setStartProgramResult(starts);

    auto* about =
        new frmAbout(SystemInfoLauncher(std::make_shared<RegFileMachineKeys>(path), programs));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->show();
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);

    if (started.isEmpty()) {
        QCOMPARE(m_ui.messages().size(), 1);
        const RecordingUi::Message message = m_ui.messages().first();
        QCOMPARE(message.text, QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(message.title, QStringLiteral("Vantor"));
        QCOMPARE(message.buttons, Buttons::Ok);
    } else {
        QVERIFY(m_ui.messages().isEmpty());
    }
    if (starts && !started.isEmpty())
        QCOMPARE(m_ui.startedPrograms(), QStringList{started});
    about->close();
}

void tst_About::screenshot()
{
    QWidget* about = vantor::widgets::windows().show(QStringLiteral("frmAbout"));
    QTest::qWait(20);
    shelltest::screenshot(about, QStringLiteral("frmAbout"));
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
