// The inputs every date-range window shares: lists, presets, the checks.

#include "OverviewFixture.h"

#include "overview/DateRangeInputs.h"
#include "overview/dlgExport.h"
#include "overview/frmStats.h"
#include "platform/Error.h"
#include "widgets/DataCombo.h"

#include <QPushButton>
#include <QTemporaryDir>

using namespace vantor;
using namespace vantor::overview;
using platform::Icon;
using platform::RecordingUi;

class TestDateRange : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowsPresetOldestAndNewest_data();
    void windowsPresetOldestAndNewest();
    void emptyDatabaseReportsMissingDate_data();
    void emptyDatabaseReportsMissingDate();
    void missingDatabaseOpensEmptyAfterOneMessage();
    void checkDate_data();
    void checkDate();
    void itemPreset_data();
    void itemPreset();

private:
    QWidget* openWindow(const QString& name);

    QTemporaryDir m_dir;
    QString m_oldCwd;
    RecordingUi m_ui;
};

void TestDateRange::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    platform::setUi(&m_ui);
}

void TestDateRange::init()
{
    m_ui.clear();
    overviewtest::makeKnownDatabase();
}

void TestDateRange::cleanup()
{
    QVERIFY(overviewtest::closeEverything());
    QVERIFY(!m_ui.isBusy());
}

QWidget* TestDateRange::openWindow(const QString& name)
{
    QWidget* window = nullptr;
    if (name == QLatin1String("frmStats"))
        window = new frmStats;
    else
        window = new dlgExport;
    window->show();
    return window;
}

void TestDateRange::windowsPresetOldestAndNewest_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("fromLabel");
    QTest::newRow("frmStats") << QStringLiteral("frmStats") << QStringLiteral("From ");
    QTest::newRow("dlgExport") << QStringLiteral("dlgExport") << QStringLiteral("From date");
}

void TestDateRange::windowsPresetOldestAndNewest()
{
    QFETCH(QString, window);
    QFETCH(QString, fromLabel);
    QWidget* w = openWindow(window);
    auto* from = overviewtest::child<widgets::DataCombo>(w, "DataCombo1");
    auto* to = overviewtest::child<widgets::DataCombo>(w, "DataCombo2");
    QVERIFY(from && to);
    // Every date with an occasion, also those without values, oldest first.
    const QStringList dates{QStringLiteral("05-Mar-2004"), QStringLiteral("06-Mar-2004"),
                            QStringLiteral("08-Mar-2004"), QStringLiteral("09-Mar-2004"),
                            QStringLiteral("01-Apr-2004")};
    QStringList listed;
    for (int i = 0; i < from->count(); ++i)
        listed << from->itemText(i);
    QCOMPARE(listed, dates);
    QCOMPARE(to->count(), dates.size());
    QCOMPARE(from->currentText(), dates.first());
    QCOMPARE(to->currentText(), dates.last());
    QCOMPARE(overviewtest::child<QLabel>(w, "Date_From_Label")->text(), fromLabel);
    QCOMPARE(overviewtest::child<QLabel>(w, "Date_To_Label")->text(), QStringLiteral("to"));
    QVERIFY(m_ui.messages().isEmpty());
}

void TestDateRange::emptyDatabaseReportsMissingDate_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::newRow("frmStats") << QStringLiteral("frmStats") << QStringLiteral("cmdOK1");
    QTest::newRow("dlgExport") << QStringLiteral("dlgExport") << QStringLiteral("cmdOK");
}

void TestDateRange::emptyDatabaseReportsMissingDate()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    overviewtest::makeEmptyDatabase();
    QWidget* w = openWindow(window);
    QCOMPARE(overviewtest::child<widgets::DataCombo>(w, "DataCombo1")->count(), 0);
    QCOMPARE(overviewtest::child<widgets::DataCombo>(w, "DataCombo2")->count(), 0);
    QVERIFY(m_ui.messages().isEmpty());
    QTest::mouseClick(w->findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(
        overviewtest::onlyMessage(m_ui),
        overviewtest::shown(
            1, QStringLiteral("Missing Date"), Icon::Exclamation,
            QStringLiteral("Please make sure you have selected both a From date and a To date.")));
}

void TestDateRange::missingDatabaseOpensEmptyAfterOneMessage()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    auto* w = new dlgExport;
    w->show();
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().title, QStringLiteral("Select Dates"));
    QCOMPARE(m_ui.messages().first().icon, Icon::Critical);
    QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("vantor.mdb")));
    QCOMPARE(w->inputs()->fromList()->count(), 0);
    QTest::mouseClick(w->actionButton(), Qt::LeftButton);
    QCOMPARE(m_ui.messages().last().title, QStringLiteral("Missing Date"));
}

void TestDateRange::checkDate_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("inOrder");
    QTest::newRow("oldest to newest") << "05-Mar-2004"
                                      << "01-Apr-2004" << true;
    QTest::newRow("one day") << "06-Mar-2004"
                             << "06-Mar-2004" << true;
    QTest::newRow("reversed by a day") << "06-Mar-2004"
                                       << "05-Mar-2004" << false;
    // Compared as dates, not as the texts, which sort the other way.
    QTest::newRow("reversed across months") << "01-Apr-2004"
                                            << "09-Mar-2004" << false;
}

void TestDateRange::checkDate()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, inOrder);
    DateRangeInputs inputs({QStringLiteral("From date"), QStringLiteral("to"), false});
    inputs.load(QStringLiteral("Select Dates"));
    inputs.fromList()->setBoundText(from);
    inputs.toList()->setBoundText(to);
    QCOMPARE(inputs.Check_Date(), inOrder);
    QCOMPARE(inputs.fromList()->currentText(), from);
    QCOMPARE(inputs.toList()->currentText(), to);
    if (inOrder) {
        QVERIFY(m_ui.messages().isEmpty());
        return;
    }
    QCOMPARE(overviewtest::onlyMessage(m_ui),
             overviewtest::shown(1, QStringLiteral("Invalid Entry"), Icon::Exclamation,
                                 QStringLiteral("The From date can't be later than the To date.")));
}

void TestDateRange::itemPreset_data()
{
    QTest::addColumn<QByteArray>("extraRows");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<qint64>("id");
    // The alphabetically first item has no values: nothing is chosen.
    QTest::newRow("first item without values") << QByteArray() << QString() << qint64(-1);
    // An id beyond 16 bits is carried whole.
    QTest::newRow("id above 32767")
        << QByteArray("INSERT INTO Tests (ID, Test, Units) VALUES (70000, 'Aaa', 'u');"
                      "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 70000, 1, 'u');")
        << QStringLiteral("Aaa") << qint64(70000);
}

void TestDateRange::itemPreset()
{
    QFETCH(QByteArray, extraRows);
    QFETCH(QString, shown);
    QFETCH(qint64, id);
    if (!extraRows.isEmpty())
        overviewtest::execute(extraRows.constData());
    DateRangeInputs inputs({QStringLiteral("From date"), QStringLiteral("to"), true});
    inputs.load(QStringLiteral("Select Dates"));
    // Only items with values, by name.
    QCOMPARE(inputs.itemList()->itemText(inputs.itemList()->count() - 1), QStringLiteral("Zinc"));
    QCOMPARE(inputs.itemName(), shown);
    if (id < 0)
        QVERIFY_THROWS_EXCEPTION(Error, inputs.itemId());
    else
        QCOMPARE(qint64(inputs.itemId()), id);
    QVERIFY(m_ui.messages().isEmpty());
}

QTEST_MAIN(TestDateRange)
#include "tst_daterange.moc"
