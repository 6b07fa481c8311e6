#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
    QJsonObject answer() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

ToolRun runTool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(VANTOR_CALC_EXE), arguments);
    ToolRun run;
    if (process.waitForFinished(60000)) {
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
    }
    return run;
}

} // namespace

// The calculators run end to end on their real windows, one worked example a
// title: the list, Proceed, typing, Calculate and More Info.
class TestVantorCalc : public QObject
{
    Q_OBJECT

private slots:
    void listsEveryCalculator();
    void workedExamples_data();
    void workedExamples();
    void incompleteDataIsReported();
    void refusesWhatTheUserCouldNotDo_data();
    void refusesWhatTheUserCouldNotDo();
};

void TestVantorCalc::listsEveryCalculator()
{
    const ToolRun run = runTool({u"--list"_s});
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 23);
    QCOMPARE(lines.at(10), u"1\t6\tTransferrin Calculated\tTransferrin"_s);
    QCOMPARE(
        lines.at(17),
        u"2\t6\tRenal Calcium Clearance to Creatinine Clearance\tRenal Calcium to Creatinine Clearance"_s);
}

void TestVantorCalc::workedExamples_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("result"); // empty: the result box is hidden
    QTest::addColumn<QString>("moreInfo");

    const QString creatinines =
        u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UrineCreatinine=100 UnitUrineCreatinine=mg/dL "_s;
    const struct
    {
        QString title, inputs, result, moreInfo;
    } examples[] = {
        {u"Cholesterol Level Interpretation"_s,
         u"Gender=Male Chol=5.2 UnitChol=mmol/L HDL=58 UnitHDL=mg/dL LDL=130 UnitLDL=mg/dL"_s,
         {},
         u"Total Cholesterol: borderline high\r\rHDL Cholesterol: 0.7 times average\r\rLDL Cholesterol: borderline high\r\r"_s},
        {u"Total Cholesterol-to-HDL Cholesterol Ratio"_s,
         u"Gender=Male Chol=200 UnitChol=mg/dL HDL=50 UnitHDL=mg/dL"_s, u"4.00"_s,
         u"The risk of coronary artery disease is 50% than that of  the 'average American'."_s},
        {u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s,
         u"HDL=50 UnitHDL=mg/dL LDL=100 UnitLDL=mg/dL"_s, u"2.00"_s,
         u"Risk of cardiovascular disease: low"_s},
        {u"Adult Treatment Panel III Classification"_s,
         u"Chol=240 UnitChol=mg/dL HDL=60 UnitHDL=mg/dL LDL=129.9 UnitLDL=mg/dL"_s,
         {},
         u"Total Cholesterol: high\r\rHDL Cholesterol: intermediate\r\rLDL Cholesterol: near or above optimal\r\r"_s},
        {u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s, u"AST=40 ALT=20"_s, u"2.00 "_s,
         u"The AST to ALT ratio indicates alcoholic hepatitis, cirrhosis, intrahepatic cholestasis, or hepatocellular carcinoma."_s},
        {u"Serum Albumin-to-Globulin Ratio"_s,
         u"Albumin=2 UnitAlbumin=g/dL Globulin=40 UnitGlobulin=g/L"_s, u"0.50 "_s,
         u"The Albumin to Globumin ratio is low and found in states with low albumin (protein wastage malnutrition decreased production) or high globulins (polyclonal or monoclonal gammopathies) or both.Disorders with low ratios include cirrhosis and other liver diseases, chronic glomerulonephritis, nephrotic syndrome, myeloma macroglobulinemia, sarcoidosis and other granulomatous diseases, collagen vascular diseases, severe infections, inflammatory states, cachexia, burns, or ulcerative colitis."_s},
        {u"Serum Direct -to- Total Bilirubin Ratio"_s,
         u"BilirubinDirect=1 UnitBilirubinDirect=mg/dL BilirubinTotal=2 UnitBilirubinTotal=mg/dL"_s,
         u"50.00 % "_s, u"may be either hepatocellular disease or extrahepatic obstruction."_s},
        {u"Serum Ferritin and Estimate of Iron Stores"_s,
         u"Ferritin=500 UnitFerritin=pmol/L"_s,
         {},
         u"Serum ferritin level is high and in an adult represents iron overload."_s},
        {u"Serum Transferrin Saturation"_s, u"Iron=100 UnitIron=ug/dL TIBC=300 UnitTIBC=ug/dL"_s,
         u"33.33 % "_s, u"Serum Transferrin Saturation is normal."_s},
        {u"Total Iron Binding Capacity (TIBC)"_s, u"Transferrin=250 UnitTransferrin=mg/dL"_s,
         u"357.50 ug/dL "_s, u"Total Iron Binding Capacity is normal."_s},
        {u"Transferrin"_s, u"TIBC=300 UnitTIBC=ug/dL"_s, u"210.00 mg/dL "_s,
         u"Total Iron Binding Capacity is normal."_s},
        {u"Amylase Clearance to Creatinine Clearance"_s,
         creatinines + u"SerumAmylase=100 UrineAmylase=500"_s, u"5.00 %"_s,
         u"Amylase Clearance -to- Creatinine Clearance appear normal."_s},
        {u"Creatinine Clearance Estimated"_s,
         u"Age=40 Weight=70 UnitWeight=kg Gender=Female SerumCreatinine=1.0 UnitSerumCreatinine=mg/dL"_s,
         u"82.35 mL/min"_s, u"Based on GFR, renal function is normal."_s},
        {u"Fractional Potassium Excretion"_s,
         creatinines + u"SerumPotassium=4 UrinePotassium=40"_s,
         u"0.10 "_s,
         {}},
        {u"Fractional Sodium Excretion"_s,
         creatinines + u"SerumSodium=140 UrineSodium=20"_s,
         u"0.14 % FE-Na"_s,
         {}},
        {u"Glomerular Filtration Rate (GFR)"_s,
         u"Age=40 Weight=154 UnitWeight=lbs Gender=Male SerumCreatinine=88.4 UnitSerumCreatinine=umol/L"_s,
         u"97.22 mL/min"_s, u"Based on GFR, renal function is normal."_s},
        {u"Phosphorus Clearance Estimated"_s,
         u"Age=40 Weight=70 UnitWeight=kg Gender=Male SerumPhosphorus=1.2 UnitSerumPhosphorus=mmol/L"_s,
         u"26.17 mL/min"_s,
         {}},
        {u"Renal Calcium to Creatinine Clearance"_s,
         creatinines +
             u"SerumCalcium=10 UnitSerumCalcium=mg/dL UrineCalcium=10 UnitUrineCalcium=mg/dL"_s,
         u"0.01 "_s,
         {}},
        {u"Renal Failure Index (RFI)"_s, creatinines + u"UrineSodium=20"_s, u"0.20 mEq/L"_s, {}},
        {u"Urea Nitrogen and Creatinine Ratios"_s,
         u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UrineCreatinine=45.2 UnitUrineCreatinine=mg/dL SerumUrea=15 UnitSerumUrea=mg/dL UrineUrea=150 UnitUrineUrea=mg/dL"_s,
         u"15.00 ; 45.20 ; 10.00"_s,
         u"The first number represents the BUN to Creatinine ratio.\r\rThe second number represents the Creatinine to Creatinine ratio.\r\rThe third number represents the BUN to BUN ratio."_s},
        {u"Uric Acid-to-Creatinine Ratio"_s,
         u"SerumCreatinine=5 UnitSerumCreatinine=mg/dL SerumUrate=5 UnitSerumUrate=mg/dL"_s,
         u"1.00"_s,
         u"Ratios below 1.0 are seen in patients with acute renal failure due to other causes."_s},
        {u"Urinary Potassium Excretion Rate"_s, u"UrinePotassium=40 UrineVolume=1500"_s,
         u"60.00 mEq/24 "_s,
         u"An excretion rate more than 20 mEq/24 hours implies potassium 'wastage' (inadequate potassium conservation)."_s},
        {u"Urine Protein to Urine Creatinine Ratio"_s,
         u"UrineCreatinine=200 UnitUrineCreatinine=mg/dL UrineProtein=1"_s, u"0.50"_s,
         u"Ratio indicates low grade proteinuria."_s},
    };
    for (const auto& e : examples)
        QTest::addRow("%s", qPrintable(e.title)) << e.title << e.inputs << e.result << e.moreInfo;
}

void TestVantorCalc::workedExamples()
{
    QFETCH(QString, title);
    QFETCH(QString, inputs);
    QFETCH(QString, result);
    QFETCH(QString, moreInfo);

    const ToolRun run = runTool(QStringList{title} + inputs.split(u' '));
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    const QJsonObject answer = run.answer();
    QCOMPARE(answer.value(u"title"_s).toString(), title);
    QCOMPARE(answer.value(u"result"_s).toString(), result);
    QCOMPARE(answer.value(u"resultVisible"_s).toBool(), !result.isEmpty());
    QCOMPARE(answer.value(u"moreInfo"_s).toString(), moreInfo);
    // Only the urea ratios speak up when all is well.
    const int messages = title.startsWith(u"Urea"_s) ? 1 : 0;
    QCOMPARE(answer.value(u"messages"_s).toArray().size(), messages);
    QCOMPARE(answer.value(u"beeps"_s).toInt(), messages);
}

void TestVantorCalc::incompleteDataIsReported()
{
    const ToolRun run = runTool({u"Serum Albumin-to-Globulin Ratio"_s, u"Albumin=4"_s,
                                 u"UnitAlbumin=MG/DL"_s, u"Globulin=x"_s, u"UnitGlobulin=g/dL"_s});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject answer = run.answer();
    QCOMPARE(answer.value(u"messages"_s).toArray(),
             (QJsonArray{QJsonObject{{u"text"_s, u"Type mismatch"_s},
                                     {u"title"_s, u"Vantor"_s},
                                     {u"icon"_s, u"critical"_s}},
                         QJsonObject{{u"text"_s, u"Data entry incomplete"_s},
                                     {u"title"_s, u"Vantor"_s},
                                     {u"icon"_s, u"exclamation"_s}}}));
    QCOMPARE(answer.value(u"beeps"_s).toInt(), 3);
    QCOMPARE(answer.value(u"result"_s).toString(), QString());
}

void TestVantorCalc::refusesWhatTheUserCouldNotDo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no arguments") << QStringList();
    QTest::newRow("unknown title") << QStringList{u"transferrin"_s};
    QTest::newRow("control of another window") << QStringList{u"Transferrin"_s, u"Chol=200"_s};
    QTest::newRow("disabled input") << QStringList{u"Transferrin"_s, u"Iron=100"_s};
    QTest::newRow("not an assignment") << QStringList{u"Transferrin"_s, u"TIBC"_s};
}

void TestVantorCalc::refusesWhatTheUserCouldNotDo()
{
    QFETCH(QStringList, arguments);
    const ToolRun run = runTool(arguments);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QString());
    QVERIFY(!run.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestVantorCalc)
#include "tst_vantorcalc.moc"
