#include "calc/CalcWindows.h"
#include "calc/CalculatorWindow.h"
#include "calc/ExplainWindow.h"
#include "platform/RecordingUi.h"
#include "support/TestSupport.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
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
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(index)).center());
}

void click(QWidget* window, const QString& button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

ExplainWindow* explainWindow()
{
    return qobject_cast<ExplainWindow*>(windows().find(u"frmExplain"_s));
}

CalculatorWindow* proceedTo(int category, int index)
{
    chooseCategory(category);
    clickCalculator(index);
    click(selector(), u"Proceed"_s);
    const QString names[] = {u"frmHeart"_s, u"frmLiver"_s, u"frmKidney"_s};
    return qobject_cast<CalculatorWindow*>(windows().find(names[category]));
}

// Types "Control=text" words into text boxes and editable combos, as the user would.
void typeAll(QWidget* window, const QString& words)
{
    for (const QString& word : words.split(u' ')) {
        QWidget* target = control(window, word.section(u'=', 0, 0));
        if (auto* combo = qobject_cast<QComboBox*>(target))
            target = combo->lineEdit();
        QTest::keyClicks(target, word.section(u'=', 1));
    }
}

// The inputs the user can reach: an input whose caption, box and unit are all
// enabled by its name alone, any other enabled part by its own name.
QString enabledInputs(CalculatorWindow* window)
{
    QStringList names;
    const auto labels = window->findChildren<QLabel*>(QRegularExpression(u"Labell?$"_s));
    for (QLabel* label : labels) {
        const QString name = label->objectName().section(u"Label"_s, 0, 0);
        QWidget* field = window->findChild<QWidget*>(name);
        if (!field)
            continue; // a heading
        QWidget* unit = window->findChild<QWidget*>(u"Unit"_s + name);
        const QList<QWidget*> parts = {label, field, unit ? unit : field};
        if (std::all_of(parts.begin(), parts.end(), [](QWidget* w) { return w->isEnabled(); })) {
            names << name;
            continue;
        }
        for (QWidget* part : parts) {
            if (part->isEnabled() && !names.contains(part->objectName()))
                names << part->objectName();
        }
    }
    names.sort();
    return names.join(u' ');
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
    void proceedPreparesAndRestoresWindows();
    void calculateClearAndRecount();
    void moreInfoShowsInterpretation();
    void noStaleOutputUnderAnotherTitle();

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
    auto* list = control<QListWidget>(medCalc, u"SubCat"_s);
    const auto usable = [medCalc] { // of Explain and Proceed
        return int(control(medCalc, u"Explain"_s)->isEnabled()) +
               int(control(medCalc, u"Proceed"_s)->isEnabled());
    };
    QCOMPARE(medCalc->windowTitle(), u"Medical Calculator"_s);
    QCOMPARE(control<QComboBox>(medCalc, u"Category"_s)->currentIndex(), -1);
    QCOMPARE(list->count() + usable(), 0);
    for (int category : {0, 1, 2, 0}) {
        chooseCategory(category); // a new category takes the choice away
        QCOMPARE(usable(), 0);
        clickCalculator(list->count() - 1);
        QCOMPARE(usable(), 2);
    }
}

void TestCalcWindows::explainReplacesTextInOneWindow()
{
    chooseCategory(1);
    clickCalculator(3);
    click(selector(), u"Explain"_s);
    ExplainWindow* explain = explainWindow();
    QVERIFY(explain);
    QTRY_VERIFY(explain->isVisible());
    QCOMPARE(explain->windowTitle(), u"Explanation"_s);
    QVERIFY(explain->explanation().startsWith(u"Ferritin consists of a protein shell"_s));

    chooseCategory(2);
    clickCalculator(4);
    click(selector(), u"Explain"_s);
    QCOMPARE(explainWindow(), explain);
    QVERIFY(control<QLabel>(explain, u"Explanation"_s)
                ->text()
                .startsWith(u"The glomerular filtration rate (GFR) reflects"_s));
    const auto tops = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(tops.begin(), tops.end(),
                           [](QWidget* w) { return w->objectName() == u"frmExplain"_s; }),
             1);
}

void TestCalcWindows::proceedPreparesAndRestoresWindows()
{
    // Each calculator's window as Proceed leaves it: title, reachable inputs,
    // a visible result box, the renal window's More Info button.
    const struct
    {
        int category, index;
        QString title, inputs;
        bool result, moreInfo;
    } designs[] = {
        {0, 0, u"Cholesterol Level Interpretation"_s, u"Chol Gender HDL LDL"_s, false, false},
        {0, 1, u"Total Cholesterol-to-HDL Cholesterol Ratio"_s, u"Chol Gender HDL"_s, true, false},
        {0, 2, u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s, u"CholLabel GenderLabel HDL LDL"_s,
         true, false},
        {0, 3, u"Adult Treatment Panel III Classification"_s, u"Chol GenderLabel HDL LDL"_s, false,
         false},
        {1, 0, u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s, u"ALT AST"_s, true, false},
        {1, 1, u"Serum Albumin-to-Globulin Ratio"_s, u"Albumin Globulin"_s, true, false},
        {1, 2, u"Serum Direct -to- Total Bilirubin Ratio"_s, u"BilirubinDirect BilirubinTotal"_s,
         true, false},
        {1, 3, u"Serum Ferritin and Estimate of Iron Stores"_s, u"Ferritin"_s, false, false},
        {1, 4, u"Serum Transferrin Saturation"_s, u"Iron TIBC"_s, true, false},
        {1, 5, u"Total Iron Binding Capacity (TIBC)"_s, u"Transferrin"_s, true, false},
        {1, 6, u"Transferrin"_s, u"TIBC"_s, true, false},
        {2, 0, u"Amylase Clearance to Creatinine Clearance"_s,
         u"SerumAmylase SerumCreatinine UrineAmylase UrineCreatinine"_s, true, true},
        {2, 1, u"Creatinine Clearance Estimated"_s, u"Age Gender SerumCreatinine Weight"_s, true,
         true},
        {2, 2, u"Fractional Potassium Excretion"_s,
         u"SerumCreatinine SerumPotassium UrineCreatinine UrinePotassium"_s, true, false},
        {2, 3, u"Fractional Sodium Excretion"_s,
         u"SerumCreatinine SerumSodium UrineCreatinine UrineSodium"_s, true, false},
        {2, 4, u"Glomerular Filtration Rate (GFR)"_s, u"Age Gender SerumCreatinine Weight"_s, true,
         true},
        {2, 5, u"Phosphorus Clearance Estimated"_s,
         u"SerumPhosphorus UrinePhosphorus UrineVolume"_s, true, false},
        {2, 6, u"Renal Calcium to Creatinine Clearance"_s,
         u"SerumCalcium SerumCreatinine UrineCalcium UrineCreatinine"_s, true, false},
        {2, 7, u"Renal Failure Index (RFI)"_s, u"SerumCreatinine UrineCreatinine UrineSodium"_s,
         true, false},
        {2, 8, u"Urea Nitrogen and Creatinine Ratios"_s,
         u"SerumCreatinine SerumUrea UrineCreatinine UrineUrea"_s, true, true},
        {2, 9, u"Uric Acid-to-Creatinine Ratio"_s, u"UrineCreatinine UrineUrate"_s, true, true},
        {2, 10, u"Urinary Potassium Excretion Rate"_s, u"UrinePotassium UrineVolume"_s, true, true},
        {2, 11, u"Urine Protein to Urine Creatinine Ratio"_s, u"UrineCreatinine UrineProtein"_s,
         true, true},
    };
    // Forward, then back: every design is reached from its neighbours on
    // both sides in an open window, and must undo what they changed.
    const int count = int(std::size(designs));
    for (int step = 0; step < 2 * count; ++step) {
        const auto& d = designs[step < count ? step : 2 * count - 1 - step];
        CalculatorWindow* window = proceedTo(d.category, d.index);
        QVERIFY(window);
        QTRY_VERIFY(window->isVisible());
        auto* moreInfo = window->findChild<QWidget*>(u"MoreInfoButton"_s);
        const QString state = window->windowTitle() + u" | "_s + enabledInputs(window) +
                              (control(window, u"Result"_s)->isVisible() ? u" | result"_s : u""_s) +
                              (moreInfo && moreInfo->isVisible() ? u" | more info"_s : u""_s);
        QCOMPARE(state, d.title + u" | "_s + d.inputs + (d.result ? u" | result"_s : u""_s) +
                            (d.moreInfo ? u" | more info"_s : u""_s));
        QCOMPARE(control<QLabel>(window, u"TitleLabel"_s)->text(), d.title);
        QVERIFY(!(window->windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(control<QLineEdit>(window, u"Errors"_s)->text(), u"0"_s);
        QVERIFY(!control(window, u"Errors"_s)->isVisible());
        QVERIFY(selector()->isVisible()); // open for the next choice
    }
}

void TestCalcWindows::calculateClearAndRecount()
{
    CalculatorWindow* heart = proceedTo(0, 1);
    // A letter O, not a zero.
    typeAll(heart, u"Gender=Male Chol=200 UnitChol=mg/dL HDL=5O UnitHDL=mg/dL"_s);
    click(heart, u"Calculate"_s);
    QCOMPARE(m_recorder.messages().value(0).text, u"Type mismatch"_s);
    QCOMPARE(m_recorder.messages().value(1).text, u"Data entry incomplete"_s);
    QCOMPARE(heart->text(u"Errors"_s), u"1"_s);
    QCOMPARE(heart->text(u"Result"_s), QString());

    // Put right, the same values compute without Clear All.
    m_recorder.clear();
    control<QLineEdit>(heart, u"HDL"_s)->clear();
    typeAll(heart, u"HDL=50"_s);
    click(heart, u"Calculate"_s);
    QVERIFY(m_recorder.messages().isEmpty());
    QCOMPARE(heart->text(u"Errors"_s), u"0"_s);
    QCOMPARE(heart->text(u"Result"_s), u"4.00"_s);
    QVERIFY(heart->moreInfo().startsWith(u"The risk of coronary artery disease is 50%"_s));
    QVERIFY(control(heart, u"MoreInfo"_s)->isVisible());

    click(heart, u"Clear"_s);
    for (const QString& name : {u"Gender"_s, u"Chol"_s, u"UnitChol"_s, u"HDL"_s, u"UnitHDL"_s})
        QCOMPARE(heart->text(name), QString());
    QCOMPARE(heart->text(u"Result"_s), QString());
    QCOMPARE(heart->moreInfo(), QString());
    QCOMPARE(control<QLabel>(heart, u"MoreInfo"_s)->text(), QString());
    QVERIFY(!control(heart, u"LDL"_s)->isEnabled()); // the design stays

    // The renal window runs the calcium title, whose list item differs; Clear
    // All empties every unit combo and keeps the fixed unit labels.
    CalculatorWindow* kidney = proceedTo(2, 6);
    typeAll(kidney, u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UrineCreatinine=100 "
                    u"UnitUrineCreatinine=mg/dL SerumCalcium=2.5 UnitSerumCalcium=mmol/L "
                    u"UrineCalcium=10 UnitUrineCalcium=mg/dL"_s);
    click(kidney, u"Calculate"_s);
    QVERIFY(m_recorder.messages().isEmpty());
    QCOMPARE(kidney->text(u"Result"_s), u"0.0100 "_s);
    click(kidney, u"Clear"_s);
    for (const QString& name : {u"UnitUrineCalcium"_s, u"UnitSerumCalcium"_s,
                                u"UnitSerumCreatinine"_s, u"UrineCalcium"_s, u"Result"_s})
        QCOMPARE(kidney->text(name), QString());
    QCOMPARE(kidney->text(u"UnitUrineVolume"_s), u"ml"_s);
    QCOMPARE(kidney->text(u"UnitSerumPotassium"_s), u"mEq/L or mmol/L"_s);
}

void TestCalcWindows::moreInfoShowsInterpretation()
{
    CalculatorWindow* kidney = proceedTo(2, 4);
    QVERIFY(!control(kidney, u"MoreInfo"_s)->isVisible());
    // Before any calculation the explanation window opens empty.
    click(kidney, u"MoreInfoButton"_s);
    ExplainWindow* explain = explainWindow();
    QVERIFY(explain);
    QTRY_VERIFY(explain->isVisible());
    QCOMPARE(explain->explanation(), QString());

    typeAll(kidney, u"Age=40 Weight=154 UnitWeight=lbs Gender=Male SerumCreatinine=88.4 "
                    u"UnitSerumCreatinine=umol/L"_s);
    click(kidney, u"Calculate"_s);
    QCOMPARE(kidney->text(u"Result"_s), u"97.22 mL/min"_s);
    QCOMPARE(explain->explanation(), QString()); // only More Info copies it
    click(kidney, u"MoreInfoButton"_s);
    QCOMPARE(explain->explanation(), u"Based on GFR, renal function is normal."_s);
    QVERIFY(m_recorder.messages().isEmpty());
}

void TestCalcWindows::noStaleOutputUnderAnotherTitle()
{
    CalculatorWindow* kidney = proceedTo(2, 1);
    typeAll(kidney, u"Age=40 Weight=70 UnitWeight=kg Gender=Male SerumCreatinine=1 "
                    u"UnitSerumCreatinine=mg/dL"_s);
    click(kidney, u"Calculate"_s);
    QCOMPARE(kidney->text(u"Result"_s), u"97.22 mL/min"_s);

    // Another calculator in the open window starts with nothing shown.
    QCOMPARE(proceedTo(2, 3), kidney);
    QCOMPARE(kidney->windowTitle(), u"Fractional Sodium Excretion"_s);
    QCOMPARE(kidney->text(u"Result"_s), QString());
    QCOMPARE(proceedTo(2, 9), kidney);
    click(kidney, u"MoreInfoButton"_s);
    QCOMPARE(explainWindow()->explanation(), QString());

    // The new urine inputs compute; proceeding to the same calculator keeps its answer.
    typeAll(kidney,
            u"UrineCreatinine=100 UnitUrineCreatinine=mg/dL UrineUrate=40 UnitUrineUrate=mg/dL"_s);
    click(kidney, u"Calculate"_s);
    QCOMPARE(kidney->text(u"Result"_s), u"0.40"_s);
    testsupport::screenshot(kidney, u"frmKidney-urate"_s);
    proceedTo(2, 9);
    QCOMPARE(kidney->text(u"Result"_s), u"0.40"_s);
    click(kidney, u"MoreInfoButton"_s);
    QVERIFY(explainWindow()->explanation().startsWith(u"Ratios below 1.0"_s));

    // A refused Calculate takes the earlier answer away too.
    control<QLineEdit>(kidney, u"UrineUrate"_s)->clear();
    click(kidney, u"Calculate"_s);
    QCOMPARE(m_recorder.messages().value(0).text,
             u"Data entry incomplete. Please re-enter data."_s);
    QCOMPARE(kidney->text(u"Result"_s), QString());
    click(kidney, u"MoreInfoButton"_s);
    QCOMPARE(explainWindow()->explanation(), QString());
}

QTEST_MAIN(TestCalcWindows)
#include "tst_calcwindows.moc"
