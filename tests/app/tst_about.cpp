#include "ShellTestSupport.h"

#include "app/MachineKeys.h"
#include "app/RegFileMachineKeys.h"
#include "app/SystemInfoLauncher.h"
#include "app/frmAbout.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;
using namespace vantor::app;

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

QString folder(const QString& name)
{
    return QDir::current().absoluteFilePath(name);
}

// The machine settings file, or none for an empty content.
QString writeMachineFile(const QByteArray& content)
{
    const QString path = folder(u"machine.reg"_s);
    QFile::remove(path);
    QFile file(path);
    if (!content.isNull() && file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

} // namespace

class tst_About : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { QVERIFY(shelltest::closeEverything()); }

    void okClosesTheBox();
    void keyValueAsText_data();
    void keyValueAsText();
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

void tst_About::keyValueAsText_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");

    QTest::newRow("string") << quint32(1) << utf16(u"C:\\tools\\msinfo32.exe"_s)
                            << u"C:\\tools\\msinfo32.exe"_s;
    QTest::newRow("string cut at its NUL")
        << quint32(1) << utf16(u"C:\\tools"_s) + QByteArray(2, '\0') + utf16(u"junk"_s)
        << u"C:\\tools"_s;
    QTest::newRow("empty string") << quint32(1) << QByteArray() << QString();
    // Numbers: four bytes, least significant first; zero bytes are digits too.
    QTest::newRow("513") << quint32(4) << QByteArray::fromHex("01020000") << u"513"_s;
    QTest::newRow("256, low byte zero")
        << quint32(4) << QByteArray::fromHex("00010000") << u"256"_s;
    QTest::newRow("0") << quint32(4) << QByteArray::fromHex("00000000") << u"0"_s;
    QTest::newRow("largest") << quint32(4) << QByteArray::fromHex("ffffffff") << u"4294967295"_s;
    QTest::newRow("other type reads empty") << quint32(2) << utf16(u"%SystemRoot%"_s) << QString();
}

void tst_About::keyValueAsText()
{
    QFETCH(quint32, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    const std::optional<QString> value = GetKeyValue(FixedKeys(KeyValue{type, data}), {}, {});
    QVERIFY(value);
    QCOMPARE(*value, text);
    QVERIFY(!GetKeyValue(FixedKeys(std::nullopt), {}, {}));
}

// The machine settings are read from a registry export; its spellings come
// through the first try.
void tst_About::systemInfo_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("desktop"); // a fallback program looked up on the PATH
    QTest::addColumn<bool>("starts");     // what starting the program answers
    QTest::addColumn<QString>("started"); // empty: the unavailable message

    const QByteArray key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n";
    const QByteArray tryOne = key + "\"PATH\"=\"/opt/tools/msinfo32\"\n";
    const auto tryTwo = [](const char* in) {
        return "[SOFTWARE\\Microsoft\\Shared Tools Location]\n\"MSINFO\"=\"" +
               folder(QString::fromLatin1(in)).toUtf8() + "\"\n";
    };
    const QString first = u"/opt/tools/msinfo32"_s;
    const QString second = QDir::toNativeSeparators(folder(u"msinfo/MSINFO32.EXE"_s));

    QTest::newRow("neither value") << QByteArray() << QString() << true << QString();
    QTest::newRow("first try") << tryOne << QString() << true << first;
    QTest::newRow("names in any case, escaped text")
        << QByteArray("Windows Registry Editor Version 5.00\n; where the tools live\n"
                      "[hkey_local_machine\\software\\microsoft\\shared tools\\msinfo]\n"
                      "\"path\"=\"C:\\\\tools\\\\msinfo32.exe\"\n")
        << QString() << true << u"C:\\tools\\msinfo32.exe"_s;
    QTest::newRow("bare text") << key + "PATH = /usr/bin/msinfo\n"
                               << QString() << true << u"/usr/bin/msinfo"_s;
    QTest::newRow("a number as its digits") << key + "\"PATH\"=dword:00000201\n"
                                            << QString() << true << u"513"_s;
    QTest::newRow("value of a parent key")
        << QByteArray("[SOFTWARE\\Microsoft\\Shared Tools]\n\"PATH\"=\"/opt/x\"\n") << QString()
        << true << QString();
    QTest::newRow("first try wins") << tryOne + tryTwo("msinfo") << QString() << true << first;
    QTest::newRow("second try") << tryTwo("msinfo") << QString() << true << second;
    QTest::newRow("second try, folder without program")
        << tryTwo("nomsinfo") << QString() << true << QString();
    QTest::newRow("program does not start") << tryOne << QString() << false << QString();
    QTest::newRow("desktop program")
        << QByteArray() << u"sh"_s << true << QStandardPaths::findExecutable(u"sh"_s);
    QTest::newRow("desktop program not installed")
        << tryTwo("nomsinfo") << u"no-such-system-info"_s << true << QString();
}

void tst_About::systemInfo()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, desktop);
    QFETCH(bool, starts);
    QFETCH(QString, started);
    m_ui.clear();
    m_ui.setStartProgramResult(starts);
    QList<SystemInfoLauncher::Command> programs;
    if (!desktop.isEmpty())
        programs.append({desktop});

    auto* about = new frmAbout(
        SystemInfoLauncher(std::make_shared<RegFileMachineKeys>(writeMachineFile(file)), programs));
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
