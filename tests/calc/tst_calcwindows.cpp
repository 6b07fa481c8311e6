#include "calc/CalcWindows.h"
#include "calc/CalculatorWindow.h"
#include "calc/ExplainWindow.h"
#include "calc/KidneyWindow.h"
#include "platform/Error.h"
#include "platform/RecordingUi.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using vantor::calc::CalculatorWindow;
using vantor::calc::ExplainWindow;
using vantor::widgets::windows;

namespace {

QWidget* selector()
{
    return windows().show(u"frmMedCalc"_s);
}

template <typename T = QWidget> T* control(QWidget* window, const QString& name)
{
    T* found = window ? window->findChild<T*>(name) : nullptr;
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}

void chooseCategory(int category)
{
    control<QComboBox>(selector(), u"Category"_s)->setCurrentIndex(category);
}

void clickCalculator(int index)
{
    auto* list = control<QListWidget>(selector(), u"SubCat"_s);
    const QRect rect = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void click(QWidget* window, const QString& button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

CalculatorWindow* proceedTo(int category, int index)
{
    chooseCategory(category);
    clickCalculator(index);
    click(selector(), u"Proceed"_s);
    static const char16_t* const names[] = {u"frmHeart", u"frmLiver", u"frmKidney"};
    return qobject_cast<CalculatorWindow*>(windows().find(QString::fromUtf16(names[category])));
}

// Types into a text box, or into an editable combo, as the user would.
void typeInto(QWidget* window, const QString& name, const QString& text)
{
    QWidget* target = control(window, name);
    if (auto* combo = qobject_cast<QComboBox*>(target))
        target = combo->lineEdit();
    QTest::keyClicks(target, text);
}

// The input controls (text boxes, combos, caption and unit labels) the user can use.
QStringList enabledInputs(CalculatorWindow* window)
{
    QStringList names;
    const auto children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QString name = child->objectName();
        const bool input =
            qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child) ||
            (qobject_cast<QLabel*>(child) &&
             (name.endsWith(u"Label"_s) || name.startsWith(u"Unit"_s) || name == u"HDLLabell"_s));
        if (!input || name.isEmpty() || name.startsWith(u"qt_"_s) || name == u"Result"_s ||
            name == u"Errors"_s || name == u"TitleLabel"_s || name.endsWith(u"Values"_s))
            continue;
        if (name == u"SerumLabel"_s || name == u"UrineLabel"_s)
            continue;
        if (child->isEnabled())
            names.append(name);
    }
    names.sort();
    return names;
}

QStringList sorted(const QString& names)
{
    QStringList list = names.split(u' ', Qt::SkipEmptyParts);
    list.sort();
    return list;
}

QStringList trio(const QString& input)
{
    return {input + u"Label"_s, input, u"Unit"_s + input};
}

void saveScreenshot(QWidget* window, const QString& name)
{
    const QString dir = qEnvironmentVariable("VANTOR_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(QDir(dir).filePath(name + u".png"_s));
}

} // namespace

class TestCalcWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void selectorEnablesOnlyAfterAChoice();
    void explainReplacesTextInOneWindow();
    void proceedPreparesWindow_data();
    void proceedPreparesWindow();
    void proceedRestoresAnOpenWindow();
    void calculateClearAndRecount();
    void renalCalciumTitleRunsItsCalculation();
    void moreInfoShowsInterpretation();
    void lookupsKnowOneNameEach();
    void closedWindowLoadsAfresh();
    void screenshots();

private:
    vantor::platform::RecordingUi m_recorder;
};

void TestCalcWindows::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    vantor::platform::setUi(&m_recorder);
    vantor::calc::registerCalculatorWindows(windows());
}

void TestCalcWindows::cleanup()
{
    windows().closeAll();
    m_recorder.clear();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestCalcWindows::selectorEnablesOnlyAfterAChoice()
{
    QWidget* medCalc = selector();
    auto* explain = control<QPushButton>(medCalc, u"Explain"_s);
    auto* proceed = control<QPushButton>(medCalc, u"Proceed"_s);
    auto* list = control<QListWidget>(medCalc, u"SubCat"_s);
    QCOMPARE(medCalc->windowTitle(), u"Medical Calculator"_s);
    QCOMPARE(control<QComboBox>(medCalc, u"Category"_s)->currentIndex(), -1);
    QCOMPARE(list->count(), 0);
    QVERIFY(!explain->isEnabled());
    QVERIFY(!proceed->isEnabled());

    const int counts[] = {4, 7, 12};
    for (int category = 0; category < 3; ++category) {
        chooseCategory(category);
        QCOMPARE(list->count(), counts[category]);
        QVERIFY(!explain->isEnabled());
        QVERIFY(!proceed->isEnabled());
        clickCalculator(counts[category] - 1);
        QVERIFY(explain->isEnabled());
        QVERIFY(proceed->isEnabled());
    }
    QCOMPARE(list->item(11)->text(), u"Urine Protein to Urine Creatinine Ratio"_s);
    // A new category takes the choice away again.
    chooseCategory(1);
    QVERIFY(!explain->isEnabled());
    QVERIFY(!proceed->isEnabled());
    QCOMPARE(list->item(5)->text(), u"Total Iron Binding Capacity (TIBC) Calculated"_s);
}

void TestCalcWindows::explainReplacesTextInOneWindow()
{
    chooseCategory(1);
    clickCalculator(3);
    click(selector(), u"Explain"_s);
    auto* explain = qobject_cast<ExplainWindow*>(windows().find(u"frmExplain"_s));
    QVERIFY(explain);
    QTRY_VERIFY(explain->isVisible());
    QCOMPARE(explain->windowTitle(), u"Explanation"_s);
    QCOMPARE(
        explain->explanation(),
        u"Ferritin consists of a protein shell (apoferritin) surrounding variable amounts of iron complexed as ferric hydroxide-phosphate. Ferritin present in the serum contains approximately 20-25% iron. Serum ferritin concentrations in normal individuals and iron deficient patients correlate well with total body iron stores."_s);

    chooseCategory(2);
    clickCalculator(4);
    click(selector(), u"Explain"_s);
    QCOMPARE(windows().find(u"frmExplain"_s), explain);
    QCOMPARE(
        control<QLabel>(explain, u"Explanation"_s)->text(),
        u"The glomerular filtration rate (GFR) reflects the amount of plasma filtered each minute. A decrease in GFR reflects deterioration of renal function."_s);
    int explainWindows = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        explainWindows += top->objectName() == u"frmExplain"_s ? 1 : 0;
    QCOMPARE(explainWindows, 1);
}

void TestCalcWindows::proceedPreparesWindow_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<bool>("resultVisible");
    QTest::addColumn<bool>("moreInfoButton");

    const QStringList heart = sorted(
        u"GenderLabel Gender CholLabel Chol UnitChol HDLLabell HDL UnitHDL LDLLabel LDL UnitLDL"_s);
    const auto heartWithout = [&heart](const QString& names) {
        QStringList list = heart;
        for (const QString& name : names.split(u' '))
            list.removeOne(name);
        return list;
    };
    QTest::newRow("0 0") << 0 << 0 << u"Cholesterol Level Interpretation"_s << heart << false
                         << false;
    QTest::newRow("0 1") << 0 << 1 << u"Total Cholesterol-to-HDL Cholesterol Ratio"_s
                         << heartWithout(u"LDL LDLLabel UnitLDL"_s) << true << false;
    QTest::newRow("0 2") << 0 << 2 << u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s
                         << heartWithout(u"Gender Chol UnitChol"_s) << true << false;
    QTest::newRow("0 3") << 0 << 3 << u"Adult Treatment Panel III Classification"_s
                         << heartWithout(u"Gender"_s) << false << false;

    QTest::newRow("1 0") << 1 << 0 << u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s
                         << sorted(u"ASTLabel AST UnitAST ALTLabel ALT UnitALT"_s) << true << false;
    QTest::newRow("1 1") << 1 << 1 << u"Serum Albumin-to-Globulin Ratio"_s
                         << trio(u"Albumin"_s) + trio(u"Globulin"_s) << true << false;
    QTest::newRow("1 2") << 1 << 2 << u"Serum Direct -to- Total Bilirubin Ratio"_s
                         << trio(u"BilirubinDirect"_s) + trio(u"BilirubinTotal"_s) << true << false;
    QTest::newRow("1 3") << 1 << 3 << u"Serum Ferritin and Estimate of Iron Stores"_s
                         << trio(u"Ferritin"_s) << false << false;
    QTest::newRow("1 4") << 1 << 4 << u"Serum Transferrin Saturation"_s
                         << trio(u"Iron"_s) + trio(u"TIBC"_s) << true << false;
    QTest::newRow("1 5") << 1 << 5 << u"Total Iron Binding Capacity (TIBC)"_s
                         << trio(u"Transferrin"_s) << true << false;
    QTest::newRow("1 6") << 1 << 6 << u"Transferrin"_s << trio(u"TIBC"_s) << true << false;

    const QStringList person = {u"AgeLabel"_s,   u"Age"_s,         u"WeightLabel"_s, u"Weight"_s,
                                u"UnitWeight"_s, u"GenderLabel"_s, u"Gender"_s};
    const QStringList creatinines = trio(u"SerumCreatinine"_s) + trio(u"UrineCreatinine"_s);
    QTest::newRow("2 0") << 2 << 0 << u"Amylase Clearance to Creatinine Clearance"_s
                         << creatinines + trio(u"SerumAmylase"_s) + trio(u"UrineAmylase"_s) << true
                         << true;
    QTest::newRow("2 1") << 2 << 1 << u"Creatinine Clearance Estimated"_s
                         << person + trio(u"SerumCreatinine"_s) << true << true;
    QTest::newRow("2 2") << 2 << 2 << u"Fractional Potassium Excretion"_s
                         << creatinines + trio(u"SerumPotassium"_s) + trio(u"UrinePotassium"_s)
                         << true << false;
    QTest::newRow("2 3") << 2 << 3 << u"Fractional Sodium Excretion"_s
                         << creatinines + trio(u"SerumSodium"_s) + trio(u"UrineSodium"_s) << true
                         << false;
    QTest::newRow("2 4") << 2 << 4 << u"Glomerular Filtration Rate (GFR)"_s
                         << person + trio(u"SerumCreatinine"_s) << true << true;
    QTest::newRow("2 5") << 2 << 5 << u"Phosphorus Clearance Estimated"_s
                         << person + trio(u"SerumPhosphorus"_s) << true << false;
    QTest::newRow("2 6") << 2 << 6 << u"Renal Calcium to Creatinine Clearance"_s
                         << creatinines + trio(u"SerumCalcium"_s) + trio(u"UrineCalcium"_s) << true
                         << false;
    QTest::newRow("2 7") << 2 << 7 << u"Renal Failure Index (RFI)"_s
                         << creatinines + trio(u"UrineSodium"_s) << true << false;
    QTest::newRow("2 8") << 2 << 8 << u"Urea Nitrogen and Creatinine Ratios"_s
                         << creatinines + trio(u"SerumUrea"_s) + trio(u"UrineUrea"_s) << true
                         << true;
    QTest::newRow("2 9") << 2 << 9 << u"Uric Acid-to-Creatinine Ratio"_s
                         << trio(u"SerumCreatinine"_s) + trio(u"SerumUrate"_s) << true << true;
    QTest::newRow("2 10") << 2 << 10 << u"Urinary Potassium Excretion Rate"_s
                          << trio(u"UrinePotassium"_s) + trio(u"UrineVolume"_s) << true << true;
    QTest::newRow("2 11") << 2 << 11 << u"Urine Protein to Urine Creatinine Ratio"_s
                          << trio(u"UrineCreatinine"_s) + trio(u"UrineProtein"_s) << true << true;
}

void TestCalcWindows::proceedPreparesWindow()
{
    QFETCH(int, category);
    QFETCH(int, index);
    QFETCH(QString, title);
    QFETCH(QStringList, enabled);
    QFETCH(bool, resultVisible);
    QFETCH(bool, moreInfoButton);

    CalculatorWindow* window = proceedTo(category, index);
    QVERIFY(window);
    QTRY_VERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QVERIFY(
        !(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(control<QLabel>(window, u"TitleLabel"_s)->text(), title);
    enabled.sort();
    QCOMPARE(enabledInputs(window), enabled);
    QCOMPARE(control(window, u"Result"_s)->isVisible(), resultVisible);
    if (category == 2)
        QCOMPARE(control(window, u"MoreInfoButton"_s)->isVisible(), moreInfoButton);
    QCOMPARE(control<QLineEdit>(window, u"Errors"_s)->text(), u"0"_s);
    QVERIFY(!control(window, u"Errors"_s)->isVisible());
    // The selector stays open for the next choice.
    QVERIFY(selector()->isVisible());
}

void TestCalcWindows::proceedRestoresAnOpenWindow()
{
    CalculatorWindow* liver = proceedTo(1, 6); // Transferrin: only TIBC
    QCOMPARE(enabledInputs(liver), sorted(u"TIBCLabel TIBC UnitTIBC"_s));
    QCOMPARE(proceedTo(1, 0), liver); // AST-to-ALT in the same window
    QCOMPARE(enabledInputs(liver), sorted(u"ASTLabel AST UnitAST ALTLabel ALT UnitALT"_s));

    CalculatorWindow* heart = proceedTo(0, 2); // Gender and Chol taken away
    QVERIFY(!control(heart, u"Chol"_s)->isEnabled());
    QCOMPARE(proceedTo(0, 0), heart); // Result hidden, Chol back
    QVERIFY(control(heart, u"Chol"_s)->isEnabled());
    QVERIFY(control(heart, u"Gender"_s)->isEnabled());
    QVERIFY(!control(heart, u"Result"_s)->isVisible());
    proceedTo(0, 1);
    QVERIFY(control(heart, u"Result"_s)->isVisible());
    QVERIFY(!control(heart, u"LDL"_s)->isEnabled());
}

void TestCalcWindows::calculateClearAndRecount()
{
    CalculatorWindow* heart = proceedTo(0, 1);
    typeInto(heart, u"Gender"_s, u"Male"_s);
    typeInto(heart, u"Chol"_s, u"200"_s);
    typeInto(heart, u"UnitChol"_s, u"mg/dL"_s);
    typeInto(heart, u"HDL"_s, u"5O"_s); // a letter O, not a zero
    typeInto(heart, u"UnitHDL"_s, u"mg/dL"_s);
    click(heart, u"Calculate"_s);
    QCOMPARE(m_recorder.messages().size(), 2);
    QCOMPARE(m_recorder.messages().at(0).text, u"Type mismatch"_s);
    QCOMPARE(m_recorder.messages().at(1).text, u"Data entry incomplete"_s);
    QCOMPARE(m_recorder.messages().at(1).icon, vantor::platform::Icon::Exclamation);
    QCOMPARE(control<QLineEdit>(heart, u"Errors"_s)->text(), u"1"_s);
    QCOMPARE(control<QLineEdit>(heart, u"Result"_s)->text(), QString());

    // Put right, the same values compute without Clear All.
    m_recorder.clear();
    control<QLineEdit>(heart, u"HDL"_s)->clear();
    typeInto(heart, u"HDL"_s, u"50"_s);
    click(heart, u"Calculate"_s);
    QVERIFY(m_recorder.messages().isEmpty());
    QCOMPARE(control<QLineEdit>(heart, u"Result"_s)->text(), u"4.00"_s);
    QCOMPARE(heart->moreInfo(),
             u"The risk of coronary artery disease is 50% than that of  the 'average American'."_s);
    QCOMPARE(control<QLabel>(heart, u"MoreInfo"_s)->isVisible(), true);

    click(heart, u"Clear"_s);
    for (const char16_t* name : {u"Gender", u"Chol", u"UnitChol", u"HDL", u"UnitHDL", u"Result"}) {
        const QString controlName = QString::fromUtf16(name);
        QCOMPARE(heart->text(controlName), QString());
    }
    QCOMPARE(heart->moreInfo(), QString());
    QCOMPARE(control<QLabel>(heart, u"MoreInfo"_s)->text(), QString());
    QCOMPARE(control<QLineEdit>(heart, u"Errors"_s)->text(), u"0"_s);
    QVERIFY(!control(heart, u"LDL"_s)->isEnabled()); // states stay

    // The renal window: its own message, its fixed unit labels stay.
    CalculatorWindow* kidney = proceedTo(2, 10);
    typeInto(kidney, u"UrineVolume"_s, u"40000"_s);
    typeInto(kidney, u"UrinePotassium"_s, u"40"_s);
    m_recorder.clear();
    click(kidney, u"Calculate"_s);
    QCOMPARE(m_recorder.messages().size(), 2);
    QCOMPARE(m_recorder.messages().at(0).text, u"Overflow"_s);
    QCOMPARE(m_recorder.messages().at(0).icon, vantor::platform::Icon::Critical);
    QCOMPARE(m_recorder.messages().at(1).text, u"Data entry incomplete. Please re-enter data."_s);
    QCOMPARE(m_recorder.beeps(), 2);
    click(kidney, u"Clear"_s);
    QCOMPARE(kidney->text(u"UrineVolume"_s), QString());
    QCOMPARE(kidney->text(u"UnitUrineVolume"_s), u"ml"_s);
    QCOMPARE(kidney->text(u"UnitSerumPotassium"_s), u"mEq/L or mmol/L"_s);
}

void TestCalcWindows::renalCalciumTitleRunsItsCalculation()
{
    CalculatorWindow* kidney = proceedTo(2, 6);
    QCOMPARE(kidney->title(), u"Renal Calcium to Creatinine Clearance"_s);
    typeInto(kidney, u"SerumCreatinine"_s, u"1"_s);
    typeInto(kidney, u"UnitSerumCreatinine"_s, u"mg/dL"_s);
    typeInto(kidney, u"UrineCreatinine"_s, u"100"_s);
    typeInto(kidney, u"UnitUrineCreatinine"_s, u"mg/dL"_s);
    typeInto(kidney, u"SerumCalcium"_s, u"2.5"_s);
    typeInto(kidney, u"UnitSerumCalcium"_s, u"mmol/L"_s);
    typeInto(kidney, u"UrineCalcium"_s, u"10"_s);
    typeInto(kidney, u"UnitUrineCalcium"_s, u"mg/dL"_s);
    click(kidney, u"Calculate"_s);
    QVERIFY(m_recorder.messages().isEmpty());
    QCOMPARE(kidney->text(u"Result"_s), u"0.01 "_s);

    // Clear All empties the unit combos too, the urine calcium one included.
    click(kidney, u"Clear"_s);
    QCOMPARE(kidney->text(u"UnitUrineCalcium"_s), QString());
    QCOMPARE(kidney->text(u"UnitSerumCreatinine"_s), QString());
}

void TestCalcWindows::moreInfoShowsInterpretation()
{
    CalculatorWindow* kidney = proceedTo(2, 4);
    QVERIFY(!control(kidney, u"MoreInfo"_s)->isVisible());
    // Before any calculation the explanation window opens empty.
    click(kidney, u"MoreInfoButton"_s);
    auto* explain = qobject_cast<ExplainWindow*>(windows().find(u"frmExplain"_s));
    QVERIFY(explain);
    QTRY_VERIFY(explain->isVisible());
    QCOMPARE(explain->explanation(), QString());

    typeInto(kidney, u"Age"_s, u"40"_s);
    typeInto(kidney, u"Weight"_s, u"154"_s);
    typeInto(kidney, u"UnitWeight"_s, u"lbs"_s);
    typeInto(kidney, u"Gender"_s, u"Male"_s);
    typeInto(kidney, u"SerumCreatinine"_s, u"88.4"_s);
    typeInto(kidney, u"UnitSerumCreatinine"_s, u"umol/L"_s);
    click(kidney, u"Calculate"_s);
    QCOMPARE(kidney->text(u"Result"_s), u"97.22 mL/min"_s);
    QCOMPARE(explain->explanation(), QString()); // only More Info copies it
    click(kidney, u"MoreInfoButton"_s);
    QCOMPARE(explain->explanation(), u"Based on GFR, renal function is normal."_s);
    QVERIFY(m_recorder.messages().isEmpty());
}

void TestCalcWindows::lookupsKnowOneNameEach()
{
    ExplainWindow* explain = vantor::calc::LookupExplainForm(u"Explain"_s);
    QVERIFY(explain);
    QCOMPARE(vantor::calc::LookupExplainForm(u"Explain"_s), explain);
    QVERIFY(vantor::calc::LookupKidneyForm(u"Kidney"_s));

    for (const QString& name : {u"explain"_s, u"Kidney"_s, u"frmExplain"_s, QString()}) {
        try {
            vantor::calc::LookupExplainForm(name);
            QFAIL("an unknown name was found");
        } catch (const vantor::Error& error) {
            QCOMPARE(error.number(), -2147190500);
            QCOMPARE(error.description(), u"Form name not in global list"_s);
        }
    }
    QVERIFY_THROWS_EXCEPTION(vantor::Error, vantor::calc::LookupKidneyForm(u"Explain"_s));
    QVERIFY_THROWS_EXCEPTION(vantor::Error, vantor::calc::LookupKidneyForm(u"kidney"_s));
}

void TestCalcWindows::closedWindowLoadsAfresh()
{
    CalculatorWindow* liver = proceedTo(1, 6);
    typeInto(liver, u"TIBC"_s, u"300"_s);
    liver->close();
    QTRY_VERIFY(!windows().find(u"frmLiver"_s));
    liver = proceedTo(1, 6);
    QVERIFY(liver);
    QCOMPARE(liver->text(u"TIBC"_s), QString());
    QCOMPARE(enabledInputs(liver), sorted(u"TIBCLabel TIBC UnitTIBC"_s));
}

void TestCalcWindows::screenshots()
{
    chooseCategory(2);
    clickCalculator(0);
    click(selector(), u"Explain"_s);
    saveScreenshot(windows().find(u"frmExplain"_s), u"frmExplain-amylase"_s);
    clickCalculator(4);
    saveScreenshot(selector(), u"frmMedCalc"_s);

    CalculatorWindow* heart = proceedTo(0, 0);
    typeInto(heart, u"Gender"_s, u"Male"_s);
    typeInto(heart, u"Chol"_s, u"5.2"_s);
    typeInto(heart, u"UnitChol"_s, u"mmol/L"_s);
    typeInto(heart, u"HDL"_s, u"58"_s);
    typeInto(heart, u"UnitHDL"_s, u"mg/dL"_s);
    typeInto(heart, u"LDL"_s, u"129.9"_s);
    typeInto(heart, u"UnitLDL"_s, u"mg/dL"_s);
    click(heart, u"Calculate"_s);
    saveScreenshot(heart, u"frmHeart"_s);
    proceedTo(0, 1);
    click(heart, u"Calculate"_s);
    saveScreenshot(heart, u"frmHeart-ratio"_s);
    QCOMPARE(heart->text(u"Result"_s), u"3.46"_s);

    CalculatorWindow* liver = proceedTo(1, 1);
    typeInto(liver, u"Albumin"_s, u"2"_s);
    typeInto(liver, u"UnitAlbumin"_s, u"g/dL"_s);
    typeInto(liver, u"Globulin"_s, u"40"_s);
    typeInto(liver, u"UnitGlobulin"_s, u"g/L"_s);
    click(liver, u"Calculate"_s);
    saveScreenshot(liver, u"frmLiver"_s);

    CalculatorWindow* kidney = proceedTo(2, 11);
    typeInto(kidney, u"UrineCreatinine"_s, u"8.84"_s);
    typeInto(kidney, u"UnitUrineCreatinine"_s, u"mmol/L"_s);
    typeInto(kidney, u"UrineProtein"_s, u"1"_s);
    click(kidney, u"Calculate"_s);
    saveScreenshot(kidney, u"frmKidney"_s);
    click(kidney, u"MoreInfoButton"_s);
    saveScreenshot(windows().find(u"frmExplain"_s), u"frmExplain"_s);
    QCOMPARE(kidney->text(u"Result"_s), u"1.00"_s);
}

QTEST_MAIN(TestCalcWindows)
#include "tst_calcwindows.moc"
