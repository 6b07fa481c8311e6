// The unit converter driven as a user would: choose, type, convert, read.

#include "convert/ConverterWindows.h"
#include "engine/Connection.h"
#include "platform/RecordingUi.h"
#include "report/DataEnvironment.h"
#include "store/Database.h"
#include "support/TestSupport.h"
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
using testsupport::execute;

namespace {

template <typename T = QWidget> T* child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QLatin1String(name));
}

QString text(QWidget* window, const char* name)
{
    if (auto* label = child<QLabel>(window, name))
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

// Option 1 converts to SI units, option 2 to conventional ones. Enter in
// the amount box presses Convert.
void convertAmount(QWidget* window, int option, const QString& amount)
{
    child<QRadioButton>(window, option == 1 ? "Option1" : "Option2")->click();
    auto* box = child<QLineEdit>(window, "txtAmount");
    box->clear();
    QTest::keyClicks(box, amount);
    QTest::keyClick(box, Qt::Key_Return);
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

// Acetone sorts first but has no factor; Bicarbonate is the first with one.
void TestConverter::init()
{
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QFile::remove(QStringLiteral("vantor.mdb"));
    store::createDatabase(QStringLiteral("vantor.mdb"));
    // In place of the standard items a new file comes with: these set the traps.
    execute(QStringLiteral("DELETE FROM Agents"));
    for (const char* values :
         {"1, 'Zinc', 'ug/dL', 0.153, 'umol/L'", "2, 'Acetone', 'mg/dL', Null, 'mmol/L'",
          "3, 'Bicarbonate', 'mEq/L', 2, 'mmol/L'", "4, 'Lead', 'ug/dL', 0, 'umol/L'",
          "40000, 'Magnesium', 'mg/dL', 0.4114, 'mmol/L'"})
        execute(QStringLiteral("INSERT INTO Agents (ID, Agent, [Conventional Unit], "
                               "[Conversion Factor], [SI Unit]) VALUES (") +
                QLatin1String(values) + u')');
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
    auto* combo = child<widgets::DataCombo>(w, "AgentsCombo");
    QCOMPARE(combo->count(), 4); // Acetone, without a factor, is not offered
    QCOMPARE(combo->currentText(), QStringLiteral("Bicarbonate"));
    QVERIFY(child<QRadioButton>(w, "Option1")->isChecked());
    QCOMPARE(QStringList({text(w, "txtConversionFactor"), text(w, "txtSIUnit"),
                          text(w, "txtConventionalUnit"), text(w, "lblUnit")}),
             QStringList({QStringLiteral("2"), QStringLiteral("mmol/L"), QStringLiteral("mEq/L"),
                          QStringLiteral("mEq/L")}));
    QVERIFY(m_ui.messages().isEmpty());
    QCOMPARE(report::DataEnvironment1().rsAgents().source(),
             QStringLiteral("SELECT * FROM Agents WHERE ID=3"));
}

void TestConverter::conversions_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("outcome"); // the result, or "title: message" of a failure

    const auto row = [](const char* tag, const char* item, int option, const char* amount,
                        const char* unit, const char* outcome) {
        QTest::newRow(tag) << QString::fromLatin1(item) << option << QString::fromLatin1(amount)
                           << QString::fromLatin1(unit) << QString::fromLatin1(outcome);
    };
    row("to SI", "Bicarbonate", 1, "100", "mEq/L", "Result: 200.00 mmol/L");
    row("to conventional", "Bicarbonate", 2, "100", "mmol/L", "Result: 50.00 mEq/L");
    row("thousands", "Bicarbonate", 1, "12345", "mEq/L", "Result: 24,690.00 mmol/L");
    row("typed with grouping", "Bicarbonate", 2, "1,234.5", "mmol/L", "Result: 617.25 mEq/L");
    row("rounded", "Zinc", 1, "85", "ug/dL", "Result: 13.01 umol/L");
    row("factor 0 to SI", "Lead", 1, "5", "ug/dL", "Result: 0.00 umol/L");
    row("id beyond 16 bits", "Magnesium", 2, "0.8228", "mmol/L", "Result: 2.00 mg/dL");
    row("factor 0 to conventional", "Lead", 2, "5", "umol/L", "Convert Amount: Division by zero");
    row("not a number", "Bicarbonate", 1, "12a", "mEq/L", "Convert Amount: Type mismatch");
    row("too large", "Bicarbonate", 1, "1e308", "mEq/L", "Convert Amount: Overflow");
    row("empty amount", "Bicarbonate", 1, "", "mEq/L",
        "Incomplete Data Entry: Please make sure all required selections are made and the amount "
        "field is filled in.");
}

// A failure is told and keeps the last result.
void TestConverter::conversions()
{
    QFETCH(QString, item);
    QFETCH(int, option);
    QFETCH(QString, amount);
    QFETCH(QString, unit);
    QFETCH(QString, outcome);
    QWidget* w = open();
    convertAmount(w, 1, QStringLiteral("1"));
    choose(w, item);
    convertAmount(w, option, amount);
    QCOMPARE(text(w, "lblUnit"), unit);
    if (outcome.startsWith(QStringLiteral("Result: "))) {
        QCOMPARE(text(w, "lblResult"), outcome);
        QVERIFY(m_ui.messages().isEmpty());
    } else {
        QCOMPARE(m_ui.messages().size(), 1);
        const RecordingUi::Message& m = m_ui.messages().first();
        QCOMPARE(m.title + QStringLiteral(": ") + m.text, outcome);
        QCOMPARE(m.icon, amount.isEmpty() ? Icon::Exclamation : Icon::Critical);
        QCOMPARE(text(w, "lblResult"), QStringLiteral("Result: 2.00 mmol/L"));
    }
    if (QByteArray(QTest::currentDataTag()) == "thousands")
        testsupport::screenshot(w, QStringLiteral("frmAgents"));
}

void TestConverter::directionChangesTheUnitButNotTheResult()
{
    QWidget* w = open();
    choose(w, QStringLiteral("Zinc"));
    convertAmount(w, 1, QStringLiteral("100"));
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

void TestConverter::removedItemEmptiesTheBoxes()
{
    QWidget* w = open();
    execute(QStringLiteral("DELETE FROM Agents WHERE Agent = 'Zinc'"));
    choose(w, QStringLiteral("Zinc")); // the list still offers it
    QCOMPARE(m_ui.messages().size(), 1);
    const RecordingUi::Message& m = m_ui.messages().first();
    QCOMPARE(m.text, QStringLiteral("There is no data for that selection."));
    QCOMPARE(m.title, QStringLiteral("Data Unavailable"));
    QCOMPARE(m.beepsBefore, 1);
    for (const char* box : {"txtConversionFactor", "txtSIUnit", "txtConventionalUnit", "lblUnit"})
        QVERIFY2(text(w, box).isEmpty(), box);

    // Convert then reads no factor: a failure, not a number.
    convertAmount(w, 1, QStringLiteral("3"));
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
    convertAmount(w, 1, QStringLiteral("100"));
    QCOMPARE(m_ui.messages().value(0).title, QStringLiteral("Incomplete Data Entry"));
}

QTEST_MAIN(TestConverter)
#include "tst_converter.moc"
