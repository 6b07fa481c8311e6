#include "RenalCalculations.h"

#include "CalculatorForm.h"
#include "ResultText.h"

#include "platform/Ui.h"

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

namespace {

double serumCreatinine(const CalculatorForm& form)
{
    return ResultText::converted(form, u"SerumCreatinine"_s, u"umol/L"_s, 88.4);
}

double urineCreatinine(const CalculatorForm& form)
{
    const double v = ResultText::value(form, u"UrineCreatinine"_s);
    return form.text(u"UnitUrineCreatinine"_s) == u"mmol/L"_s ? v * 1000 / 88.4 : v;
}

double calcium(const CalculatorForm& form, const QString& input)
{
    return ResultText::converted(form, input, u"mmol/L"_s, 0.25);
}

double urea(const CalculatorForm& form, const QString& input)
{
    return ResultText::converted(form, input, u"mmol/L"_s, 0.357);
}

double plain(const CalculatorForm& form, const QString& input)
{
    return ResultText::value(form, input);
}

double phosphorus(const CalculatorForm& form, const QString& input)
{
    return ResultText::converted(form, input, u"mmol/L"_s, 0.323);
}

// Writes the result and returns it as read back from its full-precision text.
double writeResult(CalculatorForm& form, double value, const QString& suffix)
{
    const double r = ResultText::readBack(value);
    form.setResult(ResultText::format(r, suffix));
    return r;
}

// Cockcroft DW, Gault MH, Nephron 1976;16:31-41: (140 - age) x weight /
// (72 x serum creatinine), the woman's value 85 % of the man's; 85 is the
// rounded 72 / 0.85 (84.7). The age check stops at 120, so 140 - age stays
// positive.
double creatinineClearance(const CalculatorForm& form)
{
    const double age = plain(form, u"Age"_s);
    const double weight = ResultText::converted(form, u"Weight"_s, u"lbs"_s, 2.2);
    const double divisor = form.text(u"Gender"_s) == u"Male"_s ? 72 : 85;
    return (140 - age) * weight / (serumCreatinine(form) * divisor);
}

QString gfrText(double r)
{
    if (r > 80)
        return u"Based on GFR, renal function is normal."_s;
    if (r >= 52)
        return u"Based on GFR, renal function is slightly impaired."_s;
    if (r >= 42)
        return u"Based on GFR, renal function is mildly impaired."_s;
    if (r >= 28)
        return u"Based on GFR, renal function is moderately impaired."_s;
    return u"Based on GFR, renal function is severely impaired."_s;
}

QString proteinRatioText(double r)
{
    if (r < 0.1)
        return u"Ratio is that of a healthy person."_s;
    if (r < 0.2)
        return u"Ratio indicates trace proteinuria."_s;
    if (r < 1.0)
        return u"Ratio indicates low grade proteinuria."_s;
    if (r <= 3.5)
        return u"Ratio indicates moderate proteinuria"_s;
    return u"Ratio indicates nephrotic syndrome."_s;
}

QString bunCreatinineText(double r1)
{
    if (r1 < 10)
        return u"The BUN-creatinine ratio is low, perhaps due to renal dialysis, acute tubular "
               u"necrosis, low protein diet or starvation, syndrome of inappropriate ADH "
               u"secretion, pregnancy, severe liver disease, inherited hyperammonemia."_s;
    if (r1 <= 20)
        return {};
    if (r1 < 36)
        return u"The BUN-creatinine ratio is elevated, perhaps due to prerenal azotemia, "
               u"postrenal azotemia, catabolic state with reduced muscle mass, drug "
               u"(tetracycline glucocorticoid) effects, impaired renal function with urine "
               u"reabsorption for example with ureterocolostomy, impaired renal function with "
               u"excess protein intake/production or with excess tissue breakdown as may occur "
               u"with GI bleeding thyrotoxicosis infection Cushing's syndrome surgery burns "
               u"cachexia high fever or high protein diet."_s;
    return u"The BUN-creatinine ratio suggests upper GI bleeding."_s;
}

QString creatinineRatioText(double r2)
{
    if (r2 > 40)
        return u"The elevated creatinine ratio is perhaps due to prerenal azotemia, acute "
               u"glomerulonephritis, or hepatorenal syndrome."_s;
    if (r2 < 20)
        return u"The low creatinine ratio is perhaps due to acute tubular necrosis (acute "
               u"oliguric renal failure), acute obstructive renal failure, or acute nonoliguric "
               u"renal failure."_s;
    return {};
}

// Urine-to-plasma urea nitrogen, after Miller TR et al., Ann Intern Med
// 1978;89:47-50: above 8 the kidney still concentrates (prerenal), below 3 it
// no longer does (acute tubular necrosis). Between them no text.
QString ureaRatioText(double r3)
{
    if (r3 > 8)
        return u"The elevated urea ratio is perhaps due to prerenal azotemia, acute obstructive "
               u"renal failure, or acute glomerulonephritis."_s;
    if (r3 < 3)
        return u"The low urea ratio is due to acute tubular necrosis (acute oliguric renal "
               u"failure)."_s;
    return {};
}

void amylaseClearance(CalculatorForm& form)
{
    const double value = (serumCreatinine(form) / urineCreatinine(form)) *
                         (plain(form, u"UrineAmylase"_s) / plain(form, u"SerumAmylase"_s)) * 100;
    const double r = writeResult(form, value, u" %"_s);
    if (r > 5)
        form.setMoreInfo(
            u"The result indicates acute pancreatitis but may also occur in burns, diabetic "
            u"ketoacidosis, acute defects in renal tubular function, severe renal "
            u"insufficiency, dudodenal perforation, and pancreatic cancer. "_s);
    else if (r < 1)
        form.setMoreInfo(u"The result indicates macroamylasemia (polymerization of amylase to "
                         u"amylase or to immunoglobulins."_s);
    else
        form.setMoreInfo(u"Amylase Clearance -to- Creatinine Clearance appear normal."_s);
}

void creatinineClearanceEstimated(CalculatorForm& form)
{
    const double r = writeResult(form, creatinineClearance(form), u" mL/min"_s);
    form.setMoreInfo(gfrText(r));
}

void fractionalPotassiumExcretion(CalculatorForm& form)
{
    const double value = (plain(form, u"UrinePotassium"_s) / plain(form, u"SerumPotassium"_s)) /
                         (urineCreatinine(form) / serumCreatinine(form));
    writeResult(form, value, u" "_s);
    form.setMoreInfo({});
}

void fractionalSodiumExcretion(CalculatorForm& form)
{
    const double value = (plain(form, u"UrineSodium"_s) / plain(form, u"SerumSodium"_s)) /
                         (urineCreatinine(form) / serumCreatinine(form)) * 100;
    writeResult(form, value, u" % FE-Na"_s);
    form.setMoreInfo({});
}

// A renal clearance, C = U x V / P (Tietz, Textbook of Clinical Chemistry),
// from a 24-hour urine: the volume in ml over 1440 minutes gives mL/min.
void phosphorusClearanceEstimated(CalculatorForm& form)
{
    const double value = phosphorus(form, u"UrinePhosphorus"_s) * plain(form, u"UrineVolume"_s) /
                         (phosphorus(form, u"SerumPhosphorus"_s) * 1440);
    writeResult(form, value, u" mL/min"_s);
    form.setMoreInfo({});
}

// Calcium-to-creatinine clearance ratio, (UCa x SCr) / (SCa x UCr); its
// decision limits 0.01 (familial hypocalciuric hypercalcaemia) and 0.02
// (primary hyperparathyroidism), Christensen SE et al., Clin Endocrinol
// 2008;69:713-20, need four places to be told apart.
void renalCalciumClearance(CalculatorForm& form)
{
    const double value = (calcium(form, u"UrineCalcium"_s) * serumCreatinine(form)) /
                         (calcium(form, u"SerumCalcium"_s) * urineCreatinine(form));
    form.setResult(ResultText::formatFourPlaces(ResultText::readBack(value), u" "_s));
    form.setMoreInfo({});
}

void renalFailureIndex(CalculatorForm& form)
{
    const double value =
        plain(form, u"UrineSodium"_s) / (urineCreatinine(form) / serumCreatinine(form));
    writeResult(form, value, u" mEq/L"_s);
    form.setMoreInfo({});
}

// Spot urine uric acid over urine creatinine, both in mg/dL: above 1 in acute
// uric acid nephropathy, below it in other acute renal failure (Kelton J,
// Kelley WN, Holmes EW, Arch Intern Med 1978;138:612-5). Serum values would
// put nearly every healthy adult above 1.
void urateCreatinineRatio(CalculatorForm& form)
{
    const double urate = ResultText::converted(form, u"UrineUrate"_s, u"umol/L"_s, 59.48);
    const double r = writeResult(form, urate / urineCreatinine(form), {});
    if (r > 1)
        form.setMoreInfo(u"Ratios above 1.0 are seen in most patients with acute renal failure "
                         u"due to hyperuricemia."_s);
    else
        form.setMoreInfo(u"Ratios below 1.0 are seen in patients with acute renal failure due "
                         u"to other causes."_s);
}

void ureaCreatinineRatios(CalculatorForm& form)
{
    const double scr = serumCreatinine(form);
    const double sbun = urea(form, u"SerumUrea"_s);
    const double r1 = sbun / scr;
    const double r2 = urineCreatinine(form) / scr;
    const double r3 = urea(form, u"UrineUrea"_s) / sbun;
    const QString f1 = ResultText::format(r1);
    const QString f2 = ResultText::format(r2);
    const QString f3 = ResultText::format(r3);
    form.setResult(f1 + u" ; "_s + f2 + u" ; "_s + f3);
    form.setMoreInfo(u"The first number represents the BUN to Creatinine ratio.\r\r"
                     u"The second number represents the Creatinine to Creatinine ratio.\r\r"
                     u"The third number represents the BUN to BUN ratio."_s);
    platform::ui().beep();
    platform::showMessage(u"Serum BUN to Serum Creatinine ratio: "_s + f1 + u"\r"_s +
                              u"Urine Creatinine to Serum Creatinine: "_s + f2 + u"\r"_s +
                              u"Urine BUN to Serum BUN ratio: "_s + f3 + u"\r\r"_s +
                              bunCreatinineText(r1) + u"\r\r"_s + creatinineRatioText(r2) +
                              u"\r\r"_s + ureaRatioText(r3),
                          platform::Icon::Information);
}

void urinaryPotassiumExcretion(CalculatorForm& form)
{
    const double litres = plain(form, u"UrineVolume"_s) / 1000;
    writeResult(form, plain(form, u"UrinePotassium"_s) * litres, u" mEq/24 "_s);
    form.setMoreInfo(u"An excretion rate more than 20 mEq/24 hours implies potassium 'wastage' "
                     u"(inadequate potassium conservation)."_s);
}

void urineProteinCreatinineRatio(CalculatorForm& form)
{
    const double proteinMgPerDl = plain(form, u"UrineProtein"_s) * 100;
    const double r = writeResult(form, proteinMgPerDl / urineCreatinine(form), {});
    form.setMoreInfo(proteinRatioText(r));
}

QList<Calculation> build()
{
    using Check = InputCheck;
    const QStringList calciumUnits = {u"mmol/L"_s, u"mg/dL"_s};
    // Beyond 120 years the estimate means nothing (and past 140 turns negative).
    const Check age = Check::value(u"Age"_s).atMost(120);
    const Check weight = Check::value(u"Weight"_s, {u"kg"_s, u"lbs"_s}, Check::SilentOnBadUnit);
    const Check gender = Check::gender();
    const Check serumAmylase = Check::value(u"SerumAmylase"_s);
    const Check urineAmylase = Check::value(u"UrineAmylase"_s);
    const Check serumCalcium = Check::value(u"SerumCalcium"_s, calciumUnits);
    const Check urineCalcium =
        Check::value(u"UrineCalcium"_s, calciumUnits, Check::SilentOnBadUnit);
    const Check serumCr = Check::value(u"SerumCreatinine"_s, {u"umol/L"_s, u"mg/dL"_s});
    const Check urineCr =
        Check::value(u"UrineCreatinine"_s, {u"mmol/L"_s, u"mg/dL"_s}, Check::SilentOnBadUnit);
    const Check serumPhosphorus = Check::value(u"SerumPhosphorus"_s, {u"mmol/L"_s, u"mg/dL"_s});
    const Check urinePhosphorus = Check::value(u"UrinePhosphorus"_s, {u"mmol/L"_s, u"mg/dL"_s});
    const Check urineUrate = Check::value(u"UrineUrate"_s, {u"umol/L"_s, u"mg/dL"_s});
    const Check serumUrea = Check::value(u"SerumUrea"_s, {u"mmol/L"_s, u"mg/dL"_s});
    const Check urineUrea = Check::value(u"UrineUrea"_s, {u"mmol/L"_s, u"mg/dL"_s});
    const Check serumPotassium = Check::value(u"SerumPotassium"_s);
    const Check urinePotassium = Check::value(u"UrinePotassium"_s);
    const Check serumSodium = Check::value(u"SerumSodium"_s);
    const Check urineSodium = Check::value(u"UrineSodium"_s);
    const Check urineProtein = Check::value(u"UrineProtein"_s);
    const Check urineVolume = Check::value(u"UrineVolume"_s);

    const QList<Check> clearanceChecks = {age, weight, gender, serumCr};
    return {
        {u"Amylase Clearance to Creatinine Clearance"_s,
         {serumAmylase, urineAmylase, serumCr, urineCr},
         &amylaseClearance},
        {u"Creatinine Clearance Estimated"_s, clearanceChecks, &creatinineClearanceEstimated},
        {u"Glomerular Filtration Rate (GFR)"_s, clearanceChecks, &creatinineClearanceEstimated},
        {u"Fractional Potassium Excretion"_s,
         {serumCr, urineCr, serumPotassium, urinePotassium},
         &fractionalPotassiumExcretion},
        {u"Renal Calcium to Creatinine Clearance"_s,
         {serumCr, urineCr, serumCalcium, urineCalcium},
         &renalCalciumClearance},
        {u"Renal Failure Index (RFI)"_s, {serumCr, urineCr, urineSodium}, &renalFailureIndex},
        {u"Fractional Sodium Excretion"_s,
         {serumCr, urineCr, serumSodium, urineSodium},
         &fractionalSodiumExcretion},
        {u"Phosphorus Clearance Estimated"_s,
         {serumPhosphorus, urinePhosphorus, urineVolume},
         &phosphorusClearanceEstimated},
        {u"Uric Acid-to-Creatinine Ratio"_s, {urineCr, urineUrate}, &urateCreatinineRatio},
        {u"Urinary Potassium Excretion Rate"_s,
         {urineVolume, urinePotassium},
         &urinaryPotassiumExcretion},
        {u"Urea Nitrogen and Creatinine Ratios"_s,
         {serumCr, urineCr, serumUrea, urineUrea},
         &ureaCreatinineRatios},
        {u"Urine Protein to Urine Creatinine Ratio"_s,
         {urineCr, urineProtein},
         &urineProteinCreatinineRatio},
    };
}

} // namespace

const QList<Calculation>& RenalCalculations::all()
{
    static const QList<Calculation> calculations = build();
    return calculations;
}

} // namespace vantor::calc
