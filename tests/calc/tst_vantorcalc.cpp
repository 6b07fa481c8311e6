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

// The calculators run end to end on their real windows: the list, Proceed,
// typing, Calculate and More Info.
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
    QCOMPARE(lines.at(10), u"1\t6\tTransferrin Calculated\tTransferrin\tTIBC UnitTIBC"_s);
    QCOMPARE(lines.at(17),
             u"2\t6\tRenal Calcium Clearance to Creatinine Clearance\tRenal Calcium to Creatinine "
             u"Clearance\tSerumCreatinine UnitSerumCreatinine UrineCreatinine UnitUrineCreatinine "
             u"SerumCalcium UnitSerumCalcium UrineCalcium UnitUrineCalcium"_s);
    // The urine inputs of the urate ratio and the phosphorus clearance, by name.
    QVERIFY(lines.at(20).endsWith(u"\tUrineCreatinine UnitUrineCreatinine UrineUrate "
                                  u"UnitUrineUrate"_s));
    QVERIFY(lines.at(16).endsWith(u"\tSerumPhosphorus UnitSerumPhosphorus UrinePhosphorus "
                                  u"UnitUrinePhosphorus UrineVolume"_s));
}

void TestVantorCalc::workedExamples_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("result"); // empty: the result box is hidden
    QTest::addColumn<QString>("moreInfo");

    // One calculator of each window, with what sets it apart: a hidden result,
    // a title unlike its list item, a message, an interpretation left out.
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
        {u"Serum Ferritin and Estimate of Iron Stores"_s,
         u"Ferritin=500 UnitFerritin=pmol/L"_s,
         {},
         u"Serum ferritin level is high and in an adult represents iron overload."_s},
        {u"Transferrin"_s, u"TIBC=300 UnitTIBC=ug/dL"_s, u"210.00 mg/dL "_s,
         u"Total Iron Binding Capacity is normal."_s},
        {u"Fractional Potassium Excretion"_s,
         u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UrineCreatinine=100 UnitUrineCreatinine=mg/dL SerumPotassium=4 UrinePotassium=40"_s,
         u"0.10 "_s,
         {}},
        {u"Urea Nitrogen and Creatinine Ratios"_s,
         u"SerumCreatinine=1 UnitSerumCreatinine=mg/dL UrineCreatinine=45.2 UnitUrineCreatinine=mg/dL SerumUrea=15 UnitSerumUrea=mg/dL UrineUrea=150 UnitUrineUrea=mg/dL"_s,
         u"15.00 ; 45.20 ; 10.00"_s,
         u"The first number represents the BUN to Creatinine ratio.\r\rThe second number represents the Creatinine to Creatinine ratio.\r\rThe third number represents the BUN to BUN ratio."_s},
        {u"Urine Protein to Urine Creatinine Ratio"_s,
         u"UrineCreatinine=100 UnitUrineCreatinine=mg/dL UrineProtein=0.5"_s, u"0.50"_s,
         u"Ratio indicates low grade proteinuria."_s},
        {u"Uric Acid-to-Creatinine Ratio"_s,
         u"UrineCreatinine=8.84 UnitUrineCreatinine=mmol/L UrineUrate=2379.2 UnitUrineUrate=umol/L"_s,
         u"0.40"_s,
         u"Ratios below 1.0 are seen in patients with acute renal failure due to other causes."_s},
        {u"Phosphorus Clearance Estimated"_s,
         u"SerumPhosphorus=3.5 UnitSerumPhosphorus=mg/dL UrinePhosphorus=40 UnitUrinePhosphorus=mg/dL UrineVolume=1500"_s,
         u"11.90 mL/min"_s,
         {}},
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
