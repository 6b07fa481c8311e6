// The export dialog and the file it writes, compared byte by byte with
// golden files.

#include "OverviewFixture.h"

#include "overview/dlgExport.h"
#include "widgets/DataCombo.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace vantor;
using namespace vantor::overview;
using platform::Icon;
using platform::RecordingUi;
using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing " + path.toUtf8() + '>';
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString golden(const QString& name)
{
    return QStringLiteral(VANTOR_OVERVIEW_GOLDEN "/") + name;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void writesTheSpan_data();
    void writesTheSpan();
    void failuresLeaveTheFileAlone_data();
    void failuresLeaveTheFileAlone();
    void reversedDatesWriteNothing();
    void defaultNameAndBrowse();
    void screenshot();

private:
    void open();
    void exportSpan(const QString& from, const QString& to, const QString& file);

    QTemporaryDir m_dir;
    QString m_oldCwd;
    RecordingUi m_ui;
    dlgExport* m_dialog = nullptr;
};

void TestExport::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    platform::setUi(&m_ui);
}

void TestExport::init()
{
    m_ui.clear();
    overviewtest::makeKnownDatabase();
    QDir(QStringLiteral("out")).removeRecursively();
    QDir().mkdir(QStringLiteral("out"));
}

void TestExport::cleanup()
{
    QVERIFY(overviewtest::closeEverything());
    QVERIFY(!m_ui.isBusy());
}

void TestExport::open()
{
    m_dialog = new dlgExport;
    m_dialog->show();
}

void TestExport::exportSpan(const QString& from, const QString& to, const QString& file)
{
    m_dialog->inputs()->fromList()->setBoundText(from);
    m_dialog->inputs()->toList()->setBoundText(to);
    auto* name = overviewtest::child<QLineEdit>(m_dialog, "sFile");
    name->clear();
    QTest::keyClicks(name, file);
    QTest::mouseClick(overviewtest::child<QPushButton>(m_dialog, "cmdOK"), Qt::LeftButton);
}

void TestExport::writesTheSpan_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QByteArray>("before"); // the file's content before the export
    QTest::addColumn<QString>("expected");
    // Occasions without values or without a period are left out; a value
    // of a deleted item comes first, without a name; the remarks' TAB and
    // line break become spaces; UTF-8 text.
    QTest::newRow("all dates") << "05-Mar-2004"
                               << "01-Apr-2004" << QByteArray() << "all-dates.txt";
    QTest::newRow("one day") << "06-Mar-2004"
                             << "06-Mar-2004" << QByteArray() << "one-day.txt";
    // Periods in id order, not name order.
    QTest::newRow("overwrites without asking")
        << "05-Mar-2004"
        << "05-Mar-2004" << QByteArray(100000, 'x') << "first-day.txt";
}

void TestExport::writesTheSpan()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QByteArray, before);
    QFETCH(QString, expected);
    const QString target = QDir::current().absoluteFilePath(QStringLiteral("out/export.txt"));
    if (!before.isEmpty())
        writeFile(target, before);
    open();
    exportSpan(from, to, target);

    QCOMPARE(readFile(target), readFile(golden(expected)));
    QCOMPARE(overviewtest::onlyMessage(m_ui),
             overviewtest::shown(1, QStringLiteral("Export Data"), Icon::Information,
                                 QStringLiteral("Export completed successfully.")));
    QCOMPARE(QDir(QStringLiteral("out")).entryList(QDir::Files), QStringList{u"export.txt"_s});
    // The dialog stays, inputs unchanged.
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->inputs()->fromList()->currentText(), from);
}

void TestExport::failuresLeaveTheFileAlone_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("inText");
    QTest::newRow("span without values") << "08-Mar-2004"
                                         << "08-Mar-2004"
                                         << "out/export.txt"
                                         << "BOF or EOF";
    QTest::newRow("folder missing") << "05-Mar-2004"
                                    << "01-Apr-2004"
                                    << "out/none/export.txt"
                                    << "export.txt";
    QTest::newRow("no file name") << "05-Mar-2004"
                                  << "01-Apr-2004"
                                  << ""
                                  << "no file name";
}

void TestExport::failuresLeaveTheFileAlone()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, file);
    QFETCH(QString, inText);
    const QByteArray old("old contents\r\n");
    writeFile(QStringLiteral("out/export.txt"), old);
    open();
    exportSpan(from, to, file);

    QCOMPARE(m_ui.messages().size(), 1);
    const auto& m = m_ui.messages().first();
    QVERIFY2(m.text.contains(inText), qPrintable(m.text));
    QCOMPARE(m.title, QStringLiteral("Export Error"));
    QCOMPARE(m.icon, Icon::Critical);
    QCOMPARE(m.beepsBefore, 1);
    QCOMPARE(readFile(QStringLiteral("out/export.txt")), old);
    QCOMPARE(QDir(QStringLiteral("out")).entryList(QDir::Files), QStringList{u"export.txt"_s});
    QVERIFY(m_dialog->isVisible());
}

void TestExport::reversedDatesWriteNothing()
{
    open();
    exportSpan(QStringLiteral("01-Apr-2004"), QStringLiteral("05-Mar-2004"),
               QStringLiteral("out/export.txt"));
    QCOMPARE(overviewtest::onlyMessage(m_ui),
             overviewtest::shown(1, QStringLiteral("Invalid Entry"), Icon::Exclamation,
                                 QStringLiteral("The From date can't be later than the To date.")));
    QVERIFY(QDir(QStringLiteral("out")).isEmpty());
}

void TestExport::defaultNameAndBrowse()
{
    open();
    auto* name = overviewtest::child<QLineEdit>(m_dialog, "sFile");
    QCOMPARE(name->text(),
             QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/vantor.txt")));
    m_ui.pushFileName(QStringLiteral("/tmp/chosen.txt"));
    QTest::mouseClick(overviewtest::child<QPushButton>(m_dialog, "cmdBrowse"), Qt::LeftButton);
    QCOMPARE(name->text(), QStringLiteral("/tmp/chosen.txt"));
    // Cancelling the chooser keeps the name.
    QTest::mouseClick(overviewtest::child<QPushButton>(m_dialog, "cmdBrowse"), Qt::LeftButton);
    QCOMPARE(name->text(), QStringLiteral("/tmp/chosen.txt"));
    QVERIFY(m_ui.messages().isEmpty());
}

void TestExport::screenshot()
{
    open();
    QTest::qWait(20);
    overviewtest::screenshot(m_dialog, QStringLiteral("dlgExport"));
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
