#include "HeartCalculations.h"

#include "CalculatorForm.h"
#include "ResultText.h"

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList cholesterolUnits = {u"mmol/L"_s, u"mg/dL"_s};

// Values are judged as shown in full precision, so that 6.216 mmol/L is
// 240 mg/dL and not a hair below it.
double cholesterol(const CalculatorForm& form, const QString& input)
{
    return ResultText::readBack(ResultText::converted(form, input, u"mmol/L"_s, 0.0259));
}

bool isMale(const CalculatorForm& form)
{
    return form.text(u"Gender"_s) == u"Male"_s;
}

QString threeBands(double value, double first, double second)
{
    if (value < first)
        return u"desirable"_s;
    if (value < second)
        return u"borderline high"_s;
    return u"high"_s;
}

// HDL against the average risk. Each band takes its upper edge.
QString hdlRisk(bool male, double hdl)
{
    struct Band
    {
        double upTo;
        const char16_t* text;
    };
    static const Band maleBands[] = {
        {25, u"2 times average"},   {30, u"1.8 times average"}, {35, u"1.8 times average"},
        {40, u"1.5 times average"}, {45, u"1.2 times average"}, {50, u"average"},
        {55, u"0.8 times average"}, {60, u"0.7 times average"}, {65, u"0.6 times average"},
        {70, u"0.5 times average"},
    };
    static const Band femaleBands[] = {
        {40, u"1.9 times average"}, {45, u"1.9 times average"}, {50, u"1.6 times average"},
        {55, u"1.3 times average"}, {60, u"average"},           {65, u"0.8 times average"},
        {70, u"0.6 times average"}, {75, u"0.5 times average"},
    };
    if (male) {
        for (const Band& band : maleBands) {
            if (hdl <= band.upTo)
                return QString::fromUtf16(band.text);
        }
    } else {
        for (const Band& band : femaleBands) {
            if (hdl <= band.upTo)
                return QString::fromUtf16(band.text);
        }
    }
    return u"longevity"_s;
}

// The bands adjoin: a ratio between two printed edges (4.95, say) joins the
// band below the next edge.
QString cholHdlPhrase(bool male, double r)
{
    if (r <= (male ? 3.4 : 3.3))
        return u"less than 50% than that of"_s;
    if (r < (male ? 5.0 : 4.4))
        return u"50% than that of "_s;
    if (r < (male ? 9.6 : 7.0))
        return male ? u"that of"_s : u"on par with"_s;
    if (r <= (male ? 23.3 : 10.9))
        return u"twice that of"_s;
    return u"3 times that of"_s;
}

QString ldlHdlClass(double r)
{
    if (r < 0.5)
        return u"very low"_s;
    if (r < 3)
        return u"low"_s;
    if (r <= 6)
        return u"moderate"_s;
    return u"high"_s;
}

QString atpHdlClass(double hdl)
{
    if (hdl < 40)
        return u"low"_s;
    if (hdl <= 60)
        return u"intermediate"_s;
    return u"high"_s;
}

QString atpLdlClass(double ldl)
{
    if (ldl < 100)
        return u"optimal"_s;
    if (ldl < 130)
        return u"near or above optimal"_s;
    if (ldl < 160)
        return u"borderline high"_s;
    if (ldl < 190)
        return u"high"_s;
    return u"very high"_s;
}

QString lipidSummary(const QString& total, const QString& hdl, const QString& ldl)
{
    const QString paragraph = u"\r\r"_s;
    return u"Total Cholesterol: "_s + total + paragraph + u"HDL Cholesterol: "_s + hdl + paragraph +
           u"LDL Cholesterol: "_s + ldl + paragraph;
}

void generalResults(CalculatorForm& form)
{
    const double total = cholesterol(form, u"Chol"_s);
    const double hdl = cholesterol(form, u"HDL"_s);
    const double ldl = cholesterol(form, u"LDL"_s);
    form.setMoreInfo(lipidSummary(threeBands(total, 200, 240), hdlRisk(isMale(form), hdl),
                                  threeBands(ldl, 130, 160)));
}

void cholHdl(CalculatorForm& form)
{
    const double ratio =
        ResultText::readBack(cholesterol(form, u"Chol"_s) / cholesterol(form, u"HDL"_s));
    form.setResult(ResultText::format(ratio));
    form.setMoreInfo(u"The risk of coronary artery disease is "_s +
                     cholHdlPhrase(isMale(form), ratio) + u" the 'average American'."_s);
}

void ldlHdl(CalculatorForm& form)
{
    const double ratio =
        ResultText::readBack(cholesterol(form, u"LDL"_s) / cholesterol(form, u"HDL"_s));
    form.setResult(ResultText::format(ratio));
    form.setMoreInfo(u"Risk of cardiovascular disease: "_s + ldlHdlClass(ratio));
}

void adult3(CalculatorForm& form)
{
    const double total = cholesterol(form, u"Chol"_s);
    const double hdl = cholesterol(form, u"HDL"_s);
    const double ldl = cholesterol(form, u"LDL"_s);
    form.setMoreInfo(lipidSummary(threeBands(total, 200, 240), atpHdlClass(hdl), atpLdlClass(ldl)));
}

QList<Calculation> build()
{
    const InputCheck chol = InputCheck::value(u"Chol"_s, cholesterolUnits);
    const InputCheck hdl = InputCheck::value(u"HDL"_s, cholesterolUnits);
    const InputCheck ldl = InputCheck::value(u"LDL"_s, cholesterolUnits);
    const InputCheck gender = InputCheck::gender();
    return {
        {u"Cholesterol Level Interpretation"_s, {gender, chol, hdl, ldl}, &generalResults},
        {u"Total Cholesterol-to-HDL Cholesterol Ratio"_s, {gender, chol, hdl}, &cholHdl},
        {u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s, {hdl, ldl}, &ldlHdl},
        {u"Adult Treatment Panel III Classification"_s, {chol, hdl, ldl}, &adult3},
    };
}

} // namespace

const QList<Calculation>& HeartCalculations::all()
{
    static const QList<Calculation> calculations = build();
    return calculations;
}

} // namespace vantor::calc
