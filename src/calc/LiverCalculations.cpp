#include "LiverCalculations.h"

#include "CalculatorForm.h"
#include "ResultText.h"

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

// Every value is judged as the user would see it in full precision, so that
// 55 / 100 x 100 is 55 and not a hair above it.

namespace {

// Healthy AST/ALT ratios lie around 1.1, obstructive jaundice around 0.8.
constexpr double cholestasisEdge = 0.9;

// The usual upper reference limit of both aminotransferases, in IU/L.
constexpr double aminotransferaseLimit = 40;

// The reference range of TIBC, in ug/dL.
constexpr double tibcLow = 250;
constexpr double tibcHigh = 450;

double ironValue(const CalculatorForm& form, const QString& input)
{
    return ResultText::converted(form, input, u"umol/L"_s, 0.179);
}

double bilirubin(const CalculatorForm& form, const QString& input)
{
    return ResultText::converted(form, input, u"umol/L"_s, 17.1);
}

double protein(const CalculatorForm& form, const QString& input)
{
    return ResultText::converted(form, input, u"g/L"_s, 10);
}

QString astAltText(double r)
{
    if (r <= 0.65)
        return u"The AST to ALT ratio indicates acute viral hepatitis."_s;
    if (r < cholestasisEdge)
        return u"The AST to ALT ratio indicates extrahepatic cholestasis."_s;
    if (r < 1.3)
        return u"The AST to ALT ratio is normal."_s;
    if (r <= 1.5)
        return u"The AST to ALT ratio is slightly increased and indicates chronic hepatitis."_s;
    if (r <= 2)
        return u"The AST to ALT ratio indicates alcoholic hepatitis, cirrhosis, intrahepatic "
               u"cholestasis, or hepatocellular carcinoma."_s;
    if (r <= 3)
        return u"The AST to ALT ratio indicates drug hepatotoxicity."_s;
    return u"The AST to ALT ratio indicates acute MI."_s;
}

QString bilirubinText(double p)
{
    if (p < 20)
        return u"The ratio of direct to total serum bilirubin indicates constitutional "
               u"hyperbilirubinemia (Gilbert's Crigler-Najjar etc.)."_s;
    if (p < 40)
        return u"The ratio of direct to total serum bilirubin indicates hepatocellular disease "
               u"more likely than extrahepatic obstruction."_s;
    if (p < 60)
        return u"may be either hepatocellular disease or extrahepatic obstruction."_s;
    return u"extrahepatic obstruction more likely than hepatocellular disease."_s;
}

QString tibcText(double tibc)
{
    if (tibc > tibcHigh)
        return u"Total Iron Binding Capacity is increased and may be due to iron deficiency "
               u"anemia, acute and chronic blood loss, acute liver damage, or late pregnancy."_s;
    if (tibc < tibcLow)
        return u"Total Iron Binding Capacity is decreased and may be due hemochromatosis, "
               u"cirrhosis, thalassemia, anemia of chronic disease, or nephrosis."_s;
    return u"Total Iron Binding Capacity is normal."_s;
}

// The De Ritis ratio (De Ritis F et al., Clin Chim Acta 1957;2:70-4) speaks
// of liver disease only when the enzymes are raised: AST 20 / ALT 40 is two
// normal values, not acute viral hepatitis.
void astAlt(CalculatorForm& form)
{
    const double ast = ResultText::value(form, u"AST"_s);
    const double alt = ResultText::value(form, u"ALT"_s);
    const double r = ResultText::readBack(ast / alt);
    form.setResult(ResultText::format(r, u" "_s));
    if (ast <= aminotransferaseLimit && alt <= aminotransferaseLimit)
        form.setMoreInfo(u"Both aminotransferases are within normal limits; the ratio is not "
                         u"interpreted."_s);
    else
        form.setMoreInfo(astAltText(r));
}

void albuminGlobulin(CalculatorForm& form)
{
    const double r =
        ResultText::readBack(protein(form, u"Albumin"_s) / protein(form, u"Globulin"_s));
    form.setResult(ResultText::format(r, u" "_s));
    if (r >= 1.0) {
        form.setMoreInfo(u"The Albumin to Globumin ratio is high but often clinically "
                         u"insignificant except in hypogammaglobulinemia."_s);
    } else {
        form.setMoreInfo(
            u"The Albumin to Globumin ratio is low and found in states with low albumin "
            u"(protein wastage malnutrition decreased production) or high globulins (polyclonal "
            u"or monoclonal gammopathies) or both."
            u"Disorders with low ratios include cirrhosis and other liver diseases, chronic "
            u"glomerulonephritis, nephrotic syndrome, myeloma macroglobulinemia, sarcoidosis and "
            u"other granulomatous diseases, "
            u"collagen vascular diseases, severe infections, inflammatory states, cachexia, "
            u"burns, or ulcerative colitis."_s);
    }
}

void bilirubinRatio(CalculatorForm& form)
{
    const double p = ResultText::readBack(bilirubin(form, u"BilirubinDirect"_s) /
                                          bilirubin(form, u"BilirubinTotal"_s) * 100);
    form.setResult(ResultText::format(p, u" % "_s));
    form.setMoreInfo(bilirubinText(p));
}

void ferritinStores(CalculatorForm& form)
{
    const double f =
        ResultText::readBack(ResultText::converted(form, u"Ferritin"_s, u"pmol/L"_s, 2.247));
    if (f > 220)
        form.setMoreInfo(
            u"Serum ferritin level is high and in an adult represents iron overload."_s);
    else if (f < 10)
        form.setMoreInfo(
            u"Serum ferritin level is low and usually indicative of iron deficiency anemia."_s);
    else
        form.setMoreInfo(u"Serum ferritin level appears normal."_s);
}

void transferrinSaturation(CalculatorForm& form)
{
    const double s =
        ResultText::readBack(ironValue(form, u"Iron"_s) / ironValue(form, u"TIBC"_s) * 100);
    form.setResult(ResultText::format(s, u" % "_s));
    if (s > 55)
        form.setMoreInfo(u"Serum Transferrin Saturation is increased and may be due to "
                         u"hemochromatosis, hemosiderosis, or thalassemia."_s);
    else if (s < 16)
        form.setMoreInfo(u"Serum Transferrin Saturation is decreased and may be due to iron "
                         u"deficiency anemia or anemia of chronic disease."_s);
    else
        form.setMoreInfo(u"Serum Transferrin Saturation is normal."_s);
}

void tibcCalculated(CalculatorForm& form)
{
    // 1 g/L is 100 mg/dL.
    double transferrin = ResultText::value(form, u"Transferrin"_s);
    if (form.text(u"UnitTransferrin"_s) == u"g/L"_s)
        transferrin *= 100;
    const double tibc = ResultText::readBack(transferrin * 1.43);
    form.setResult(ResultText::format(tibc, u" ug/dL "_s));
    form.setMoreInfo(tibcText(tibc));
}

void transferrinCalculated(CalculatorForm& form)
{
    // The transferrin is the same quantity as the TIBC it comes from, so the
    // TIBC is what the interpretation judges.
    const double tibc = ResultText::readBack(ironValue(form, u"TIBC"_s));
    form.setResult(ResultText::format(tibc * 0.7, u" mg/dL "_s));
    form.setMoreInfo(tibcText(tibc));
}

QList<Calculation> build()
{
    const InputCheck ironUnits[] = {
        InputCheck::value(u"Iron"_s, {u"umol/L"_s, u"ug/dL"_s}),
        InputCheck::value(u"TIBC"_s, {u"umol/L"_s, u"ug/dL"_s}),
    };
    const QStringList proteinUnits = {u"g/dL"_s, u"g/L"_s};
    const QStringList bilirubinUnits = {u"mg/dL"_s, u"umol/L"_s};
    return {
        {u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s,
         {InputCheck::value(u"AST"_s), InputCheck::value(u"ALT"_s)},
         &astAlt},
        {u"Serum Albumin-to-Globulin Ratio"_s,
         {InputCheck::value(u"Albumin"_s, proteinUnits),
          InputCheck::value(u"Globulin"_s, proteinUnits)},
         &albuminGlobulin},
        {u"Serum Direct -to- Total Bilirubin Ratio"_s,
         {InputCheck::value(u"BilirubinDirect"_s, bilirubinUnits),
          InputCheck::value(u"BilirubinTotal"_s, bilirubinUnits)},
         &bilirubinRatio},
        {u"Serum Ferritin and Estimate of Iron Stores"_s,
         {InputCheck::value(u"Ferritin"_s, {u"pmol/L"_s, u"ug/L"_s, u"ng/ml"_s})},
         &ferritinStores},
        {u"Serum Transferrin Saturation"_s, {ironUnits[0], ironUnits[1]}, &transferrinSaturation},
        {u"Total Iron Binding Capacity (TIBC)"_s,
         {InputCheck::value(u"Transferrin"_s, {u"mg/dL"_s, u"g/L"_s})},
         &tibcCalculated},
        {u"Transferrin"_s, {ironUnits[1]}, &transferrinCalculated},
    };
}

} // namespace

const QList<Calculation>& LiverCalculations::all()
{
    static const QList<Calculation> calculations = build();
    return calculations;
}

} // namespace vantor::calc
