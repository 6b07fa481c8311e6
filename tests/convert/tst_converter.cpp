// The unit converter driven as a user would: choose, type, convert, read.

#include "convert/ConverterWindows.h"
#include "engine/Connection.h"
#include "platform/RecordingUi.h"
#include "report/DataEnvironment.h"
#include "store/Database.h"
#include "widgets/DataCombo.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using platform::Icon;
using platform::RecordingUi;

namespace {

const QString Incomplete = QStringLiteral(
    "Please make sure all required selections are made and the amount field is filled in.");

void execute(const QString& sql)
{
    engine::Connection c;
    c.open(QStringLiteral("Data Source=vantor.mdb"));
    c.execute(sql);
}

// Acetone sorts first but has no factor; Bicarbonate is the first with one.
void seedAgents()
{
    for (const char* sql : {
             "INSERT INTO Agents (Agent, [Conventional Unit], [Conversion Factor], [SI Unit]) "
             "VALUES ('Zinc', 'ug/dL', 0.153, 'umol/L')",
             "INSERT INTO Agents (Agent, [Conventional Unit], [Conversion Factor], [SI Unit]) "
             "VALUES ('Acetone', 'mg/dL', Null, 'mmol/L')",
             "INSERT INTO Agents (Agent, [Conventional Unit], [Conversion Factor], [SI Unit]) "
             "VALUES ('Bicarbonate', 'mEq/L', 2, 'mmol/L')",
             "INSERT INTO Agents (Agent, [Conventional Unit], [Conversion Factor], [SI Unit]) "
             "VALUES ('Lead', 'ug/dL', 0, 'umol/L')",
             "INSERT INTO Agents (ID, Agent, [Conventional Unit], [Conversion Factor], [SI Unit]) "
             "VALUES (40000, 'Magnesium', 'mg/dL', 0.4114, 'mmol/L')",
         })
        execute(QString::fromLatin1(sql));
}

template <typename T = QWidget> T* child(QWidget* window, const char* name)
{
    T* w = window->findChild<T*>(QLatin1String(name));
    if (!w)
        qWarning("no child %s", name);
    return w;
}

QString text(QWidget* window, const char* name)
{
    if (auto* label = window->findChild<QLabel*>(QLatin1String(name)))
        return label->text();
    return child<QLineEdit>(window, name)->text();
}

void choose(QWidget* window, const QString& item)
{
    auto* combo = child<widgets::DataCombo>(window, "AgentsCombo");
    const int i = combo->findText(item);
    QVERIFY2(i >= 0, qPrintable(item));
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

void convertAmount(QWidget* window, const char* option, const QString& amount)
{
    child<QRadioButton>(window, option)->click();
    auto* box = child<QLineEdit>(window, "txtAmount");
    box->clear();
    QTest::keyClicks(box, amount);
    child<QPushButton>(window, "cmdConvert")->click();
}

} // namespace

class TestConverter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensOnTheFirstItemWithAFactor();
    void conversions_data();
    void conversions();
    void directionChangesTheUnitButNotTheResult();
    void failuresKeepTheLastResult_data();
    void failuresKeepTheLastResult();
    void emptyAmountIsIncomplete();
    void removedItemEmptiesTheBoxes();
    void tableWithoutFactorsStillOpens();

private:
    QWidget* open() { return widgets::windows().show(QStringLiteral("frmAgents")); }

    QTemporaryDir m_dir;
    QString m_oldCwd;
    RecordingUi m_ui;
};

void TestConverter::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    platform::setUi(&m_ui);
    convert::registerConverterWindows();
}

void TestConverter::init()
{
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QFile::remove(QStringLiteral("vantor.mdb"));
    store::createDatabase(QStringLiteral("vantor.mdb"));
    seedAgents();
    m_ui.clear();
}

void TestConverter::cleanup()
{
    widgets::windows().closeAll();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    // Closing the converter lets go of the shared command and the file.
    QCOMPARE(engine::Connection::openConnectionCount(), 0);
    QDir::setCurrent(m_oldCwd);
}

void TestConverter::opensOnTheFirstItemWithAFactor()
{
    QWidget* w = open();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Unit Conversion"));
    auto* combo = child<widgets::DataCombo>(w, "AgentsCombo");
    QCOMPARE(combo->count(), 4); // Acetone, without a factor, is not offered
    QCOMPARE(combo->currentText(), QStringLiteral("Bicarbonate"));
    QVERIFY(child<QRadioButton>(w, "Option1")->isChecked());
    QCOMPARE(text(w, "lblType(0)"), QStringLiteral("From Conventional Units to SI Units"));
    QCOMPARE(text(w, "txtConversionFactor"), QStringLiteral("2"));
    QCOMPARE(text(w, "txtSIUnit"), QStringLiteral("mmol/L"));
    QCOMPARE(text(w, "txtConventionalUnit"), QStringLiteral("mEq/L"));
    QCOMPARE(text(w, "lblUnit"), QStringLiteral("mEq/L"));
    QCOMPARE(text(w, "lblResult"), QStringLiteral("Result:"));
    QVERIFY(m_ui.messages().isEmpty());
    QCOMPARE(report::DataEnvironment1().rsAgents().source(),
             QStringLiteral("SELECT * FROM Agents WHERE ID=3"));
}

void TestConverter::conversions_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("result");

    QTest::newRow("to SI") << QStringLiteral("Bicarbonate") << QStringLiteral("Option1")
                           << QStringLiteral("100") << QStringLiteral("mEq/L")
                           << QStringLiteral("Result: 200.00 mmol/L");
    QTest::newRow("to conventional")
        << QStringLiteral("Bicarbonate") << QStringLiteral("Option2") << QStringLiteral("100")
        << QStringLiteral("mmol/L") << QStringLiteral("Result: 50.00 mEq/L");
    QTest::newRow("thousands") << QStringLiteral("Bicarbonate") << QStringLiteral("Option1")
                               << QStringLiteral("12345") << QStringLiteral("mEq/L")
                               << QStringLiteral("Result: 24,690.00 mmol/L");
    QTest::newRow("typed with grouping")
        << QStringLiteral("Bicarbonate") << QStringLiteral("Option2") << QStringLiteral("1,234.5")
        << QStringLiteral("mmol/L") << QStringLiteral("Result: 617.25 mEq/L");
    QTest::newRow("rounded") << QStringLiteral("Zinc") << QStringLiteral("Option1")
                             << QStringLiteral("85") << QStringLiteral("ug/dL")
                             << QStringLiteral("Result: 13.01 umol/L");
    QTest::newRow("factor 0 to SI")
        << QStringLiteral("Lead") << QStringLiteral("Option1") << QStringLiteral("5")
        << QStringLiteral("ug/dL") << QStringLiteral("Result: 0.00 umol/L");
    // An id beyond 16 bits.
    QTest::newRow("large id") << QStringLiteral("Magnesium") << QStringLiteral("Option2")
                              << QStringLiteral("0.8228") << QStringLiteral("mmol/L")
                              << QStringLiteral("Result: 2.00 mg/dL");
}

void TestConverter::conversions()
{
    QFETCH(QString, item);
    QFETCH(QString, option);
    QFETCH(QString, amount);
    QFETCH(QString, unit);
    QFETCH(QString, result);
    QWidget* w = open();
    choose(w, item);
    convertAmount(w, option.toLatin1().constData(), amount);
    QCOMPARE(text(w, "lblUnit"), unit);
    QCOMPARE(text(w, "lblResult"), result);
    QVERIFY(m_ui.messages().isEmpty());
    const QString dir = qEnvironmentVariable("VANTOR_SCREENSHOT_DIR");
    if (!dir.isEmpty() && QByteArray(QTest::currentDataTag()) == "thousands")
        w->grab().save(QDir(dir).filePath(QStringLiteral("frmAgents.png")));
}

void TestConverter::directionChangesTheUnitButNotTheResult()
{
    QWidget* w = open();
    choose(w, QStringLiteral("Zinc"));
    QCOMPARE(text(w, "txtConversionFactor"), QStringLiteral("0.153"));
    QCOMPARE(text(w, "lblUnit"), QStringLiteral("ug/dL"));
    convertAmount(w, "Option1", QStringLiteral("100"));
    QCOMPARE(text(w, "lblResult"), QStringLiteral("Result: 15.30 umol/L"));

    // A click on the caption of the lower option chooses it.
    QTest::mouseClick(child<QLabel>(w, "lblType(1)"), Qt::LeftButton);
    QVERIFY(child<QRadioButton>(w, "Option2")->isChecked());
    QCOMPARE(text(w, "lblUnit"), QStringLiteral("umol/L"));
    QCOMPARE(text(w, "lblResult"), QStringLiteral("Result: 15.30 umol/L"));
    child<QPushButton>(w, "cmdConvert")->click();
    QCOMPARE(text(w, "lblResult"), QStringLiteral("Result: 653.59 ug/dL"));

    // A new item in the SI direction shows its SI unit.
    choose(w, QStringLiteral("Bicarbonate"));
    QCOMPARE(text(w, "lblUnit"), QStringLiteral("mmol/L"));
    QCOMPARE(text(w, "lblResult"), QStringLiteral("Result: 653.59 ug/dL"));
}

void TestConverter::failuresKeepTheLastResult_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("message");

    QTest::newRow("factor 0 to conventional")
        << QStringLiteral("Lead") << QStringLiteral("Option2") << QStringLiteral("5")
        << QStringLiteral("Division by zero");
    QTest::newRow("not a number") << QStringLiteral("Bicarbonate") << QStringLiteral("Option1")
                                  << QStringLiteral("12a") << QStringLiteral("Type mismatch");
    QTest::newRow("too large") << QStringLiteral("Bicarbonate") << QStringLiteral("Option1")
                               << QStringLiteral("1e308") << QStringLiteral("Overflow");
}

void TestConverter::failuresKeepTheLastResult()
{
    QFETCH(QString, item);
    QFETCH(QString, option);
    QFETCH(QString, amount);
    QFETCH(QString, message);
    QWidget* w = open();
    convertAmount(w, "Option1", QStringLiteral("1"));
    const QString before = text(w, "lblResult");
    QCOMPARE(before, QStringLiteral("Result: 2.00 mmol/L"));
    choose(w, item);
    convertAmount(w, option.toLatin1().constData(), amount);
    QCOMPARE(m_ui.messages().size(), 1);
    const RecordingUi::Message& m = m_ui.messages().first();
    QCOMPARE(m.text, message);
    QCOMPARE(m.title, QStringLiteral("Convert Amount"));
    QCOMPARE(m.icon, Icon::Critical);
    QCOMPARE(text(w, "lblResult"), before);
}

void TestConverter::emptyAmountIsIncomplete()
{
    QWidget* w = open();
    convertAmount(w, "Option1", QString());
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().text, Incomplete);
    QCOMPARE(m_ui.messages().first().title, QStringLiteral("Incomplete Data Entry"));
    QCOMPARE(m_ui.messages().first().icon, Icon::Exclamation);
    QCOMPARE(text(w, "lblResult"), QStringLiteral("Result:"));
}

void TestConverter::removedItemEmptiesTheBoxes()
{
    QWidget* w = open();
    execute(QStringLiteral("DELETE FROM Agents WHERE Agent = 'Zinc'"));
    choose(w, QStringLiteral("Zinc")); // the list still offers it
    QCOMPARE(m_ui.messages().size(), 1);
    const RecordingUi::Message& m = m_ui.messages().first();
    QCOMPARE(m.text, QStringLiteral("There is no data for that selection."));
    QCOMPARE(m.title, QStringLiteral("Data Unavailable"));
    QCOMPARE(m.icon, Icon::Information);
    QCOMPARE(m.beepsBefore, 1);
    for (const char* box : {"txtConversionFactor", "txtSIUnit", "txtConventionalUnit", "lblUnit"})
        QVERIFY2(text(w, box).isEmpty(), box);

    // Convert then reads no factor: a failure, not a number.
    convertAmount(w, "Option1", QStringLiteral("3"));
    QCOMPARE(m_ui.messages().size(), 2);
    QCOMPARE(m_ui.messages().last().title, QStringLiteral("Convert Amount"));
    QCOMPARE(text(w, "lblResult"), QStringLiteral("Result:"));
}

void TestConverter::tableWithoutFactorsStillOpens()
{
    execute(QStringLiteral("UPDATE Agents SET [Conversion Factor] = Null"));
    QWidget* w = open();
    QVERIFY(w);
    QCOMPARE(child<widgets::DataCombo>(w, "AgentsCombo")->count(), 0);
    QVERIFY(text(w, "txtConversionFactor").isEmpty());
    QVERIFY(m_ui.messages().isEmpty());
    convertAmount(w, "Option1", QStringLiteral("100"));
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().title, QStringLiteral("Incomplete Data Entry"));
}

QTEST_MAIN(TestConverter)
#include "tst_converter.moc"
