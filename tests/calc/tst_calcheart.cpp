#include "CalcRun.h"

#include <QLocale>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString notWritten = u"<not written>"_s;

QString lipids(const QString& total, const QString& hdl, const QString& ldl)
{
    return u"Total Cholesterol: "_s + total + u"\r\rHDL Cholesterol: "_s + hdl +
           u"\r\rLDL Cholesterol: "_s + ldl + u"\r\r"_s;
}

QString risk(const QString& phrase)
{
    return u"The risk of coronary artery disease is "_s + phrase + u" the 'average American'."_s;
}

QStringList mgdl(const QString& gender, const QString& chol, const QString& hdl, const QString& ldl)
{
    QStringList inputs = {u"UnitChol=mg/dL"_s, u"UnitHDL=mg/dL"_s, u"UnitLDL=mg/dL"_s};
    if (!gender.isEmpty())
        inputs << u"Gender="_s + gender;
    if (!chol.isEmpty())
        inputs << u"Chol="_s + chol;
    if (!hdl.isEmpty())
        inputs << u"HDL="_s + hdl;
    if (!ldl.isEmpty())
        inputs << u"LDL="_s + ldl;
    return inputs;
}

} // namespace

class TestCalcHeart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void calculations_data();
    void calculations();
};

void TestCalcHeart::calculations_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("moreInfo");

    const QString level = u"Cholesterol Level Interpretation"_s;
    const QString atp = u"Adult Treatment Panel III Classification"_s;
    const QString cholHdl = u"Total Cholesterol-to-HDL Cholesterol Ratio"_s;
    const QString ldlHdl = u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s;
    const QString avg = u"average"_s;

    // Total and LDL bands, HDL risk bands with their upper edges.
    QTest::newRow("total 199.9 desirable")
        << level << mgdl(u"Male"_s, u"199.9"_s, u"48"_s, u"100"_s) << notWritten
        << lipids(u"desirable"_s, avg, u"desirable"_s);
    QTest::newRow("total 200 borderline")
        << level << mgdl(u"Male"_s, u"200"_s, u"48"_s, u"129.9"_s) << notWritten
        << lipids(u"borderline high"_s, avg, u"desirable"_s);
    QTest::newRow("total 240 high, ldl 130")
        << level << mgdl(u"Male"_s, u"240"_s, u"48"_s, u"130"_s) << notWritten
        << lipids(u"high"_s, avg, u"borderline high"_s);
    QTest::newRow("ldl 160 high") << level << mgdl(u"Male"_s, u"180"_s, u"48"_s, u"160"_s)
                                  << notWritten << lipids(u"desirable"_s, avg, u"high"_s);
    QTest::newRow("total 5.2 mmol/L")
        << level
        << QStringList{u"Gender=Male"_s,   u"Chol=5.2"_s, u"UnitChol=mmol/L"_s, u"HDL=48"_s,
                       u"UnitHDL=mg/dL"_s, u"LDL=100"_s,  u"UnitLDL=mg/dL"_s}
        << notWritten << lipids(u"borderline high"_s, avg, u"desirable"_s);
    const struct
    {
        const char* name;
        const char16_t* gender;
        const char16_t* hdl;
        const char16_t* text;
    } hdlRows[] = {
        {"male hdl 25", u"Male", u"25", u"2 times average"},
        {"male hdl 25.1", u"Male", u"25.1", u"1.8 times average"},
        {"male hdl 35", u"Male", u"35", u"1.8 times average"},
        {"male hdl 40", u"Male", u"40", u"1.5 times average"},
        {"male hdl 45", u"Male", u"45", u"1.2 times average"},
        {"male hdl 55", u"Male", u"55", u"0.8 times average"},
        {"male hdl 58 reads like its neighbours", u"Male", u"58", u"0.7 times average"},
        {"male hdl 65", u"Male", u"65", u"0.6 times average"},
        {"male hdl 70", u"Male", u"70", u"0.5 times average"},
        {"male hdl 70.1", u"Male", u"70.1", u"longevity"},
        {"female hdl 40", u"Female", u"40", u"1.9 times average"},
        {"female hdl 45", u"Female", u"45", u"1.9 times average"},
        {"female hdl 50", u"Female", u"50", u"1.6 times average"},
        {"female hdl 55", u"Female", u"55", u"1.3 times average"},
        {"female hdl 60", u"Female", u"60", u"average"},
        {"female hdl 65", u"Female", u"65", u"0.8 times average"},
        {"female hdl 70", u"Female", u"70", u"0.6 times average"},
        {"female hdl 75", u"Female", u"75", u"0.5 times average"},
        {"female hdl 75.1", u"Female", u"75.1", u"longevity"},
    };
    for (const auto& row : hdlRows) {
        QTest::newRow(row.name) << level
                                << mgdl(QString::fromUtf16(row.gender), u"180"_s,
                                        QString::fromUtf16(row.hdl), u"100"_s)
                                << notWritten
                                << lipids(u"desirable"_s, QString::fromUtf16(row.text),
                                          u"desirable"_s);
    }

    // ATP III: gender unused (and disabled), HDL and LDL bands.
    QTest::newRow("atp hdl 60, ldl 129.9")
        << atp << mgdl({}, u"199.9"_s, u"60"_s, u"129.9"_s) << notWritten
        << lipids(u"desirable"_s, u"intermediate"_s, u"near or above optimal"_s);
    QTest::newRow("atp hdl 60.1, ldl 130")
        << atp << mgdl({}, u"200"_s, u"60.1"_s, u"130"_s) << notWritten
        << lipids(u"borderline high"_s, u"high"_s, u"borderline high"_s);
    QTest::newRow("atp hdl 39.9, ldl 99")
        << atp << mgdl({}, u"240"_s, u"39.9"_s, u"99"_s) << notWritten
        << lipids(u"high"_s, u"low"_s, u"optimal"_s);
    QTest::newRow("atp hdl 40, ldl 100")
        << atp << mgdl({}, u"240"_s, u"40"_s, u"100"_s) << notWritten
        << lipids(u"high"_s, u"intermediate"_s, u"near or above optimal"_s);
    QTest::newRow("atp ldl 160, 190") << atp << mgdl({}, u"240"_s, u"40"_s, u"160"_s) << notWritten
                                      << lipids(u"high"_s, u"intermediate"_s, u"high"_s);
    QTest::newRow("atp ldl 190") << atp << mgdl({}, u"240"_s, u"40"_s, u"190"_s) << notWritten
                                 << lipids(u"high"_s, u"intermediate"_s, u"very high"_s);

    // Total-to-HDL: the printed example, the band edges, and ratios between
    // two printed edges joining the band below the next edge.
    const struct
    {
        const char* name;
        const char16_t* gender;
        const char16_t* chol;
        const char16_t* hdl;
        const char16_t* result;
        const char16_t* phrase;
    } ratioRows[] = {
        {"male 4.00", u"Male", u"200", u"50", u"4.00", u"50% than that of "},
        {"male 3.4", u"Male", u"170", u"50", u"3.40", u"less than 50% than that of"},
        {"male 4.95 in the gap", u"Male", u"198", u"40", u"4.95", u"50% than that of "},
        {"male 5.0", u"Male", u"250", u"50", u"5.00", u"that of"},
        {"male 9.55 in the gap", u"Male", u"191", u"20", u"9.55", u"that of"},
        {"male 9.6", u"Male", u"192", u"20", u"9.60", u"twice that of"},
        {"male 23.3", u"Male", u"233", u"10", u"23.30", u"twice that of"},
        {"male 23.4", u"Male", u"234", u"10", u"23.40", u"3 times that of"},
        {"female 3.3", u"Female", u"165", u"50", u"3.30", u"less than 50% than that of"},
        {"female 4.35 in the gap", u"Female", u"174", u"40", u"4.35", u"50% than that of "},
        {"female 4.4", u"Female", u"220", u"50", u"4.40", u"on par with"},
        {"female 6.95 in the gap", u"Female", u"139", u"20", u"6.95", u"on par with"},
        {"female 7.0", u"Female", u"140", u"20", u"7.00", u"twice that of"},
        {"female 10.9", u"Female", u"218", u"20", u"10.90", u"twice that of"},
        {"female 11", u"Female", u"220", u"20", u"11.00", u"3 times that of"},
    };
    for (const auto& row : ratioRows) {
        QTest::newRow(row.name) << cholHdl
                                << mgdl(QString::fromUtf16(row.gender),
                                        QString::fromUtf16(row.chol), QString::fromUtf16(row.hdl),
                                        {})
                                << QString::fromUtf16(row.result)
                                << risk(QString::fromUtf16(row.phrase));
    }
    QTest::newRow("total in mmol/L, hdl in mg/dL")
        << cholHdl
        << QStringList{u"Gender=Male"_s, u"Chol=5.18"_s, u"UnitChol=mmol/L"_s, u"HDL=50"_s,
                       u"UnitHDL=mg/dL"_s}
        << u"4.00"_s << risk(u"50% than that of "_s);
    QTest::newRow("both in mmol/L")
        << cholHdl
        << QStringList{u"Gender=Female"_s, u"Chol=5.18"_s, u"UnitChol=mmol/L"_s, u"HDL=1.295"_s,
                       u"UnitHDL=mmol/L"_s}
        << u"4.00"_s << risk(u"50% than that of "_s);

    // LDL-to-HDL classes.
    QTest::newRow("ldl/hdl 2") << ldlHdl << mgdl({}, {}, u"50"_s, u"100"_s) << u"2.00"_s
                               << u"Risk of cardiovascular disease: low"_s;
    QTest::newRow("ldl/hdl 0.49") << ldlHdl << mgdl({}, {}, u"50"_s, u"24.5"_s) << u"0.49"_s
                                  << u"Risk of cardiovascular disease: very low"_s;
    QTest::newRow("ldl/hdl 0.5") << ldlHdl << mgdl({}, {}, u"50"_s, u"25"_s) << u"0.50"_s
                                 << u"Risk of cardiovascular disease: low"_s;
    QTest::newRow("ldl/hdl 3") << ldlHdl << mgdl({}, {}, u"50"_s, u"150"_s) << u"3.00"_s
                               << u"Risk of cardiovascular disease: moderate"_s;
    QTest::newRow("ldl/hdl 6") << ldlHdl << mgdl({}, {}, u"50"_s, u"300"_s) << u"6.00"_s
                               << u"Risk of cardiovascular disease: moderate"_s;
    QTest::newRow("ldl/hdl 6.02") << ldlHdl << mgdl({}, {}, u"50"_s, u"301"_s) << u"6.02"_s
                                  << u"Risk of cardiovascular disease: high"_s;
}

void TestCalcHeart::calculations()
{
    QFETCH(QString, title);
    QFETCH(QStringList, inputs);
    QFETCH(QString, result);
    QFETCH(QString, moreInfo);

    const CalcRun run = runCalculation(title, inputs);
    QVERIFY(run.selected);
    QCOMPARE(run.messageTexts(), QStringList());
    QCOMPARE(run.beeps, 0);
    QCOMPARE(run.errorCount, 0);
    QCOMPARE(run.result.value_or(notWritten), result);
    QCOMPARE(run.moreInfo.value_or(notWritten), moreInfo);
}

QTEST_GUILESS_MAIN(TestCalcHeart)
#include "tst_calcheart.moc"
