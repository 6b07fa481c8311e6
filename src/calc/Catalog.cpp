#include "Catalog.h"

namespace vantor::calc {

using namespace Qt::Literals::StringLiterals;

namespace {

QList<ControlChange> changesOf(const QStringList& controls, ControlChange::Action action)
{
    QList<ControlChange> changes;
    for (const QString& control : controls)
        changes.append({control, action});
    return changes;
}

QList<ControlChange> enable(const QStringList& controls)
{
    return changesOf(controls, ControlChange::Enable);
}

QList<ControlChange> disable(const QStringList& controls)
{
    return changesOf(controls, ControlChange::Disable);
}

ControlChange disableOne(const QString& control)
{
    return {control, ControlChange::Disable};
}

ControlChange hide(const QString& control)
{
    return {control, ControlChange::Hide};
}

// The renal window shows its More Info button for every calculator that writes
// an interpretation: that text is only ever read through the button.
ControlChange showMoreInfo()
{
    return {u"MoreInfoButton"_s, ControlChange::Show};
}

// An input named in words: its caption label, its text box and its unit
// control, in that order.
QStringList inputs(const QStringList& names)
{
    QStringList controls;
    for (const QString& name : names)
        controls << name + u"Label"_s << name << u"Unit"_s + name;
    return controls;
}

// Age, weight, gender and serum creatinine, as the clearance estimate uses them.
QList<ControlChange> clearanceChanges()
{
    return enable(QStringList{u"AgeLabel"_s, u"Age"_s, u"WeightLabel"_s, u"Weight"_s,
                              u"UnitWeight"_s, u"GenderLabel"_s, u"Gender"_s} +
                  inputs({u"SerumCreatinine"_s}));
}

QList<CalculatorEntry> buildCatalog()
{
    return {
        {0,
         0,
         u"Cholesterol Level Interpretation"_s,
         u"Total cholesterol, LDL cholesterol, and HDL cholesterol levels are correlated with risk of coronary artery disease. Patients with ischemic heart disease can reduce their risk by changes in the serum levels of these lipids."_s,
         u"Cholesterol Level Interpretation"_s,
         {hide(u"Result"_s)}},
        {0, 1, u"Total Cholesterol-to-HDL Cholesterol Ratio"_s,
         u"The total cholesterol-to-HDL cholesterol ratio can be used to assess the risk of coronary artery disease as compared to that of 'Average Americans'."_s,
         u"Total Cholesterol-to-HDL Cholesterol Ratio"_s,
         disable({u"LDL"_s, u"LDLLabel"_s, u"UnitLDL"_s})},
        {0, 2, u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s,
         u"The ratio of LDL cholesterol to HDL cholesterol can be used to assess a risk for coronary vascular disease."_s,
         u"LDL Cholesterol-to-HDL Cholesterol Ratio"_s,
         disable({u"Gender"_s, u"Chol"_s, u"UnitChol"_s})},
        {0,
         3,
         u"NCEP Adult Treatment Panel III Classification of Serum Lipids"_s,
         u"The Adult Treatment Panel III (ATP III) of the National Cholesterol Eduction Program (NCEP) revised the interpretation of serum lipid values and provided goals for LDL cholesterol based on the number of risk factors for coronary heart disease (CHD)."_s,
         u"Adult Treatment Panel III Classification"_s,
         {disableOne(u"Gender"_s), hide(u"Result"_s)}},
        {1, 0, u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s,
         u"The ratio of the aminotransferases correlates with the etiology of liver disease."_s,
         u"AST-to-ALT (SGOT-to-SGPT) Ratio"_s,
         enable({u"ALT"_s, u"ALTLabel"_s, u"UnitALT"_s, u"AST"_s, u"ASTLabel"_s, u"UnitAST"_s})},
        {1, 1, u"Serum Albumin-to-Globulin Ratio"_s,
         u"The ratio of albumin to globulin can help identify disorders of serum proteins."_s,
         u"Serum Albumin-to-Globulin Ratio"_s,
         enable({u"Albumin"_s, u"AlbuminLabel"_s, u"UnitAlbumin"_s, u"Globulin"_s,
                 u"GlobulinLabel"_s, u"UnitGlobulin"_s})},
        {1, 2, u"Serum Direct -to- Total Bilirubin Ratio"_s,
         u"The ratio of direct to total serum bilirubin can help in predicting the cause of jaundice. The total serum bilirubin must exceed 2.5 mg/dl to produce clinical jaundice."_s,
         u"Serum Direct -to- Total Bilirubin Ratio"_s,
         enable({u"BilirubinDirect"_s, u"BilirubinDirectLabel"_s, u"UnitBilirubinDirect"_s,
                 u"BilirubinTotal"_s, u"BilirubinTotalLabel"_s, u"UnitBilirubinTotal"_s})},
        {1, 3, u"Serum Ferritin and Estimate of Body Iron Stores"_s,
         u"Ferritin consists of a protein shell (apoferritin) surrounding variable amounts of iron complexed as ferric hydroxide-phosphate. Ferritin present in the serum contains approximately 20-25% iron. Serum ferritin concentrations in normal individuals and iron deficient patients correlate well with total body iron stores."_s,
         u"Serum Ferritin and Estimate of Iron Stores"_s,
         enable({u"Ferritin"_s, u"FerritinLabel"_s, u"UnitFerritin"_s}) << hide(u"Result"_s)},
        {1, 4, u"Serum Transferrin Saturation"_s,
         u"Serum transferrin is a transport protein for serum iron. The degree of its saturation by iron varies with different disorders involving iron."_s,
         u"Serum Transferrin Saturation"_s,
         enable(
             {u"Iron"_s, u"IronLabel"_s, u"UnitIron"_s, u"TIBC"_s, u"TIBCLabel"_s, u"UnitTIBC"_s})},
        {1, 5, u"Total Iron Binding Capacity (TIBC) Calculated"_s,
         u"Calculates the Total Iron Binding Capacity (TIBC) from serum transferrin."_s,
         u"Total Iron Binding Capacity (TIBC)"_s,
         enable({u"Transferrin"_s, u"TransferrinLabel"_s, u"UnitTransferrin"_s})},
        {1, 6, u"Transferrin Calculated"_s,
         u"Serum transferrin is a transport protein for serum iron."_s, u"Transferrin"_s,
         enable({u"TIBC"_s, u"TIBCLabel"_s, u"UnitTIBC"_s})},
        {2, 0, u"Amylase Clearance to Creatinine Clearance"_s,
         u"The amylase-creatinine clearance may be calculated if random simultaneously collected serum and urine samples are analyzed for both creatinine and amylase. May be used to diagnose acute pancreatitis as well as the effect of burns, diabetic ketoacidosis, acute defects in renal tubular function, severe renal insufficiency, dudodenal perforation, and pancreatic cancer."_s,
         u"Amylase Clearance to Creatinine Clearance"_s,
         enable(inputs(
             {u"SerumAmylase"_s, u"UrineAmylase"_s, u"SerumCreatinine"_s, u"UrineCreatinine"_s}))
             << showMoreInfo()},
        {2, 1, u"Creatinine Clearance Estimated"_s,
         u"Estimation of creatinine clearance based on age, body weight, and serum creatinine levels. Uses the method of Cockcroft and Gault (1976)."_s,
         u"Creatinine Clearance Estimated"_s, clearanceChanges() << showMoreInfo()},
        {2, 2, u"Fractional Potassium Excretion"_s,
         u"The fractional excretion of potassium normalizes urinary potassium excretion rate for the glomerular filtration rate."_s,
         u"Fractional Potassium Excretion"_s,
         enable(inputs({u"SerumCreatinine"_s, u"UrineCreatinine"_s, u"SerumPotassium"_s,
                        u"UrinePotassium"_s}))},
        {2, 3, u"Fractional Sodium Excretion"_s,
         u"The fractional sodium excretion is an index of renal ability to conserve sodium and represents the percent of filtered sodium to reach the urine."_s,
         u"Fractional Sodium Excretion"_s,
         enable(inputs({u"SerumCreatinine"_s, u"UrineCreatinine"_s}) +
                QStringList{u"UrineSodium"_s, u"UrineSodiumLabel"_s, u"UnitUrineSodium"_s} +
                inputs({u"SerumSodium"_s}))},
        {2, 4, u"Glomerular Filtration Rate (GFR)"_s,
         u"The glomerular filtration rate (GFR) reflects the amount of plasma filtered each minute. A decrease in GFR reflects deterioration of renal function."_s,
         u"Glomerular Filtration Rate (GFR)"_s, clearanceChanges() << showMoreInfo()},
        {2, 5, u"Phosphorus Clearance Estimated"_s,
         u"The renal phosphorus clearance is analogous to the creatinine clearance except that serum and urine phosphorus levels are used in place of the corresponding creatinine values."_s,
         u"Phosphorus Clearance Estimated"_s,
         enable(inputs({u"SerumPhosphorus"_s, u"UrinePhosphorus"_s, u"UrineVolume"_s}))},
        {2, 6, u"Renal Calcium Clearance to Creatinine Clearance"_s,
         u"The ratio of renal calcium clearance to creatinine clearance can be useful in diagnosing some patients with hypercalcemia."_s,
         u"Renal Calcium to Creatinine Clearance"_s,
         enable(inputs(
             {u"SerumCreatinine"_s, u"UrineCreatinine"_s, u"SerumCalcium"_s, u"UrineCalcium"_s}))},
        {2, 7, u"Renal Failure Index (RFI)"_s,
         u"The renal failure index measures sodium conservation and concentrating ability. It is chiefly of use in oliguric patients for the early differentiation of prerenal azotemia from acute tubular necrosis."_s,
         u"Renal Failure Index (RFI)"_s,
         enable(inputs({u"SerumCreatinine"_s, u"UrineCreatinine"_s, u"UrineSodium"_s}))},
        {2, 8, u"Urea Nitrogen and Creatinine Ratios"_s,
         u"A group of three tests for determining renal function. Includes a serum BUN to Serum Creatinine Ratio, Urine Creatinine to Serum Creatinine Ratio, and Urine Urea Nitrogen to Serum Urea Nitrogen Ratio."_s,
         u"Urea Nitrogen and Creatinine Ratios"_s,
         enable(
             inputs({u"SerumCreatinine"_s, u"UrineCreatinine"_s, u"SerumUrea"_s, u"UrineUrea"_s}))
             << showMoreInfo()},
        {2, 9, u"Uric Acid-to-Creatinine Ratio"_s,
         u"The ratio of uric acid to creatinine can help distinguish patients with acute renal failure due to hyperuricemia from patients with renal failure due to other causes."_s,
         u"Uric Acid-to-Creatinine Ratio"_s,
         enable(inputs({u"UrineCreatinine"_s, u"UrineUrate"_s})) << showMoreInfo()},
        {2, 10, u"Urinary Potassium Excretion Rate"_s,
         u"Measurement of the urinary potassium excretion rate in a timed specimen can be used to distinguish renal from nonrenal cause of hypokalemia."_s,
         u"Urinary Potassium Excretion Rate"_s,
         enable(inputs({u"UrinePotassium"_s, u"UrineVolume"_s})) << showMoreInfo()},
        {2, 11, u"Urine Protein to Urine Creatinine Ratio"_s,
         u"The ratio of urine protein to urine creatinine ratio reliably detects significant proteinuria and is useful in assessing patients with proteinuria."_s,
         u"Urine Protein to Urine Creatinine Ratio"_s,
         enable(inputs({u"UrineCreatinine"_s, u"UrineProtein"_s})) << showMoreInfo()},
    };
}

} // namespace

QStringList Catalog::categories()
{
    return {u"Cholesterol and Coronary Heart Disease"_s, u"Liver Functions"_s,
            u"Renal & Urinary System"_s};
}

const QList<CalculatorEntry>& Catalog::all()
{
    static const QList<CalculatorEntry> entries = buildCatalog();
    return entries;
}

QList<CalculatorEntry> Catalog::calculators(int category)
{
    QList<CalculatorEntry> result;
    for (const CalculatorEntry& e : all()) {
        if (e.category == category)
            result.append(e);
    }
    return result;
}

const CalculatorEntry* Catalog::entry(int category, int index)
{
    for (const CalculatorEntry& e : all()) {
        if (e.category == category && e.index == index)
            return &e;
    }
    return nullptr;
}

const CalculatorEntry* Catalog::find(const QString& name)
{
    for (const CalculatorEntry& e : all()) {
        if (e.title == name)
            return &e;
    }
    for (const CalculatorEntry& e : all()) {
        if (e.listItem == name)
            return &e;
    }
    return nullptr;
}

} // namespace vantor::calc
