#include "CalcRun.h"

#include <QLocale>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString gfrNormal = u"Based on GFR, renal function is normal."_s;
const QString gfrSlightly = u"Based on GFR, renal function is slightly impaired."_s;
const QString gfrMildly = u"Based on GFR, renal function is mildly impaired."_s;
const QString gfrModerately = u"Based on GFR, renal function is moderately impaired."_s;
const QString gfrSeverely = u"Based on GFR, renal function is severely impaired."_s;

const QString amylaseNormal = u"Amylase Clearance -to- Creatinine Clearance appear normal."_s;
const QString amylaseHigh =
    u"The result indicates acute pancreatitis but may also occur in burns, diabetic ketoacidosis, acute defects in renal tubular function, severe renal insufficiency, dudodenal perforation, and pancreatic cancer. "_s;
const QString amylaseLow =
    u"The result indicates macroamylasemia (polymerization of amylase to amylase or to immunoglobulins."_s;

const QString urateAbove =
    u"Ratios above 1.0 are seen in most patients with acute renal failure due to hyperuricemia."_s;
const QString urateBelow =
    u"Ratios below 1.0 are seen in patients with acute renal failure due to other causes."_s;

const QString potassium =
    u"An excretion rate more than 20 mEq/24 hours implies potassium 'wastage' (inadequate potassium conservation)."_s;

const QString proteinHealthy = u"Ratio is that of a healthy person."_s;
const QString proteinTrace = u"Ratio indicates trace proteinuria."_s;
const QString proteinLow = u"Ratio indicates low grade proteinuria."_s;
const QString proteinModerate = u"Ratio indicates moderate proteinuria"_s;
const QString proteinNephrotic = u"Ratio indicates nephrotic syndrome."_s;

const QString ureaMoreInfo =
    u"The first number represents the BUN to Creatinine ratio.\r\rThe second number represents the Creatinine to Creatinine ratio.\r\rThe third number represents the BUN to BUN ratio."_s;
const QString bunElevated =
    u"The BUN-creatinine ratio is elevated, perhaps due to prerenal azotemia, postrenal azotemia, catabolic state with reduced muscle mass, drug (tetracycline glucocorticoid) effects, impaired renal function with urine reabsorption for example with ureterocolostomy, impaired renal function with excess protein intake/production or with excess tissue breakdown as may occur with GI bleeding thyrotoxicosis infection Cushing's syndrome surgery burns cachexia high fever or high protein diet."_s;
const QString bunGiBleeding = u"The BUN-creatinine ratio suggests upper GI bleeding."_s;
const QString bunLow =
    u"The BUN-creatinine ratio is low, perhaps due to renal dialysis, acute tubular necrosis, low protein diet or starvation, syndrome of inappropriate ADH secretion, pregnancy, severe liver disease, inherited hyperammonemia."_s;
const QString creatinineElevated =
    u"The elevated creatinine ratio is perhaps due to prerenal azotemia, acute glomerulonephritis, or hepatorenal syndrome."_s;
const QString creatinineLow =
    u"The low creatinine ratio is perhaps due to acute tubular necrosis (acute oliguric renal failure), acute obstructive renal failure, or acute nonoliguric renal failure."_s;
const QString ureaElevated =
    u"The elevated urea ratio is due to acute tubular necrosis (acute oliguric renal failure)."_s;
const QString ureaLow =
    u"The low urea ratio is perhaps due to prerenal azotemia, acute obstructive renal failure, or acute glomerulonephritis."_s;

QStringList clearance(const QString& age, const QString& weight, const QString& weightUnit,
                      const QString& gender, const QString& creatinine,
                      const QString& creatinineUnit)
{
    return {u"Age="_s + age,
            u"Weight="_s + weight,
            u"UnitWeight="_s + weightUnit,
            u"Gender="_s + gender,
            u"SerumCreatinine="_s + creatinine,
            u"UnitSerumCreatinine="_s + creatinineUnit};
}

QStringList maleClearance(const QString& age, const QString& weight)
{
    return clearance(age, weight, u"kg"_s, u"Male"_s, u"1"_s, u"mg/dL"_s);
}

QStringList creatinines(const QString& serum, const QString& urine)
{
    return {u"SerumCreatinine="_s + serum, u"UnitSerumCreatinine=mg/dL"_s,
            u"UrineCreatinine="_s + urine, u"UnitUrineCreatinine=mg/dL"_s};
}

QStringList amylase(const QString& serum, const QString& urine)
{
    return creatinines(u"1"_s, u"100"_s) +
           QStringList{u"SerumAmylase="_s + serum, u"UrineAmylase="_s + urine};
}

QStringList protein(const QString& value, const QString& creatinine, const QString& unit)
{
    return {u"UrineProtein="_s + value, u"UrineCreatinine="_s + creatinine,
            u"UnitUrineCreatinine="_s + unit};
}

QStringList urea(const QString& serumUrea, const QString& urineCreatinine, const QString& urineUrea)
{
    return creatinines(u"1"_s, urineCreatinine) +
           QStringList{u"SerumUrea="_s + serumUrea, u"UnitSerumUrea=mg/dL"_s,
                       u"UrineUrea="_s + urineUrea, u"UnitUrineUrea=mg/dL"_s};
}

QString ureaMessage(const QString& r1, const QString& r2, const QString& r3, const QString& t1,
                    const QString& t2, const QString& t3)
{
    return u"Serum BUN to Serum Creatinine ratio: "_s + r1 +
           u"\rUrine Creatinine to Serum Creatinine: "_s + r2 +
           u"\rUrine BUN to Serum BUN ratio: "_s + r3 + u"\r\r"_s + t1 + u"\r\r"_s + t2 +
           u"\r\r"_s + t3;
}

} // namespace

class TestCalcRenal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void calculations_data();
    void calculations();
    void ureaRatios_data();
    void ureaRatios();
};

void TestCalcRenal::calculations_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("moreInfo");

    const QString crcl = u"Creatinine Clearance Estimated"_s;
    const QString gfr = u"Glomerular Filtration Rate (GFR)"_s;
    QTest::newRow("crcl male") << crcl << maleClearance(u"40"_s, u"70"_s) << u"97.22 mL/min"_s
                               << gfrNormal;
    QTest::newRow("crcl female divides by 85")
        << crcl << clearance(u"40"_s, u"70"_s, u"kg"_s, u"Female"_s, u"1.0"_s, u"mg/dL"_s)
        << u"82.35 mL/min"_s << gfrNormal;
    QTest::newRow("crcl in lbs and umol/L")
        << crcl << clearance(u"40"_s, u"154"_s, u"lbs"_s, u"Male"_s, u"88.4"_s, u"umol/L"_s)
        << u"97.22 mL/min"_s << gfrNormal;
    QTest::newRow("gfr runs the same estimate")
        << gfr << maleClearance(u"40"_s, u"70"_s) << u"97.22 mL/min"_s << gfrNormal;
    QTest::newRow("age above 140")
        << gfr << maleClearance(u"150"_s, u"70"_s) << u"-9.72 mL/min"_s << gfrSeverely;
    // (140 - age) x weight / 72 with a serum creatinine of 1: the band edges.
    QTest::newRow("gfr 80.00 closes the gap")
        << gfr << maleClearance(u"60"_s, u"72"_s) << u"80.00 mL/min"_s << gfrSlightly;
    QTest::newRow("gfr 62.50") << gfr << maleClearance(u"40"_s, u"45"_s) << u"62.50 mL/min"_s
                               << gfrSlightly;
    QTest::newRow("gfr 52") << gfr << maleClearance(u"88"_s, u"72"_s) << u"52.00 mL/min"_s
                            << gfrSlightly;
    QTest::newRow("gfr 51") << gfr << maleClearance(u"89"_s, u"72"_s) << u"51.00 mL/min"_s
                            << gfrMildly;
    QTest::newRow("gfr 42") << gfr << maleClearance(u"98"_s, u"72"_s) << u"42.00 mL/min"_s
                            << gfrMildly;
    QTest::newRow("gfr 28") << gfr << maleClearance(u"112"_s, u"72"_s) << u"28.00 mL/min"_s
                            << gfrModerately;
    QTest::newRow("gfr 27") << gfr << maleClearance(u"113"_s, u"72"_s) << u"27.00 mL/min"_s
                            << gfrSeverely;
    QTest::newRow("gfr 81") << gfr << maleClearance(u"59"_s, u"72"_s) << u"81.00 mL/min"_s
                            << gfrNormal;

    const QString amy = u"Amylase Clearance to Creatinine Clearance"_s;
    QTest::newRow("amylase ratio 5")
        << amy << amylase(u"100"_s, u"500"_s) << u"5.00 %"_s << amylaseNormal;
    QTest::newRow("amylase ratio 1")
        << amy << amylase(u"100"_s, u"100"_s) << u"1.00 %"_s << amylaseNormal;
    QTest::newRow("amylase ratio 6")
        << amy << amylase(u"100"_s, u"600"_s) << u"6.00 %"_s << amylaseHigh;
    QTest::newRow("amylase ratio 0.5")
        << amy << amylase(u"100"_s, u"50"_s) << u"0.50 %"_s << amylaseLow;
    QTest::newRow("amylase, urine creatinine in mmol/L")
        << amy << QStringList{u"SerumCreatinine=1"_s,    u"UnitSerumCreatinine=mg/dL"_s,
                              u"UrineCreatinine=8.84"_s, u"UnitUrineCreatinine=mmol/L"_s,
                              u"SerumAmylase=100"_s,     u"UrineAmylase=500"_s}
        << u"5.00 %"_s << amylaseNormal;

    // No interpretation of their own: nothing is left from an earlier one.
    QTest::newRow("potassium excretion fraction")
        << u"Fractional Potassium Excretion"_s
        << creatinines(u"1"_s, u"100"_s) +
               QStringList{u"SerumPotassium=4"_s, u"UrinePotassium=40"_s}
        << u"0.10 "_s << QString();
    QTest::newRow("sodium excretion fraction")
        << u"Fractional Sodium Excretion"_s
        << creatinines(u"1"_s, u"100"_s) + QStringList{u"SerumSodium=140"_s, u"UrineSodium=20"_s}
        << u"0.14 % FE-Na"_s << QString();
    QTest::newRow("phosphorus clearance")
        << u"Phosphorus Clearance Estimated"_s
        << QStringList{u"Age=40"_s,      u"Weight=70"_s,         u"UnitWeight=kg"_s,
                       u"Gender=Male"_s, u"SerumPhosphorus=1"_s, u"UnitSerumPhosphorus=mg/dL"_s}
        << u"97.22 mL/min"_s << QString();
    QTest::newRow("phosphorus 1.2 mmol/L")
        << u"Phosphorus Clearance Estimated"_s
        << QStringList{u"Age=40"_s,      u"Weight=70"_s,           u"UnitWeight=kg"_s,
                       u"Gender=Male"_s, u"SerumPhosphorus=1.2"_s, u"UnitSerumPhosphorus=mmol/L"_s}
        << u"26.17 mL/min"_s << QString();
    QTest::newRow("calcium clearance ratio")
        << u"Renal Calcium to Creatinine Clearance"_s
        << creatinines(u"1"_s, u"100"_s) +
               QStringList{u"SerumCalcium=2.5"_s, u"UnitSerumCalcium=mmol/L"_s,
                           u"UrineCalcium=10"_s, u"UnitUrineCalcium=mg/dL"_s}
        << u"0.01 "_s << QString();
    QTest::newRow("renal failure index")
        << u"Renal Failure Index (RFI)"_s
        << creatinines(u"1"_s, u"100"_s) + QStringList{u"UrineSodium=20"_s} << u"0.20 mEq/L"_s
        << QString();

    const QString urate = u"Uric Acid-to-Creatinine Ratio"_s;
    const auto urateIn = [](const char16_t* value, const char16_t* unit) {
        return QStringList{u"SerumCreatinine=5"_s, u"UnitSerumCreatinine=mg/dL"_s,
                           u"SerumUrate="_s + QString::fromUtf16(value),
                           u"UnitSerumUrate="_s + QString::fromUtf16(unit)};
    };
    QTest::newRow("urate ratio exactly 1")
        << urate << urateIn(u"5", u"mg/dL") << u"1.00"_s << urateBelow;
    QTest::newRow("urate in umol/L")
        << urate << urateIn(u"297.4", u"umol/L") << u"1.00"_s << urateBelow;
    QTest::newRow("urate ratio 1.2") << urate << urateIn(u"6", u"mg/dL") << u"1.20"_s << urateAbove;

    QTest::newRow("potassium per 24 hours")
        << u"Urinary Potassium Excretion Rate"_s
        << QStringList{u"UrinePotassium=40"_s, u"UrineVolume=1500"_s} << u"60.00 mEq/24 "_s
        << potassium;

    const QString ratio = u"Urine Protein to Urine Creatinine Ratio"_s;
    QTest::newRow("protein 0.5") << ratio << protein(u"1"_s, u"200"_s, u"mg/dL"_s) << u"0.50"_s
                                 << proteinLow;
    QTest::newRow("protein 0.05") << ratio << protein(u"1"_s, u"2000"_s, u"mg/dL"_s) << u"0.05"_s
                                  << proteinHealthy;
    QTest::newRow("protein 0.1") << ratio << protein(u"1"_s, u"1000"_s, u"mg/dL"_s) << u"0.10"_s
                                 << proteinTrace;
    QTest::newRow("protein 0.2") << ratio << protein(u"1"_s, u"500"_s, u"mg/dL"_s) << u"0.20"_s
                                 << proteinLow;
    QTest::newRow("protein 1.0") << ratio << protein(u"1"_s, u"100"_s, u"mg/dL"_s) << u"1.00"_s
                                 << proteinModerate;
    QTest::newRow("protein exactly 3.5")
        << ratio << protein(u"3.5"_s, u"100"_s, u"mg/dL"_s) << u"3.50"_s << proteinModerate;
    QTest::newRow("protein 3.6") << ratio << protein(u"3.6"_s, u"100"_s, u"mg/dL"_s) << u"3.60"_s
                                 << proteinNephrotic;
    QTest::newRow("creatinine in mmol/L")
        << ratio << protein(u"1"_s, u"8.84"_s, u"mmol/L"_s) << u"1.00"_s << proteinModerate;
}

void TestCalcRenal::calculations()
{
    QFETCH(QString, title);
    QFETCH(QStringList, inputs);
    QFETCH(QString, result);
    QFETCH(QString, moreInfo);

    // An earlier interpretation in the form must never survive a calculation.
    vantor::calc::FormValues form;
    form.setMoreInfo(u"left over"_s);
    fillForm(form, inputs);
    const CalcRun run = runCalculation(form, title, vantor::calc::CalculatorKind::Kidney);
    QVERIFY(run.selected);
    QCOMPARE(run.messageTexts(), QStringList());
    QCOMPARE(run.beeps, 0);
    QCOMPARE(run.result.value_or(QString()), result);
    QCOMPARE(run.moreInfo.value_or(QString()), moreInfo);
}

void TestCalcRenal::ureaRatios_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("message");

    QTest::newRow("15 ; 45.2 ; 10")
        << urea(u"15"_s, u"45.2"_s, u"150"_s) << u"15.00 ; 45.20 ; 10.00"_s
        << ureaMessage(u"15.00"_s, u"45.20"_s, u"10.00"_s, {}, creatinineElevated, ureaElevated);
    QTest::newRow("r1 exactly 36")
        << urea(u"36"_s, u"30"_s, u"180"_s) << u"36.00 ; 30.00 ; 5.00"_s
        << ureaMessage(u"36.00"_s, u"30.00"_s, u"5.00"_s, bunGiBleeding, {}, {});
    QTest::newRow("r1 25, r2 10, r3 2")
        << urea(u"25"_s, u"10"_s, u"50"_s) << u"25.00 ; 10.00 ; 2.00"_s
        << ureaMessage(u"25.00"_s, u"10.00"_s, u"2.00"_s, bunElevated, creatinineLow, ureaLow);
    QTest::newRow("r1 9, r2 40, r3 8")
        << urea(u"9"_s, u"40"_s, u"72"_s) << u"9.00 ; 40.00 ; 8.00"_s
        << ureaMessage(u"9.00"_s, u"40.00"_s, u"8.00"_s, bunLow, {}, {});
    QTest::newRow("r1 20, r2 20, r3 3")
        << urea(u"20"_s, u"20"_s, u"60"_s) << u"20.00 ; 20.00 ; 3.00"_s
        << ureaMessage(u"20.00"_s, u"20.00"_s, u"3.00"_s, {}, {}, {});
    QTest::newRow("serum urea in mmol/L")
        << creatinines(u"1"_s, u"30"_s) + QStringList{u"SerumUrea=7.14"_s,
                                                      u"UnitSerumUrea=mmol/L"_s, u"UrineUrea=100"_s,
                                                      u"UnitUrineUrea=mg/dL"_s}
        << u"20.00 ; 30.00 ; 5.00"_s << ureaMessage(u"20.00"_s, u"30.00"_s, u"5.00"_s, {}, {}, {});
}

void TestCalcRenal::ureaRatios()
{
    QFETCH(QStringList, inputs);
    QFETCH(QString, result);
    QFETCH(QString, message);

    const CalcRun run = runCalculation(u"Urea Nitrogen and Creatinine Ratios"_s, inputs);
    QCOMPARE(run.result.value_or(QString()), result);
    QCOMPARE(run.moreInfo.value_or(QString()), ureaMoreInfo);
    QCOMPARE(run.messages.size(), 1);
    QCOMPARE(run.messages.first().text, message);
    QCOMPARE(run.messages.first().icon, vantor::platform::Icon::Information);
    QCOMPARE(run.messages.first().title, u"Vantor"_s);
    QCOMPARE(run.messages.first().beepsBefore, 1);
}

QTEST_GUILESS_MAIN(TestCalcRenal)
#include "tst_calcrenal.moc"
