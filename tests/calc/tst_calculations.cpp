#include "calc/Calculator.h"
#include "calc/Catalog.h"
#include "calc/FormValues.h"
#include "platform/RecordingUi.h"

#include <QLocale>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace vantor::calc;
using vantor::platform::Icon;
using vantor::platform::RecordingUi;

namespace {

const QString none = u"<none>"_s; // nothing written
const QString incomplete = u"Data entry incomplete"_s;
const QString renalIncomplete = u"Data entry incomplete. Please re-enter data."_s;

// One Calculate as a window runs it, with what the user saw and heard.
struct Run
{
    bool selected;
    QString result, moreInfo;
    QList<RecordingUi::Message> messages;
    int beeps;
};

CalculatorKind kindOf(const QString& title)
{
    const CalculatorEntry* entry = Catalog::find(title);
    return CalculatorKind(entry ? entry->category : 2);
}

// Inputs are "Control=text" words; a later word replaces an earlier one, as
// typing over a box would. The kind is that of the window showing the title.
Run calculate(FormValues& form, const QString& title, const QString& inputs,
              std::optional<CalculatorKind> kind = {})
{
    for (const QString& word : inputs.split(u' ', Qt::SkipEmptyParts))
        form.setText(word.section(u'=', 0, 0), word.section(u'=', 1));
    RecordingUi recorder;
    vantor::platform::setUi(&recorder);
    const bool selected = Calculator::calculate(kind.value_or(kindOf(title)), title, form);
    vantor::platform::setUi(nullptr);
    return {selected, form.result().value_or(none), form.moreInfo().value_or(none),
            recorder.messages(), recorder.beeps()};
}

// The columns of a table of calculations, filled by row().
void calculationColumns()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("moreInfo");
}

void row(const QString& title, const QString& inputs, const QString& result,
         const QString& moreInfo)
{
    QTest::addRow("%s: %s", qPrintable(title), qPrintable(inputs))
        << title << inputs << result << moreInfo;
}

QString lipids(const QString& total, const QString& hdl, const QString& ldl)
{
    return u"Total Cholesterol: %1\r\rHDL Cholesterol: %2\r\rLDL Cholesterol: %3\r\r"_s.arg(
        total, hdl, ldl);
}

} // namespace

class TestCalculations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void calculations_data();
    void calculations();
    void clinicalReferences_data();
    void clinicalReferences();
    void refusalEmptiesEarlierOutput();
    void ureaRatios_data();
    void ureaRatios();
    void checks_data();
    void checks();
    void unknownTitleDoesNothing();
};

// The worked examples, band edges and unit conversions of every calculation.
// An interpretation is matched by a phrase that tells it from its neighbours;
// empty: none, and an earlier one in the form must not survive.
void TestCalculations::calculations_data()
{
    calculationColumns();

    const QString mg = u"UnitChol=mg/dL UnitHDL=mg/dL UnitLDL=mg/dL "_s;
    const QString level = u"Cholesterol Level Interpretation"_s;
    const QString desirable = u"desirable"_s;
    const QString high = u"high"_s;
    const QString borderline = u"borderline high"_s;

    // Total and LDL bands; 6.216 mmol/L is 240 mg/dL, not a hair below it.
    const struct
    {
        QString inputs, total, ldl;
    } totals[] = {
        {u"Chol=199.9 LDL=129.9"_s, desirable, desirable},
        {u"Chol=200 LDL=130"_s, borderline, borderline},
        {u"Chol=240 LDL=160"_s, high, high},
        {u"Chol=5.2 UnitChol=mmol/L LDL=100"_s, borderline, desirable},
        {u"Chol=6.216 UnitChol=mmol/L LDL=100"_s, high, desirable},
    };
    for (const auto& t : totals)
        row(level, mg + u"Gender=Male HDL=48 "_s + t.inputs, none,
            lipids(t.total, u"average"_s, t.ldl));

    // HDL risk: each band takes its upper edge.
    const struct
    {
        const char16_t *gender, *hdl, *risk;
    } risks[] = {
        {u"Male", u"25", u"2 times average"},     {u"Male", u"25.1", u"1.8 times average"},
        {u"Male", u"35", u"1.8 times average"},   {u"Male", u"40", u"1.5 times average"},
        {u"Male", u"45", u"1.2 times average"},   {u"Male", u"55", u"0.8 times average"},
        {u"Male", u"58", u"0.7 times average"},   {u"Male", u"65", u"0.6 times average"},
        {u"Male", u"70", u"0.5 times average"},   {u"Male", u"70.1", u"longevity"},
        {u"Female", u"40", u"1.9 times average"}, {u"Female", u"45", u"1.9 times average"},
        {u"Female", u"50", u"1.6 times average"}, {u"Female", u"55", u"1.3 times average"},
        {u"Female", u"60", u"average"},           {u"Female", u"65", u"0.8 times average"},
        {u"Female", u"70", u"0.6 times average"}, {u"Female", u"75", u"0.5 times average"},
        {u"Female", u"75.1", u"longevity"},
    };
    for (const auto& r : risks)
        row(level, mg + u"Chol=180 LDL=100 Gender=%1 HDL=%2"_s.arg(r.gender, r.hdl), none,
            lipids(desirable, QString::fromUtf16(r.risk), desirable));

    // Adult Treatment Panel III: no gender, its own HDL and LDL classes.
    const QString atp = u"Adult Treatment Panel III Classification"_s;
    const QString middle = u"intermediate"_s;
    const QString nearOptimal = u"near or above optimal"_s;
    row(atp, mg + u"Chol=199.9 HDL=60 LDL=129.9"_s, none, lipids(desirable, middle, nearOptimal));
    row(atp, mg + u"Chol=200 HDL=60.1 LDL=130"_s, none, lipids(borderline, high, borderline));
    row(atp, mg + u"Chol=240 HDL=39.9 LDL=99"_s, none, lipids(high, u"low"_s, u"optimal"_s));
    row(atp, mg + u"Chol=240 HDL=40 LDL=100"_s, none, lipids(high, middle, nearOptimal));
    row(atp, mg + u"Chol=240 HDL=40 LDL=160"_s, none, lipids(high, middle, high));
    row(atp, mg + u"Chol=240 HDL=40 LDL=190"_s, none, lipids(high, middle, u"very high"_s));

    // Total-to-HDL: the edges, and ratios between two printed edges joining
    // the band below the next edge.
    const struct
    {
        QString inputs, result, phrase;
    } ratios[] = {
        {u"Gender=Male Chol=170 HDL=50"_s, u"3.40"_s, u"less than 50% than that of"_s},
        {u"Gender=Male Chol=198 HDL=40"_s, u"4.95"_s, u"50% than that of "_s},
        {u"Gender=Male Chol=250 HDL=50"_s, u"5.00"_s, u"that of"_s},
        {u"Gender=Male Chol=191 HDL=20"_s, u"9.55"_s, u"that of"_s},
        {u"Gender=Male Chol=192 HDL=20"_s, u"9.60"_s, u"twice that of"_s},
        {u"Gender=Male Chol=233 HDL=10"_s, u"23.30"_s, u"twice that of"_s},
        {u"Gender=Male Chol=234 HDL=10"_s, u"23.40"_s, u"3 times that of"_s},
        {u"Gender=Female Chol=165 HDL=50"_s, u"3.30"_s, u"less than 50% than that of"_s},
        {u"Gender=Female Chol=174 HDL=40"_s, u"4.35"_s, u"50% than that of "_s},
        {u"Gender=Female Chol=220 HDL=50"_s, u"4.40"_s, u"on par with"_s},
        {u"Gender=Female Chol=139 HDL=20"_s, u"6.95"_s, u"on par with"_s},
        {u"Gender=Female Chol=140 HDL=20"_s, u"7.00"_s, u"twice that of"_s},
        {u"Gender=Female Chol=218 HDL=20"_s, u"10.90"_s, u"twice that of"_s},
        {u"Gender=Female Chol=220 HDL=20"_s, u"11.00"_s, u"3 times that of"_s},
        {u"Gender=Male Chol=5.18 UnitChol=mmol/L HDL=50"_s, u"4.00"_s, u"50% than that of "_s},
        {u"Gender=Female Chol=5.18 UnitChol=mmol/L HDL=1.295 UnitHDL=mmol/L"_s, u"4.00"_s,
         u"50% than that of "_s},
    };
    for (const auto& r : ratios)
        row(u"Total Cholesterol-to-HDL Cholesterol Ratio"_s, mg + r.inputs, r.result,
            u"The risk of coronary artery disease is %1 the 'average American'."_s.arg(r.phrase));

    const QString ldl = u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s;
    const QString risk = u"Risk of cardiovascular disease: "_s;
    row(ldl, mg + u"HDL=50 LDL=24.5"_s, u"0.49"_s, risk + u"very low"_s);
    row(ldl, mg + u"HDL=50 LDL=25"_s, u"0.50"_s, risk + u"low"_s);
    row(ldl, mg + u"HDL=50 LDL=100"_s, u"2.00"_s, risk + u"low"_s);
    row(ldl, mg + u"HDL=50 LDL=150"_s, u"3.00"_s, risk + u"moderate"_s);
    row(ldl, mg + u"HDL=50 LDL=300"_s, u"6.00"_s, risk + u"moderate"_s);
    row(ldl, mg + u"HDL=50 LDL=301"_s, u"6.02"_s, risk + high);

    // The bands, on raised enzymes (normal ones are in aminotransferases).
    const QString ast = u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s;
    row(ast, u"ALT=100 AST=65"_s, u"0.65 "_s, u"viral"_s);
    row(ast, u"ALT=100 AST=66"_s, u"0.66 "_s, u"extrahepatic cholestasis"_s);
    row(ast, u"ALT=100 AST=89"_s, u"0.89 "_s, u"extrahepatic cholestasis"_s);
    row(ast, u"ALT=100 AST=90"_s, u"0.90 "_s, u"ratio is normal"_s);
    row(ast, u"ALT=100 AST=129"_s, u"1.29 "_s, u"ratio is normal"_s);
    row(ast, u"ALT=100 AST=130"_s, u"1.30 "_s, u"chronic hepatitis"_s);
    row(ast, u"ALT=100 AST=150"_s, u"1.50 "_s, u"chronic hepatitis"_s);
    row(ast, u"ALT=100 AST=155"_s, u"1.55 "_s, u"alcoholic"_s);
    row(ast, u"ALT=20 AST=40.2"_s, u"2.01 "_s, u"drug hepatotoxicity"_s);
    row(ast, u"ALT=20 AST=60"_s, u"3.00 "_s, u"drug hepatotoxicity"_s);
    row(ast, u"ALT=20 AST=61"_s, u"3.05 "_s, u"acute MI"_s);

    const QString ag = u"Serum Albumin-to-Globulin Ratio"_s;
    row(ag, u"Albumin=40 UnitAlbumin=g/L Globulin=2.5 UnitGlobulin=g/dL"_s, u"1.60 "_s,
        u"is high"_s);
    row(ag, u"Albumin=30 UnitAlbumin=g/L Globulin=3 UnitGlobulin=g/dL"_s, u"1.00 "_s, u"is high"_s);
    row(ag, u"Albumin=2 UnitAlbumin=g/dL Globulin=40 UnitGlobulin=g/L"_s, u"0.50 "_s, u"is low"_s);

    const QString bili = u"Serum Direct -to- Total Bilirubin Ratio"_s;
    const QString total =
        u"BilirubinTotal=10 UnitBilirubinTotal=mg/dL UnitBilirubinDirect=mg/dL "_s;
    row(bili, total + u"BilirubinDirect=1"_s, u"10.00 % "_s, u"constitutional"_s);
    row(bili, total + u"BilirubinDirect=2"_s, u"20.00 % "_s, u"hepatocellular disease more"_s);
    row(bili, total + u"BilirubinDirect=4"_s, u"40.00 % "_s, u"may be either"_s);
    row(bili,
        u"BilirubinDirect=1 UnitBilirubinDirect=mg/dL BilirubinTotal=2 UnitBilirubinTotal=mg/dL"_s,
        u"50.00 % "_s, u"may be either"_s);
    row(bili, total + u"BilirubinDirect=6"_s, u"60.00 % "_s, u"obstruction more"_s);
    row(bili, total + u"BilirubinDirect=85.5 UnitBilirubinDirect=umol/L"_s, u"50.00 % "_s,
        u"may be either"_s);

    const QString ferritin = u"Serum Ferritin and Estimate of Iron Stores"_s;
    row(ferritin, u"Ferritin=220 UnitFerritin=ng/ml"_s, none, u"appears normal"_s);
    row(ferritin, u"Ferritin=220.5 UnitFerritin=ng/ml"_s, none, u"is high"_s);
    row(ferritin, u"Ferritin=10 UnitFerritin=ug/L"_s, none, u"appears normal"_s);
    row(ferritin, u"Ferritin=9.9 UnitFerritin=ug/L"_s, none, u"is low"_s);

    const QString saturation = u"Serum Transferrin Saturation"_s;
    const QString ug = u"UnitIron=ug/dL UnitTIBC=ug/dL "_s;
    row(saturation, ug + u"Iron=100 TIBC=300"_s, u"33.33 % "_s, u"is normal"_s);
    row(saturation, ug + u"Iron=55 TIBC=100"_s, u"55.00 % "_s, u"is normal"_s);
    row(saturation, ug + u"Iron=16 TIBC=100"_s, u"16.00 % "_s, u"is normal"_s);
    row(saturation, ug + u"Iron=15 TIBC=100"_s, u"15.00 % "_s, u"is decreased"_s);
    row(saturation, u"Iron=60 TIBC=70 UnitIron=umol/L UnitTIBC=umol/L"_s, u"85.71 % "_s,
        u"is increased"_s);

    // TIBC from transferrin (1 g/L is 100 mg/dL), and transferrin from TIBC
    // judged on the TIBC it comes from; normal is 250 to 450 ug/dL.
    const QString tibc = u"Total Iron Binding Capacity (TIBC)"_s;
    row(tibc, u"Transferrin=250 UnitTransferrin=mg/dL"_s, u"357.50 ug/dL "_s, u"is normal"_s);
    row(tibc, u"Transferrin=2.5 UnitTransferrin=g/L"_s, u"357.50 ug/dL "_s, u"is normal"_s);
    row(tibc, u"Transferrin=320 UnitTransferrin=mg/dL"_s, u"457.60 ug/dL "_s, u"increased"_s);
    row(tibc, u"Transferrin=170 UnitTransferrin=mg/dL"_s, u"243.10 ug/dL "_s, u"decreased"_s);
    const QString transferrin = u"Transferrin"_s;
    row(transferrin, u"TIBC=450 UnitTIBC=ug/dL"_s, u"315.00 mg/dL "_s, u"is normal"_s);
    row(transferrin, u"TIBC=451 UnitTIBC=ug/dL"_s, u"315.70 mg/dL "_s, u"increased"_s);
    row(transferrin, u"TIBC=249 UnitTIBC=ug/dL"_s, u"174.30 mg/dL "_s, u"decreased"_s);
    row(transferrin, u"TIBC=50 UnitTIBC=umol/L"_s, u"195.53 mg/dL "_s, u"is normal"_s);

    // (140 - age) x weight / 72 with a serum creatinine of 1: the GFR bands.
    const QString male =
        u"Gender=Male UnitWeight=kg SerumCreatinine=1 UnitSerumCreatinine=mg/dL "_s;
    const QString gfr = u"Glomerular Filtration Rate (GFR)"_s;
    row(u"Creatinine Clearance Estimated"_s,
        u"Age=40 Weight=70 UnitWeight=kg Gender=Female SerumCreatinine=1.0 UnitSerumCreatinine=mg/dL"_s,
        u"82.35 mL/min"_s, u"is normal"_s);
    row(gfr,
        u"Age=40 Weight=154 UnitWeight=lbs Gender=Male SerumCreatinine=88.4 UnitSerumCreatinine=umol/L"_s,
        u"97.22 mL/min"_s, u"is normal"_s);
    row(u"Creatinine Clearance Estimated"_s, male + u"Age=40 Weight=70"_s, u"97.22 mL/min"_s,
        u"is normal"_s);
    row(gfr, male + u"Age=59 Weight=72"_s, u"81.00 mL/min"_s, u"is normal"_s);
    row(gfr, male + u"Age=60 Weight=72"_s, u"80.00 mL/min"_s, u"slightly impaired"_s);
    row(gfr, male + u"Age=40 Weight=45"_s, u"62.50 mL/min"_s, u"slightly impaired"_s);
    row(gfr, male + u"Age=88 Weight=72"_s, u"52.00 mL/min"_s, u"slightly impaired"_s);
    row(gfr, male + u"Age=89 Weight=72"_s, u"51.00 mL/min"_s, u"mildly impaired"_s);
    row(gfr, male + u"Age=98 Weight=72"_s, u"42.00 mL/min"_s, u"mildly impaired"_s);
    row(gfr, male + u"Age=112 Weight=72"_s, u"28.00 mL/min"_s, u"moderately impaired"_s);
    row(gfr, male + u"Age=113 Weight=72"_s, u"27.00 mL/min"_s, u"severely impaired"_s);
    row(gfr, male + u"Age=120 Weight=72"_s, u"20.00 mL/min"_s, u"severely impaired"_s);

    const QString creatinines =
        u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UrineCreatinine=100 UnitUrineCreatinine=mg/dL "_s;
    const QString amylase = u"Amylase Clearance to Creatinine Clearance"_s;
    const QString amylases = creatinines + u"SerumAmylase=100 UrineAmylase="_s;
    row(amylase, amylases + u"500"_s, u"5.00 %"_s, u"appear normal"_s);
    row(amylase, amylases + u"100"_s, u"1.00 %"_s, u"appear normal"_s);
    row(amylase, amylases + u"600"_s, u"6.00 %"_s, u"acute pancreatitis"_s);
    row(amylase, amylases + u"50"_s, u"0.50 %"_s, u"macroamylasemia"_s);
    row(amylase, amylases + u"500 UrineCreatinine=8.84 UnitUrineCreatinine=mmol/L"_s, u"5.00 %"_s,
        u"appear normal"_s);

    // No interpretation of their own.
    row(u"Fractional Potassium Excretion"_s, creatinines + u"SerumPotassium=4 UrinePotassium=40"_s,
        u"0.10 "_s, {});
    row(u"Fractional Sodium Excretion"_s, creatinines + u"SerumSodium=140 UrineSodium=20"_s,
        u"0.14 % FE-Na"_s, {});
    row(u"Renal Failure Index (RFI)"_s, creatinines + u"UrineSodium=20"_s, u"0.20 mEq/L"_s, {});
    row(u"Urinary Potassium Excretion Rate"_s, u"UrinePotassium=40 UrineVolume=1500"_s,
        u"60.00 mEq/24 "_s, u"potassium 'wastage'"_s);

    const QString protein = u"Urine Protein to Urine Creatinine Ratio"_s;
    const QString mgdl = u"UnitUrineCreatinine=mg/dL "_s;
    row(protein, mgdl + u"UrineProtein=1 UrineCreatinine=2000"_s, u"0.05"_s, u"healthy"_s);
    row(protein, mgdl + u"UrineProtein=1 UrineCreatinine=1000"_s, u"0.10"_s, u"trace"_s);
    row(protein, mgdl + u"UrineProtein=1 UrineCreatinine=500"_s, u"0.20"_s, u"low grade"_s);
    row(protein, mgdl + u"UrineProtein=1 UrineCreatinine=200"_s, u"0.50"_s, u"low grade"_s);
    row(protein, mgdl + u"UrineProtein=1 UrineCreatinine=100"_s, u"1.00"_s, u"moderate"_s);
    row(protein, mgdl + u"UrineProtein=3.5 UrineCreatinine=100"_s, u"3.50"_s, u"moderate"_s);
    row(protein, mgdl + u"UrineProtein=3.6 UrineCreatinine=100"_s, u"3.60"_s, u"nephrotic"_s);
    row(protein, u"UrineProtein=1 UrineCreatinine=8.84 UnitUrineCreatinine=mmol/L"_s, u"1.00"_s,
        u"moderate"_s);
}

// Runs one row of a table with the columns of calculations_data.
static void verifyCalculation()
{
    QFETCH(QString, title);
    QFETCH(QString, inputs);
    QFETCH(QString, result);
    QFETCH(QString, moreInfo);

    FormValues form;
    form.setMoreInfo(u"left over"_s);
    const Run run = calculate(form, title, inputs);
    QVERIFY(run.selected);
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(run.beeps, 0);
    QCOMPARE(form.errorCount(), 0);
    QCOMPARE(run.result, result);
    if (moreInfo.isEmpty())
        QCOMPARE(run.moreInfo, QString());
    else
        QVERIFY2(run.moreInfo.contains(moreInfo), qPrintable(run.moreInfo));
}

void TestCalculations::calculations()
{
    verifyCalculation();
}

// Results a clinician would sign: each group checked against the reference
// named beside it, with the values that used to be refused or misread.
void TestCalculations::clinicalReferences_data()
{
    calculationColumns();

    // Ordinary small values are values: only 0 and below are refused. Protein
    // over creatinine in mg/mg (Ginsberg JM et al., N Engl J Med
    // 1983;309:1543-6): 0.5 g/L is 50 mg/dL, over 100 mg/dL gives 0.5.
    const QString protein = u"Urine Protein to Urine Creatinine Ratio"_s;
    row(protein, u"UrineProtein=0.5 UrineCreatinine=100 UnitUrineCreatinine=mg/dL"_s, u"0.50"_s,
        u"low grade"_s);
    row(protein, u"UrineProtein=0.05 UrineCreatinine=100 UnitUrineCreatinine=mg/dL"_s, u"0.05"_s,
        u"healthy"_s);
    const QString bili = u"Serum Direct -to- Total Bilirubin Ratio"_s;
    const QString mg = u"UnitBilirubinDirect=mg/dL UnitBilirubinTotal=mg/dL BilirubinTotal=1.0 "_s;
    row(bili, mg + u"BilirubinDirect=0.5"_s, u"50.00 % "_s, u"may be either"_s);
    row(bili, mg + u"BilirubinDirect=0.3"_s, u"30.00 % "_s, u"hepatocellular disease more"_s);
    row(u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s,
        u"HDL=0.45 UnitHDL=mmol/L LDL=2.6 UnitLDL=mmol/L"_s, u"5.78"_s, u"moderate"_s);

    // Cockcroft DW, Gault MH, Nephron 1976;16:31-41: (140 - 40) x 70 / 72 =
    // 97.2 mL/min for a man of 40 years and 70 kg with creatinine 1.0 mg/dL.
    const QString crcl = u"Creatinine Clearance Estimated"_s;
    const QString man = u"Gender=Male Age=40 Weight=70 UnitWeight=kg UnitSerumCreatinine=mg/dL "_s;
    row(crcl, man + u"SerumCreatinine=1.0"_s, u"97.22 mL/min"_s, u"is normal"_s);
    row(crcl, man + u"SerumCreatinine=0.5"_s, u"194.44 mL/min"_s, u"is normal"_s);
    row(crcl, man + u"SerumCreatinine=1.0 Age=120"_s, u"19.44 mL/min"_s, u"severely impaired"_s);

    // Spot urine uric acid / urine creatinine (Kelton, Kelley, Holmes, Arch
    // Intern Med 1978;138:612-5): above 1 in acute uric acid nephropathy.
    const QString urate = u"Uric Acid-to-Creatinine Ratio"_s;
    const QString urine = u"UnitUrineUrate=mg/dL UnitUrineCreatinine=mg/dL UrineCreatinine=100 "_s;
    row(urate, urine + u"UrineUrate=40"_s, u"0.40"_s, u"below 1.0"_s);
    row(urate, urine + u"UrineUrate=100"_s, u"1.00"_s, u"below 1.0"_s);
    row(urate, urine + u"UrineUrate=101"_s, u"1.01"_s, u"above 1.0"_s);
    row(urate,
        u"UrineUrate=2379.2 UnitUrineUrate=umol/L UrineCreatinine=8.84 UnitUrineCreatinine=mmol/L"_s,
        u"0.40"_s, u"below 1.0"_s);

    // C = U x V / P over 1440 minutes (Tietz, Textbook of Clinical Chemistry;
    // adults 5.4 to 16.2 mL/min). No interpretation of its own.
    const QString phosphorus = u"Phosphorus Clearance Estimated"_s;
    row(phosphorus,
        u"SerumPhosphorus=3.5 UnitSerumPhosphorus=mg/dL UrinePhosphorus=40 "
        u"UnitUrinePhosphorus=mg/dL UrineVolume=1500"_s,
        u"11.90 mL/min"_s, {});
    row(phosphorus,
        u"SerumPhosphorus=1.1305 UnitSerumPhosphorus=mmol/L UrinePhosphorus=12.92 "
        u"UnitUrinePhosphorus=mmol/L UrineVolume=1500"_s,
        u"11.90 mL/min"_s, {});
    row(phosphorus,
        u"SerumPhosphorus=3.6 UnitSerumPhosphorus=mg/dL UrinePhosphorus=36 "
        u"UnitUrinePhosphorus=mg/dL UrineVolume=1440"_s,
        u"10.00 mL/min"_s, {});

    // (UCa x SCr) / (SCa x UCr), limits 0.01 and 0.02 (Christensen SE et al.,
    // Clin Endocrinol 2008;69:713-20): four places tell them apart.
    const QString calcium = u"Renal Calcium to Creatinine Clearance"_s;
    const QString ca = u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UrineCreatinine=100 "
                       u"UnitUrineCreatinine=mg/dL SerumCalcium=10 UnitSerumCalcium=mg/dL "
                       u"UnitUrineCalcium=mg/dL UrineCalcium="_s;
    row(calcium, ca + u"6"_s, u"0.0060 "_s, {});
    row(calcium, ca + u"9.4"_s, u"0.0094 "_s, {});
    row(calcium, ca + u"14"_s, u"0.0140 "_s, {});
    row(calcium, ca + u"20"_s, u"0.0200 "_s, {});
    row(calcium, ca + u"10 SerumCalcium=2.5 UnitSerumCalcium=mmol/L"_s, u"0.0100 "_s, {});

    // The De Ritis ratio (Clin Chim Acta 1957;2:70-4) is read only when an
    // enzyme is above its upper limit, 40 IU/L.
    const QString ast = u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s;
    const QString normal = u"Both aminotransferases are within normal limits"_s;
    row(ast, u"AST=20 ALT=40"_s, u"0.50 "_s, normal);
    row(ast, u"AST=40 ALT=40"_s, u"1.00 "_s, normal);
    row(ast, u"AST=40 ALT=20"_s, u"2.00 "_s, normal);
    row(ast, u"AST=41 ALT=40"_s, u"1.03 "_s, u"ratio is normal"_s);
    row(ast, u"AST=20 ALT=41"_s, u"0.49 "_s, u"viral"_s);
    row(ast, u"AST=600 ALT=1200"_s, u"0.50 "_s, u"viral"_s);
}

void TestCalculations::clinicalReferences()
{
    verifyCalculation();
}

// A refused Calculate leaves no number or verdict of an earlier one behind,
// in any of the three windows.
void TestCalculations::refusalEmptiesEarlierOutput()
{
    const struct
    {
        QString title, inputs;
    } refusals[] = {
        {u"Total Cholesterol-to-HDL Cholesterol Ratio"_s, u"Gender=Male Chol=200"_s},
        {u"Serum Transferrin Saturation"_s, u"Iron=100 UnitIron=ug/dL TIBC=0 UnitTIBC=ug/dL"_s},
        {u"Fractional Sodium Excretion"_s, u"SerumCreatinine=1"_s},
    };
    for (const auto& refusal : refusals) {
        FormValues form;
        form.setResult(u"65.20 mL/min"_s);
        form.setMoreInfo(u"Based on GFR, renal function is normal."_s);
        const Run run = calculate(form, refusal.title, refusal.inputs);
        QCOMPARE(run.messages.size(), 1);
        QCOMPARE(run.result, QString());
        QCOMPARE(run.moreInfo, QString());
    }
}

void TestCalculations::ureaRatios_data()
{
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("phrases"); // of the three paragraphs, "|" between; empty: left out

    const QString urea = u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UnitUrineCreatinine=mg/dL "
                         u"UnitSerumUrea=mg/dL UnitUrineUrea=mg/dL SerumUrea=%1 "
                         u"UrineCreatinine=%2 UrineUrea=%3"_s;
    // Urine-to-serum urea nitrogen (Miller TR et al., Ann Intern Med
    // 1978;89:47-50): above 8 prerenal, below 3 acute tubular necrosis.
    const QString prerenal = u"The elevated urea ratio is perhaps due to prerenal azotemia, acute "
                             u"obstructive renal failure, or acute glomerulonephritis."_s;
    const QString necrosis =
        u"The low urea ratio is due to acute tubular necrosis (acute oliguric renal failure)."_s;
    QTest::newRow("prerenal: 15 ; 45.2 ; 10")
        << urea.arg(u"15"_s, u"45.2"_s, u"150"_s) << u"15.00 ; 45.20 ; 10.00"_s
        << u"|elevated creatinine|"_s + prerenal;
    QTest::newRow("r3 8.01") << urea.arg(u"15"_s, u"30"_s, u"120.15"_s) << u"15.00 ; 30.00 ; 8.01"_s
                             << u"||"_s + prerenal;
    QTest::newRow("r3 2.99") << urea.arg(u"15"_s, u"30"_s, u"44.85"_s) << u"15.00 ; 30.00 ; 2.99"_s
                             << u"||"_s + necrosis;
    QTest::newRow("r1 exactly 36")
        << urea.arg(u"36"_s, u"30"_s, u"180"_s) << u"36.00 ; 30.00 ; 5.00"_s
        << u"suggests upper GI bleeding||"_s;
    QTest::newRow("25 ; 10 ; 2") << urea.arg(u"25"_s, u"10"_s, u"50"_s) << u"25.00 ; 10.00 ; 2.00"_s
                                 << u"is elevated|low creatinine|"_s + necrosis;
    QTest::newRow("r3 8: 9 ; 40 ; 8")
        << urea.arg(u"9"_s, u"40"_s, u"72"_s) << u"9.00 ; 40.00 ; 8.00"_s << u"is low||"_s;
    QTest::newRow("r3 3: 20 ; 20 ; 3")
        << urea.arg(u"20"_s, u"20"_s, u"60"_s) << u"20.00 ; 20.00 ; 3.00"_s << u"||"_s;
    QTest::newRow("serum urea in mmol/L")
        << urea.arg(u"7.14"_s, u"30"_s, u"100"_s) + u" UnitSerumUrea=mmol/L"_s
        << u"20.00 ; 30.00 ; 5.00"_s << u"||"_s;
}

void TestCalculations::ureaRatios()
{
    QFETCH(QString, inputs);
    QFETCH(QString, result);
    QFETCH(QString, phrases);

    FormValues form;
    const Run run = calculate(form, u"Urea Nitrogen and Creatinine Ratios"_s, inputs);
    QCOMPARE(run.result, result);
    QCOMPARE(run.messages.size(), 1);
    const RecordingUi::Message message = run.messages.first();
    QCOMPARE(message.icon, Icon::Information);
    QCOMPARE(message.beepsBefore, 1);
    // The three ratios, then one paragraph for each, empty where none applies.
    const QStringList r = result.split(u" ; "_s);
    const QStringList paragraphs = message.text.split(u"\r\r"_s);
    QCOMPARE(paragraphs.size(), 4);
    QCOMPARE(paragraphs.at(0), u"Serum BUN to Serum Creatinine ratio: %1\rUrine Creatinine to "
                               u"Serum Creatinine: %2\rUrine BUN to Serum BUN ratio: %3"_s.arg(
                                   r.at(0), r.at(1), r.at(2)));
    const QStringList expected = phrases.split(u'|');
    for (int i = 0; i < 3; ++i) {
        const QString& paragraph = paragraphs.at(i + 1);
        QVERIFY2(expected.at(i).isEmpty() ? paragraph.isEmpty()
                                          : paragraph.contains(expected.at(i)),
                 qPrintable(paragraph));
    }
}

void TestCalculations::checks_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("beeps");     // the incomplete-data message's included
    QTest::addColumn<QString>("shown"); // the conversion message before it, if any

    // Everything right but the last word, which replaces its default.
    const QString ldlHdl = u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s;
    const QString lipids = u"HDL=50 UnitHDL=mg/dL LDL=100 UnitLDL=mg/dL "_s;
    const QString crcl = u"Creatinine Clearance Estimated"_s;
    const QString person =
        u"Age=40 Weight=70 UnitWeight=kg Gender=Male SerumCreatinine=1 UnitSerumCreatinine=mg/dL "_s;
    const QString calcium = u"Renal Calcium to Creatinine Clearance"_s;
    const QString calciumInputs =
        u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UrineCreatinine=100 "
        u"UnitUrineCreatinine=mg/dL SerumCalcium=10 UnitSerumCalcium=mg/dL UrineCalcium=10 "
        u"UnitUrineCalcium=mg/dL "_s;
    const QString urea = u"Urea Nitrogen and Creatinine Ratios"_s;
    const QString ureaInputs =
        u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UrineCreatinine=30 "
        u"UnitUrineCreatinine=mg/dL SerumUrea=20 UnitSerumUrea=mg/dL UrineUrea=100 "
        u"UnitUrineUrea=mg/dL "_s;
    const QString phosphorus = u"Phosphorus Clearance Estimated"_s;
    const QString phosphorusInputs =
        u"SerumPhosphorus=1.2 UnitSerumPhosphorus=mmol/L UrinePhosphorus=30 "
        u"UnitUrinePhosphorus=mg/dL UrineVolume=1500 "_s;
    const QString mismatch = u"Type mismatch"_s;
    const QString overflow = u"Overflow"_s;
    const QString no;

    const struct
    {
        const char* name;
        QString title, inputs;
        int errors, beeps;
        QString shown;
    } rows[] = {
        {"all right", ldlHdl, lipids, 0, 0, no},
        {"empty", ldlHdl, lipids + u"HDL="_s, 1, 1, no},
        {"0 is no value", ldlHdl, lipids + u"HDL=0"_s, 1, 1, no},
        {"0.00 is no value", ldlHdl, lipids + u"HDL=0.00"_s, 1, 1, no},
        {"0.4 passes", ldlHdl, lipids + u"HDL=0.4"_s, 0, 0, no},
        {"0.5 passes", ldlHdl, lipids + u"HDL=0.5"_s, 0, 0, no},
        {"0.001 passes", ldlHdl, lipids + u"HDL=0.001"_s, 0, 0, no},
        {"negative", ldlHdl, lipids + u"HDL=-5"_s, 1, 1, no},
        {"small negative", ldlHdl, lipids + u"HDL=-0.2"_s, 1, 1, no},
        {"letters", ldlHdl, lipids + u"HDL=abc"_s, 1, 2, mismatch},
        {"40000 overflows", ldlHdl, lipids + u"HDL=40000"_s, 1, 2, overflow},
        {"32767 passes", ldlHdl, lipids + u"HDL=32767"_s, 0, 0, no},
        {"unit in capitals beeps", ldlHdl, lipids + u"UnitHDL=MG/DL"_s, 1, 2, no},
        {"unit left empty beeps", ldlHdl, lipids + u"UnitHDL="_s, 1, 2, no},
        {"bad value hides the unit test", ldlHdl, lipids + u"HDL=0 UnitHDL=x"_s, 1, 1, no},
        {"every check runs", u"Cholesterol Level Interpretation"_s,
         u"Gender=male Chol=abc UnitChol=mg/dL HDL= UnitHDL=mg/dL LDL=100 UnitLDL=mmol"_s, 4, 3,
         mismatch},
        {"liver unit word from another input", u"Serum Albumin-to-Globulin Ratio"_s,
         u"Albumin=4 UnitAlbumin=mg/dL Globulin=2 UnitGlobulin=g/dL"_s, 1, 2, no},
        {"fixed unit, no unit test", u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s, u"AST=40 ALT=20"_s, 0, 0,
         no},
        {"renal age empty", crcl, person + u"Age="_s, 1, 1, no},
        {"renal age 0", crcl, person + u"Age=0"_s, 1, 1, no},
        {"renal age 0.4 passes", crcl, person + u"Age=0.4"_s, 0, 0, no},
        {"renal age 120 passes", crcl, person + u"Age=120"_s, 0, 0, no},
        {"renal age 121", crcl, person + u"Age=121"_s, 1, 1, no},
        {"renal age 150", u"Glomerular Filtration Rate (GFR)"_s, person + u"Age=150"_s, 1, 1, no},
        {"renal age letters", crcl, person + u"Age=ab"_s, 1, 2, mismatch},
        {"renal gender in capitals, silent", crcl, person + u"Gender=MALE"_s, 1, 1, no},
        {"renal weight Kg, silent", crcl, person + u"UnitWeight=Kg"_s, 1, 1, no},
        {"renal creatinine UMOL/L beeps", crcl, person + u"UnitSerumCreatinine=UMOL/L"_s, 1, 2, no},
        {"urine creatinine, silent", calcium, calciumInputs + u"UnitUrineCreatinine=umol/L"_s, 1, 1,
         no},
        {"urine calcium, silent", calcium, calciumInputs + u"UnitUrineCalcium=MMOL/L"_s, 1, 1, no},
        {"serum calcium beeps", calcium, calciumInputs + u"UnitSerumCalcium=mg/dl"_s, 1, 2, no},
        {"serum phosphorus beeps", phosphorus, phosphorusInputs + u"UnitSerumPhosphorus=mmol"_s, 1,
         2, no},
        {"urine phosphorus beeps", phosphorus, phosphorusInputs + u"UnitUrinePhosphorus=mg"_s, 1, 2,
         no},
        {"phosphorus needs the urine volume", phosphorus, phosphorusInputs + u"UrineVolume="_s, 1,
         1, no},
        {"serum urea beeps", urea, ureaInputs + u"UnitSerumUrea=mg"_s, 1, 2, no},
        {"urine urea beeps", urea, ureaInputs + u"UnitUrineUrea=mg"_s, 1, 2, no},
        {"urine uric acid beeps", u"Uric Acid-to-Creatinine Ratio"_s,
         u"UrineCreatinine=100 UnitUrineCreatinine=mg/dL UrineUrate=40 UnitUrineUrate=mmol/L"_s, 1,
         2, no},
        {"serum values do not make a urate ratio", u"Uric Acid-to-Creatinine Ratio"_s,
         u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL SerumUrate=5 UnitSerumUrate=mg/dL"_s, 2, 1,
         no},
        {"urine volume 40000", u"Urinary Potassium Excretion Rate"_s,
         u"UrineVolume=40000 UrinePotassium=40"_s, 1, 2, overflow},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << r.title << r.inputs << r.errors << r.beeps << r.shown;
}

void TestCalculations::checks()
{
    QFETCH(QString, title);
    QFETCH(QString, inputs);
    QFETCH(int, errors);
    QFETCH(int, beeps);
    QFETCH(QString, shown);

    FormValues form;
    const Run run = calculate(form, title, inputs);
    QVERIFY(run.selected);
    QCOMPARE(form.errorCount(), errors);
    QCOMPARE(run.beeps, beeps);
    QList<std::pair<QString, Icon>> expected;
    if (!shown.isEmpty())
        expected.append({shown, Icon::Critical});
    if (errors > 0) {
        const bool renal = kindOf(title) == CalculatorKind::Kidney;
        expected.append({renal ? renalIncomplete : incomplete, Icon::Exclamation});
    }
    QList<std::pair<QString, Icon>> messages;
    for (const auto& message : run.messages) {
        messages.append({message.text, message.icon});
        QCOMPARE(message.title, u"Vantor"_s);
    }
    QCOMPARE(messages, expected);
    // Nothing is computed when a check failed; the output is emptied.
    if (errors > 0)
        QCOMPARE(run.result + run.moreInfo, QString());
    else
        QVERIFY(!run.result.isEmpty() || !run.moreInfo.isEmpty());
}

void TestCalculations::unknownTitleDoesNothing()
{
    // Titles compare exactly, with case; the list item is not a title.
    for (const QString& title : {u"transferrin"_s, u"Transferrin Calculated"_s, QString()}) {
        FormValues form;
        const Run run = calculate(form, title, u"TIBC=300 UnitTIBC=ug/dL"_s, CalculatorKind::Liver);
        QVERIFY(!run.selected);
        QVERIFY(run.messages.isEmpty());
        QCOMPARE(run.beeps, 0);
        QCOMPARE(run.result, none);
    }
}

QTEST_GUILESS_MAIN(TestCalculations)
#include "tst_calculations.moc"
