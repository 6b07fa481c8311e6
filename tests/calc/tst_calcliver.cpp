#include "CalcRun.h"

#include <QLocale>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString notWritten = u"<not written>"_s;

const QString astAltViral = u"The AST to ALT ratio indicates acute viral hepatitis."_s;
const QString astAltCholestasis = u"The AST to ALT ratio indicates extrahepatic cholestasis."_s;
const QString astAltNormal = u"The AST to ALT ratio is normal."_s;
const QString astAltChronic =
    u"The AST to ALT ratio is slightly increased and indicates chronic hepatitis."_s;
const QString astAltAlcoholic =
    u"The AST to ALT ratio indicates alcoholic hepatitis, cirrhosis, intrahepatic cholestasis, or hepatocellular carcinoma."_s;
const QString astAltDrug = u"The AST to ALT ratio indicates drug hepatotoxicity."_s;
const QString astAltMi = u"The AST to ALT ratio indicates acute MI."_s;

const QString agHigh =
    u"The Albumin to Globumin ratio is high but often clinically insignificant except in hypogammaglobulinemia."_s;
const QString agLow =
    u"The Albumin to Globumin ratio is low and found in states with low albumin (protein wastage malnutrition decreased production) or high globulins (polyclonal or monoclonal gammopathies) or both.Disorders with low ratios include cirrhosis and other liver diseases, chronic glomerulonephritis, nephrotic syndrome, myeloma macroglobulinemia, sarcoidosis and other granulomatous diseases, collagen vascular diseases, severe infections, inflammatory states, cachexia, burns, or ulcerative colitis."_s;

const QString biliConstitutional =
    u"The ratio of direct to total serum bilirubin indicates constitutional hyperbilirubinemia (Gilbert's Crigler-Najjar etc.)."_s;
const QString biliHepatocellular =
    u"The ratio of direct to total serum bilirubin indicates hepatocellular disease more likely than extrahepatic obstruction."_s;
const QString biliEither = u"may be either hepatocellular disease or extrahepatic obstruction."_s;
const QString biliObstruction =
    u"extrahepatic obstruction more likely than hepatocellular disease."_s;

const QString ferritinHigh =
    u"Serum ferritin level is high and in an adult represents iron overload."_s;
const QString ferritinLow =
    u"Serum ferritin level is low and usually indicative of iron deficiency anemia."_s;
const QString ferritinNormal = u"Serum ferritin level appears normal."_s;

const QString satHigh =
    u"Serum Transferrin Saturation is increased and may be due to hemochromatosis, hemosiderosis, or thalassemia."_s;
const QString satLow =
    u"Serum Transferrin Saturation is decreased and may be due to iron deficiency anemia or anemia of chronic disease."_s;
const QString satNormal = u"Serum Transferrin Saturation is normal."_s;

const QString tibcHigh =
    u"Total Iron Binding Capacity is increased and may be due to iron deficiency anemia, acute and chronic blood loss, acute liver damage, or late pregnancy."_s;
const QString tibcLow =
    u"Total Iron Binding Capacity is decreased and may be due hemochromatosis, cirrhosis, thalassemia, anemia of chronic disease, or nephrosis."_s;
const QString tibcNormal = u"Total Iron Binding Capacity is normal."_s;

QStringList astAlt(const QString& ast, const QString& alt)
{
    return {u"AST="_s + ast, u"ALT="_s + alt};
}

} // namespace

class TestCalcLiver : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void calculations_data();
    void calculations();
};

void TestCalcLiver::calculations_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("moreInfo");

    const QString ratio = u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s;
    QTest::newRow("ast/alt 2.00") << ratio << astAlt(u"40"_s, u"20"_s) << u"2.00 "_s
                                  << astAltAlcoholic;
    QTest::newRow("ast/alt 1.29") << ratio << astAlt(u"25.8"_s, u"20"_s) << u"1.29 "_s
                                  << astAltNormal;
    QTest::newRow("ast/alt 0.65") << ratio << astAlt(u"13"_s, u"20"_s) << u"0.65 "_s << astAltViral;
    QTest::newRow("ast/alt 0.66") << ratio << astAlt(u"13.2"_s, u"20"_s) << u"0.66 "_s
                                  << astAltCholestasis;
    QTest::newRow("ast/alt 0.89") << ratio << astAlt(u"17.8"_s, u"20"_s) << u"0.89 "_s
                                  << astAltCholestasis;
    QTest::newRow("ast/alt 0.9 normal")
        << ratio << astAlt(u"18"_s, u"20"_s) << u"0.90 "_s << astAltNormal;
    QTest::newRow("ast/alt 1.3") << ratio << astAlt(u"26"_s, u"20"_s) << u"1.30 "_s
                                 << astAltChronic;
    QTest::newRow("ast/alt 1.5") << ratio << astAlt(u"30"_s, u"20"_s) << u"1.50 "_s
                                 << astAltChronic;
    QTest::newRow("ast/alt 1.55") << ratio << astAlt(u"31"_s, u"20"_s) << u"1.55 "_s
                                  << astAltAlcoholic;
    QTest::newRow("ast/alt 3") << ratio << astAlt(u"60"_s, u"20"_s) << u"3.00 "_s << astAltDrug;
    QTest::newRow("ast/alt 3.05") << ratio << astAlt(u"61"_s, u"20"_s) << u"3.05 "_s << astAltMi;

    const QString ag = u"Serum Albumin-to-Globulin Ratio"_s;
    QTest::newRow("albumin in g/L") << ag
                                    << QStringList{u"Albumin=40"_s, u"UnitAlbumin=g/L"_s,
                                                   u"Globulin=2.5"_s, u"UnitGlobulin=g/dL"_s}
                                    << u"1.60 "_s << agHigh;
    QTest::newRow("albumin equals globulin") << ag
                                             << QStringList{u"Albumin=30"_s, u"UnitAlbumin=g/L"_s,
                                                            u"Globulin=3"_s, u"UnitGlobulin=g/dL"_s}
                                             << u"1.00 "_s << agHigh;
    QTest::newRow("ratio below 1") << ag
                                   << QStringList{u"Albumin=2"_s, u"UnitAlbumin=g/dL"_s,
                                                  u"Globulin=40"_s, u"UnitGlobulin=g/L"_s}
                                   << u"0.50 "_s << agLow;

    const QString bili = u"Serum Direct -to- Total Bilirubin Ratio"_s;
    const auto bilirubin = [](const char16_t* direct, const char16_t* directUnit,
                              const char16_t* total) {
        return QStringList{u"BilirubinDirect="_s + QString::fromUtf16(direct),
                           u"UnitBilirubinDirect="_s + QString::fromUtf16(directUnit),
                           u"BilirubinTotal="_s + QString::fromUtf16(total),
                           u"UnitBilirubinTotal=mg/dL"_s};
    };
    QTest::newRow("bilirubin 50%")
        << bili << bilirubin(u"1", u"mg/dL", u"2") << u"50.00 % "_s << biliEither;
    QTest::newRow("bilirubin 20%")
        << bili << bilirubin(u"2", u"mg/dL", u"10") << u"20.00 % "_s << biliHepatocellular;
    QTest::newRow("bilirubin 10%")
        << bili << bilirubin(u"1", u"mg/dL", u"10") << u"10.00 % "_s << biliConstitutional;
    QTest::newRow("bilirubin 40%")
        << bili << bilirubin(u"4", u"mg/dL", u"10") << u"40.00 % "_s << biliEither;
    QTest::newRow("bilirubin 60%")
        << bili << bilirubin(u"6", u"mg/dL", u"10") << u"60.00 % "_s << biliObstruction;
    QTest::newRow("direct in umol/L only")
        << bili << bilirubin(u"17.1", u"umol/L", u"2") << u"50.00 % "_s << biliEither;

    const QString ferritin = u"Serum Ferritin and Estimate of Iron Stores"_s;
    const auto ferritinIn = [](const char16_t* value, const char16_t* unit) {
        return QStringList{u"Ferritin="_s + QString::fromUtf16(value),
                           u"UnitFerritin="_s + QString::fromUtf16(unit)};
    };
    QTest::newRow("ferritin 220") << ferritin << ferritinIn(u"220", u"ng/ml") << notWritten
                                  << ferritinNormal;
    QTest::newRow("ferritin 220.5")
        << ferritin << ferritinIn(u"220.5", u"ng/ml") << notWritten << ferritinHigh;
    QTest::newRow("ferritin 500 pmol/L")
        << ferritin << ferritinIn(u"500", u"pmol/L") << notWritten << ferritinHigh;
    QTest::newRow("ferritin 10 ug/L")
        << ferritin << ferritinIn(u"10", u"ug/L") << notWritten << ferritinNormal;
    QTest::newRow("ferritin 9.9") << ferritin << ferritinIn(u"9.9", u"ug/L") << notWritten
                                  << ferritinLow;

    const QString saturation = u"Serum Transferrin Saturation"_s;
    const auto iron = [](const char16_t* value, const char16_t* tibc, const char16_t* unit) {
        return QStringList{
            u"Iron="_s + QString::fromUtf16(value), u"UnitIron="_s + QString::fromUtf16(unit),
            u"TIBC="_s + QString::fromUtf16(tibc), u"UnitTIBC="_s + QString::fromUtf16(unit)};
    };
    QTest::newRow("saturation 33.33")
        << saturation << iron(u"100", u"300", u"ug/dL") << u"33.33 % "_s << satNormal;
    QTest::newRow("saturation in umol/L")
        << saturation << iron(u"60", u"70", u"umol/L") << u"85.71 % "_s << satHigh;
    QTest::newRow("saturation 55")
        << saturation << iron(u"55", u"100", u"ug/dL") << u"55.00 % "_s << satNormal;
    QTest::newRow("saturation 16")
        << saturation << iron(u"16", u"100", u"ug/dL") << u"16.00 % "_s << satNormal;
    QTest::newRow("saturation 15")
        << saturation << iron(u"15", u"100", u"ug/dL") << u"15.00 % "_s << satLow;

    // TIBC from transferrin, judged against 250-450 ug/dL; 1 g/L is 100 mg/dL.
    const QString tibc = u"Total Iron Binding Capacity (TIBC)"_s;
    const auto transferrin = [](const char16_t* value, const char16_t* unit) {
        return QStringList{u"Transferrin="_s + QString::fromUtf16(value),
                           u"UnitTransferrin="_s + QString::fromUtf16(unit)};
    };
    QTest::newRow("tibc from 250 mg/dL")
        << tibc << transferrin(u"250", u"mg/dL") << u"357.50 ug/dL "_s << tibcNormal;
    QTest::newRow("tibc from 2.5 g/L")
        << tibc << transferrin(u"2.5", u"g/L") << u"357.50 ug/dL "_s << tibcNormal;
    QTest::newRow("tibc increased")
        << tibc << transferrin(u"320", u"mg/dL") << u"457.60 ug/dL "_s << tibcHigh;
    QTest::newRow("tibc decreased")
        << tibc << transferrin(u"170", u"mg/dL") << u"243.10 ug/dL "_s << tibcLow;

    // Transferrin from TIBC, interpreted on the TIBC it comes from.
    const QString fromTibc = u"Transferrin"_s;
    const auto tibcIn = [](const char16_t* value, const char16_t* unit) {
        return QStringList{u"TIBC="_s + QString::fromUtf16(value),
                           u"UnitTIBC="_s + QString::fromUtf16(unit)};
    };
    QTest::newRow("transferrin from 300")
        << fromTibc << tibcIn(u"300", u"ug/dL") << u"210.00 mg/dL "_s << tibcNormal;
    QTest::newRow("transferrin from 450")
        << fromTibc << tibcIn(u"450", u"ug/dL") << u"315.00 mg/dL "_s << tibcNormal;
    QTest::newRow("transferrin from 451")
        << fromTibc << tibcIn(u"451", u"ug/dL") << u"315.70 mg/dL "_s << tibcHigh;
    QTest::newRow("transferrin from 249")
        << fromTibc << tibcIn(u"249", u"ug/dL") << u"174.30 mg/dL "_s << tibcLow;
    QTest::newRow("transferrin from umol/L")
        << fromTibc << tibcIn(u"50", u"umol/L") << u"195.53 mg/dL "_s << tibcNormal;
}

void TestCalcLiver::calculations()
{
    QFETCH(QString, title);
    QFETCH(QStringList, inputs);
    QFETCH(QString, result);
    QFETCH(QString, moreInfo);

    const CalcRun run = runCalculation(title, inputs);
    QVERIFY(run.selected);
    QCOMPARE(run.messageTexts(), QStringList());
    QCOMPARE(run.beeps, 0);
    QCOMPARE(run.result.value_or(notWritten), result);
    QCOMPARE(run.moreInfo.value_or(notWritten), moreInfo);
}

QTEST_GUILESS_MAIN(TestCalcLiver)
#include "tst_calcliver.moc"
