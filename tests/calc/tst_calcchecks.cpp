#include "CalcRun.h"

#include <QLocale>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using vantor::platform::Icon;

namespace {

const QString incomplete = u"Data entry incomplete"_s;
const QString renalIncomplete = u"Data entry incomplete. Please re-enter data."_s;
const QString ldlHdl = u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s;
const QString crcl = u"Creatinine Clearance Estimated"_s;

QStringList ldlHdlInputs(const QString& hdl, const QString& hdlUnit)
{
    return {u"HDL="_s + hdl, u"UnitHDL="_s + hdlUnit, u"LDL=100"_s, u"UnitLDL=mg/dL"_s};
}

// Everything right but the one assignment given last, which replaces its default.
QStringList clearanceWith(const QString& change)
{
    QStringList inputs = {u"Age=40"_s,      u"Weight=70"_s,         u"UnitWeight=kg"_s,
                          u"Gender=Male"_s, u"SerumCreatinine=1"_s, u"UnitSerumCreatinine=mg/dL"_s};
    const QString control = change.left(change.indexOf(u'=') + 1);
    for (QString& input : inputs) {
        if (input.startsWith(control))
            input = change;
    }
    return inputs;
}

} // namespace

class TestCalcChecks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void faults_data();
    void faults();
    void renalUnitBeeps_data();
    void renalUnitBeeps();
    void correctedInputComputes();
    void unknownTitleDoesNothing();
};

void TestCalcChecks::faults_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QList<Icon>>("icons");

    const QStringList none;
    const QList<Icon> noIcons;
    const QList<Icon> excl = {Icon::Exclamation};
    const QList<Icon> critExcl = {Icon::Critical, Icon::Exclamation};

    QTest::newRow("all right") << ldlHdl << ldlHdlInputs(u"50"_s, u"mg/dL"_s) << 0 << 0 << none
                               << noIcons;
    QTest::newRow("empty") << ldlHdl << ldlHdlInputs({}, u"mg/dL"_s) << 1 << 1
                           << QStringList{incomplete} << excl;
    QTest::newRow("0.4 rounds to 0") << ldlHdl << ldlHdlInputs(u"0.4"_s, u"mg/dL"_s) << 1 << 1
                                     << QStringList{incomplete} << excl;
    QTest::newRow("0.5 rounds to even 0") << ldlHdl << ldlHdlInputs(u"0.5"_s, u"mg/dL"_s) << 1 << 1
                                          << QStringList{incomplete} << excl;
    QTest::newRow("0.6 passes") << ldlHdl << ldlHdlInputs(u"0.6"_s, u"mg/dL"_s) << 0 << 0 << none
                                << noIcons;
    QTest::newRow("1.5 passes") << ldlHdl << ldlHdlInputs(u"1.5"_s, u"mg/dL"_s) << 0 << 0 << none
                                << noIcons;
    QTest::newRow("negative") << ldlHdl << ldlHdlInputs(u"-5"_s, u"mg/dL"_s) << 1 << 1
                              << QStringList{incomplete} << excl;
    QTest::newRow("letters") << ldlHdl << ldlHdlInputs(u"abc"_s, u"mg/dL"_s) << 1 << 2
                             << QStringList{u"Type mismatch"_s, incomplete} << critExcl;
    QTest::newRow("40000 overflows") << ldlHdl << ldlHdlInputs(u"40000"_s, u"mg/dL"_s) << 1 << 2
                                     << QStringList{u"Overflow"_s, incomplete} << critExcl;
    QTest::newRow("32767 passes") << ldlHdl << ldlHdlInputs(u"32767"_s, u"mg/dL"_s) << 0 << 0
                                  << none << noIcons;
    QTest::newRow("unit in capitals beeps")
        << ldlHdl << ldlHdlInputs(u"50"_s, u"MG/DL"_s) << 1 << 2 << QStringList{incomplete} << excl;
    QTest::newRow("unit left empty beeps")
        << ldlHdl << ldlHdlInputs(u"50"_s, {}) << 1 << 2 << QStringList{incomplete} << excl;
    QTest::newRow("bad value hides the unit test")
        << ldlHdl << ldlHdlInputs(u"0"_s, u"x"_s) << 1 << 1 << QStringList{incomplete} << excl;
    QTest::newRow("every check runs")
        << u"Cholesterol Level Interpretation"_s
        << QStringList{u"Gender=male"_s,   u"Chol=abc"_s, u"UnitChol=mg/dL"_s, u"HDL="_s,
                       u"UnitHDL=mg/dL"_s, u"LDL=100"_s,  u"UnitLDL=mmol"_s}
        << 4 << 3 << QStringList{u"Type mismatch"_s, incomplete} << critExcl;
    QTest::newRow("liver unit word from another input")
        << u"Serum Albumin-to-Globulin Ratio"_s
        << QStringList{u"Albumin=4"_s, u"UnitAlbumin=mg/dL"_s, u"Globulin=2"_s,
                       u"UnitGlobulin=g/dL"_s}
        << 1 << 2 << QStringList{incomplete} << excl;
    QTest::newRow("fixed unit, no unit test")
        << u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s << QStringList{u"AST=40"_s, u"ALT=20"_s} << 0 << 0
        << none << noIcons;

    QTest::newRow("renal age empty")
        << crcl << clearanceWith(u"Age="_s) << 1 << 1 << QStringList{renalIncomplete} << excl;
    QTest::newRow("renal age 0.4")
        << crcl << clearanceWith(u"Age=0.4"_s) << 1 << 1 << QStringList{renalIncomplete} << excl;
    QTest::newRow("renal age letters")
        << crcl << clearanceWith(u"Age=ab"_s) << 1 << 2
        << QStringList{u"Type mismatch"_s, renalIncomplete} << critExcl;
    QTest::newRow("renal gender in other capitals, no beep")
        << crcl << clearanceWith(u"Gender=MALE"_s) << 1 << 1 << QStringList{renalIncomplete}
        << excl;
    QTest::newRow("urine volume 40000")
        << u"Urinary Potassium Excretion Rate"_s
        << QStringList{u"UrineVolume=40000"_s, u"UrinePotassium=40"_s} << 1 << 2
        << QStringList{u"Overflow"_s, renalIncomplete} << critExcl;
}

void TestCalcChecks::faults()
{
    QFETCH(QString, title);
    QFETCH(QStringList, inputs);
    QFETCH(int, errors);
    QFETCH(int, beeps);
    QFETCH(QStringList, messages);
    QFETCH(QList<Icon>, icons);

    const CalcRun run = runCalculation(title, inputs);
    QVERIFY(run.selected);
    QCOMPARE(run.errorCount, errors);
    QCOMPARE(run.beeps, beeps);
    QCOMPARE(run.messageTexts(), messages);
    QList<Icon> shownIcons;
    for (const auto& message : run.messages) {
        shownIcons.append(message.icon);
        QCOMPARE(message.title, u"Vantor"_s);
    }
    QCOMPARE(shownIcons, icons);
    // Nothing is computed when a check failed.
    QCOMPARE(run.result.has_value() || run.moreInfo.has_value(), errors == 0);
}

void TestCalcChecks::renalUnitBeeps_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<int>("beeps"); // including the one of the incomplete-data message

    QTest::newRow("weight Kg, silent") << crcl << clearanceWith(u"UnitWeight=Kg"_s) << 1;
    QTest::newRow("serum creatinine UMOL/L beeps")
        << crcl << clearanceWith(u"UnitSerumCreatinine=UMOL/L"_s) << 2;
    const QStringList calcium = {u"SerumCreatinine=1"_s,   u"UnitSerumCreatinine=mg/dL"_s,
                                 u"UrineCreatinine=100"_s, u"UnitUrineCreatinine=mg/dL"_s,
                                 u"SerumCalcium=10"_s,     u"UnitSerumCalcium=mg/dL"_s,
                                 u"UrineCalcium=10"_s,     u"UnitUrineCalcium=mg/dL"_s};
    const QString ca = u"Renal Calcium to Creatinine Clearance"_s;
    QTest::newRow("urine creatinine, silent")
        << ca << QStringList(calcium) + QStringList{u"UnitUrineCreatinine=umol/L"_s} << 1;
    QTest::newRow("urine calcium, silent")
        << ca << QStringList(calcium) + QStringList{u"UnitUrineCalcium=MMOL/L"_s} << 1;
    QTest::newRow("serum calcium beeps")
        << ca << QStringList(calcium) + QStringList{u"UnitSerumCalcium=mg/dl"_s} << 2;
    QTest::newRow("serum phosphorus beeps")
        << u"Phosphorus Clearance Estimated"_s
        << QStringList{u"Age=40"_s,      u"Weight=70"_s,           u"UnitWeight=kg"_s,
                       u"Gender=Male"_s, u"SerumPhosphorus=1.2"_s, u"UnitSerumPhosphorus=mmol"_s}
        << 2;
    const QStringList ureaInputs = {u"SerumCreatinine=1"_s,  u"UnitSerumCreatinine=mg/dL"_s,
                                    u"UrineCreatinine=30"_s, u"UnitUrineCreatinine=mg/dL"_s,
                                    u"SerumUrea=20"_s,       u"UnitSerumUrea=mg/dL"_s,
                                    u"UrineUrea=100"_s,      u"UnitUrineUrea=mg/dL"_s};
    const QString ureaTitle = u"Urea Nitrogen and Creatinine Ratios"_s;
    QTest::newRow("serum urea beeps")
        << ureaTitle << QStringList(ureaInputs) + QStringList{u"UnitSerumUrea=mg"_s} << 2;
    QTest::newRow("urine urea beeps")
        << ureaTitle << QStringList(ureaInputs) + QStringList{u"UnitUrineUrea=mg"_s} << 2;
    QTest::newRow("serum urate beeps")
        << u"Uric Acid-to-Creatinine Ratio"_s
        << QStringList{u"SerumCreatinine=1"_s, u"UnitSerumCreatinine=mg/dL"_s, u"SerumUrate=5"_s,
                       u"UnitSerumUrate=mmol/L"_s}
        << 2;
}

void TestCalcChecks::renalUnitBeeps()
{
    QFETCH(QString, title);
    QFETCH(QStringList, inputs);
    QFETCH(int, beeps);

    // Later assignments replace earlier ones, as typing over a unit would.
    const CalcRun run = runCalculation(title, inputs);
    QCOMPARE(run.errorCount, 1);
    QCOMPARE(run.beeps, beeps);
    QCOMPARE(run.messageTexts(), QStringList{renalIncomplete});
}

void TestCalcChecks::correctedInputComputes()
{
    // The fault count starts afresh at each Calculate: once the input is put
    // right, the same form computes without Clear All.
    vantor::calc::FormValues form;
    fillForm(form, ldlHdlInputs(u"abc"_s, u"mg/dL"_s));
    const auto kind = vantor::calc::CalculatorKind::Heart;
    CalcRun run = runCalculation(form, ldlHdl, kind);
    QCOMPARE(run.errorCount, 1);
    QVERIFY(!run.result);

    fillForm(form, ldlHdlInputs(u"50"_s, u"mg/dL"_s));
    run = runCalculation(form, ldlHdl, kind);
    QCOMPARE(run.errorCount, 0);
    QCOMPARE(run.messageTexts(), QStringList());
    QCOMPARE(run.result.value_or(QString()), u"2.00"_s);
}

void TestCalcChecks::unknownTitleDoesNothing()
{
    // Titles compare exactly, with case; the list item is not a title.
    for (const QString& title : {u"transferrin"_s, u"Transferrin Calculated"_s, QString()}) {
        vantor::calc::FormValues form;
        const CalcRun run = runCalculation(form, title, vantor::calc::CalculatorKind::Liver);
        QVERIFY(!run.selected);
        QVERIFY(run.messages.isEmpty());
        QCOMPARE(run.beeps, 0);
        QVERIFY(!run.result);
    }
}

QTEST_GUILESS_MAIN(TestCalcChecks)
#include "tst_calcchecks.moc"
