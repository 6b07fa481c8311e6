#include "DemoData.h"

#include "engine/Sqlite.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

namespace vantor::store::demo {

namespace {

QString s(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// Reproducible draws: std::mt19937's sequence is fixed by the standard, the
// library's distributions are not, so the few needed are made here.
class Random
{
public:
    explicit Random(unsigned seed) : m_engine(seed) {}

    double uniform() { return double(m_engine()) / 4294967296.0; } // [0, 1)
    int between(int low, int high) { return low + int(uniform() * (high - low + 1)); }
    bool chance(double p) { return uniform() < p; }
    double gauss()
    {
        const double u1 = 1.0 - uniform(); // (0, 1]: log stays finite
        const double u2 = uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }

private:
    std::mt19937 m_engine;
};

// How often each panel is ordered on an occasion with values.
constexpr std::array PanelChance{1.0, 0.4, 0.35, 0.3, 0.3, 0.15, 0.1, 0.2};

const QStringList& remarks()
{
    static const QStringList texts{
        s(u"fasting"),           s(u"after holiday"),
        s(u"after exercise"),    s(u"felt unwell"),
        s(u"new medication"),    s(u"before breakfast"),
        s(u"after a cold"),      s(u"repeat requested by doctor"),
        s(u"fasting, 12 hours"), s(u"after a late dinner"),
    };
    return texts;
}

double drawValue(Random& random, const TestItem& item, int itemIndex, qint64 dayIndex)
{
    // A slow swing over the year plus day-to-day scatter, so a chart shows a shape.
    const double phase = itemIndex * 0.7;
    const double swing = std::sin(2.0 * std::numbers::pi * double(dayIndex) / 400.0 + phase);
    const double value = item.mean + item.spread * (0.8 * random.gauss() + 0.5 * swing);
    const double scale = std::pow(10.0, item.decimals);
    return std::max(std::round(value * scale) / scale, 1.0 / scale);
}

class Writer
{
public:
    explicit Writer(engine::SqliteDatabase& db)
        : m_occasion(
              db.prepare(s(u"INSERT INTO Results (Date, Period, Remarks) VALUES (?1, ?2, ?3)"))),
          m_value(db.prepare(
              s(u"INSERT INTO Details (ID, Test, Result, Unit) VALUES (?1, ?2, ?3, ?4)"))),
          m_lastId(db.prepare(s(u"SELECT last_insert_rowid()"))), m_items(testItems())
    {
    }

    qint64 occasion(const QString& date, int period, const QString& remark)
    {
        m_occasion.bind(1, date);
        m_occasion.bind(2, period);
        m_occasion.bind(3, remark);
        m_occasion.step();
        m_occasion.reset();
        m_lastId.step();
        const qint64 id = m_lastId.int64(0);
        m_lastId.reset();
        return id;
    }

    // Test ids are the catalogue positions from 1, as writeCatalogues gives them out.
    void value(qint64 occasionId, int itemIndex, double result)
    {
        m_value.bind(1, occasionId);
        m_value.bind(2, itemIndex + 1);
        m_value.bind(3, result);
        m_value.bind(4, m_items[itemIndex].units);
        m_value.step();
        m_value.reset();
    }

    const QVector<TestItem>& items() const { return m_items; }

private:
    engine::SqliteStatement m_occasion;
    engine::SqliteStatement m_value;
    engine::SqliteStatement m_lastId;
    QVector<TestItem> m_items;
};

struct PlannedOccasion
{
    QDate date;
    int period;
};

} // namespace

QStringList periods()
{
    return {s(u"Morning"), s(u"Noon"), s(u"Evening"), s(u"Night")};
}

// Adult reference ranges (men where they differ) as the MSD Manual,
// Professional Version, lists them under "Normal Laboratory Values"; lipids
// and HbA1c carry only the upper limit of the desirable range.
QVector<TestItem> testItems()
{
    return {
        {s(u"Glucose"), s(u"Plasma glucose"), s(u"mg/dL"), 98, 12, 0, 0, 70, 99},
        {s(u"Cholesterol"), s(u"Total cholesterol"), s(u"mg/dL"), 195, 18, 0, 1, {}, 200},
        {s(u"HDL Cholesterol"),
         s(u"High-density lipoprotein cholesterol"),
         s(u"mg/dL"),
         52,
         6,
         0,
         1,
         40,
         {}},
        {s(u"LDL Cholesterol"),
         s(u"Low-density lipoprotein cholesterol"),
         s(u"mg/dL"),
         118,
         14,
         0,
         1,
         {},
         130},
        {s(u"Triglycerides"), s(u"Serum triglycerides"), s(u"mg/dL"), 130, 30, 0, 1, {}, 150},
        {s(u"Creatinine"), s(u"Serum creatinine"), s(u"mg/dL"), 0.95, 0.1, 2, 2, 0.7, 1.3},
        {s(u"Urea Nitrogen"), s(u"Blood urea nitrogen (BUN)"), s(u"mg/dL"), 15, 3, 0, 2, 8, 20},
        {s(u"Potassium"), s(u"Serum potassium"), s(u"mEq/L"), 4.2, 0.3, 1, 2, 3.5, 5.0},
        {s(u"Sodium"), s(u"Serum sodium"), s(u"mEq/L"), 140, 2, 0, 2, 136, 145},
        {s(u"Chloride"), s(u"Serum chloride"), s(u"mEq/L"), 102, 2, 0, 2, 98, 106},
        {s(u"Uric Acid"), s(u"Serum uric acid"), s(u"mg/dL"), 5.8, 0.8, 1, 2, 3.5, 7.2},
        {s(u"Calcium"), s(u"Total serum calcium"), s(u"mg/dL"), 9.5, 0.3, 1, 2, 8.6, 10.2},
        {s(u"Haemoglobin"), s(u"Blood haemoglobin"), s(u"g/dL"), 14.5, 0.7, 1, 3, 13.5, 17.5},
        {s(u"Haematocrit"), s(u"Packed cell volume"), s(u"%"), 43, 2, 1, 3, 41, 51},
        {s(u"Leukocytes"), s(u"White blood cell count"), s(u"x10^3/uL"), 6.8, 1.2, 1, 3, 4.5, 11.0},
        {s(u"Platelets"), s(u"Platelet count"), s(u"x10^3/uL"), 250, 35, 0, 3, 150, 350},
        {s(u"ALT"), s(u"Alanine aminotransferase (SGPT)"), s(u"U/L"), 28, 7, 0, 4, {}, 35},
        {s(u"AST"), s(u"Aspartate aminotransferase (SGOT)"), s(u"U/L"), 25, 5, 0, 4, {}, 35},
        {s(u"Bilirubin"), s(u"Total bilirubin"), s(u"mg/dL"), 0.7, 0.2, 1, 4, 0.3, 1.2},
        {s(u"Albumin"), s(u"Serum albumin"), s(u"g/dL"), 4.3, 0.2, 1, 4, 3.5, 5.5},
        {s(u"Alkaline Phosphatase"), s(u"Serum alkaline phosphatase"), s(u"U/L"), 70, 12, 0, 4, 36,
         92},
        {s(u"TSH"), s(u"Thyroid-stimulating hormone"), s(u"uIU/mL"), 2.1, 0.6, 2, 5, 0.5, 5.0},
        {s(u"HbA1c"), s(u"Glycated haemoglobin"), s(u"%"), 5.6, 0.25, 1, 5, {}, 5.6},
        {s(u"Iron"), s(u"Serum iron"), s(u"ug/dL"), 95, 18, 0, 6, 60, 160},
        {s(u"Ferritin"), s(u"Serum ferritin"), s(u"ng/mL"), 120, 35, 0, 6, 24, 336},
        {s(u"CRP"), s(u"C-reactive protein"), s(u"mg/L"), 2.0, 1.4, 1, 7, {}, 8.0},
    };
}

// Conventional to SI factors as the published SI conversion tables give them.
QVector<Agent> agents()
{
    return {
        {s(u"Acetaminophen"), s(u"ug/mL"), 6.62, s(u"umol/L")},
        {s(u"Albumin"), s(u"g/dL"), 10.0, s(u"g/L")},
        {s(u"Alkaline Phosphatase"), s(u"U/L"), 0.01667, s(u"ukat/L")},
        {s(u"ALT"), s(u"U/L"), 0.01667, s(u"ukat/L")},
        {s(u"Ammonia"), s(u"ug/dL"), 0.5872, s(u"umol/L")},
        {s(u"Amylase"), s(u"U/L"), 0.01667, s(u"ukat/L")},
        {s(u"AST"), s(u"U/L"), 0.01667, s(u"ukat/L")},
        {s(u"Bicarbonate"), s(u"mEq/L"), 1.0, s(u"mmol/L")},
        {s(u"Bilirubin"), s(u"mg/dL"), 17.1, s(u"umol/L")},
        {s(u"Calcium"), s(u"mg/dL"), 0.25, s(u"mmol/L")},
        {s(u"Chloride"), s(u"mEq/L"), 1.0, s(u"mmol/L")},
        {s(u"Cholesterol"), s(u"mg/dL"), 0.02586, s(u"mmol/L")},
        {s(u"Copper"), s(u"ug/dL"), 0.1574, s(u"umol/L")},
        {s(u"Cortisol"), s(u"ug/dL"), 27.59, s(u"nmol/L")},
        {s(u"Creatine Kinase"), s(u"U/L"), 0.01667, s(u"ukat/L")},
        {s(u"Creatinine"), s(u"mg/dL"), 88.4, s(u"umol/L")},
        {s(u"Creatinine Clearance"), s(u"mL/min"), 0.01667, s(u"mL/s")},
        {s(u"C-Reactive Protein"), s(u"mg/dL"), 10.0, s(u"mg/L")},
        {s(u"Digoxin"), s(u"ng/mL"), 1.281, s(u"nmol/L")},
        {s(u"Erythrocyte Sedimentation Rate"), s(u"mm/h"), std::nullopt, s(u"mm/h")},
        {s(u"Erythrocytes"), s(u"x10^6/uL"), 1.0, s(u"x10^12/L")},
        {s(u"Estradiol"), s(u"pg/mL"), 3.671, s(u"pmol/L")},
        {s(u"Ferritin"), s(u"ng/mL"), 1.0, s(u"ug/L")},
        {s(u"Folate"), s(u"ng/mL"), 2.266, s(u"nmol/L")},
        {s(u"Glucose"), s(u"mg/dL"), 0.0555, s(u"mmol/L")},
        {s(u"Haematocrit"), s(u"%"), 0.01, s(u"proportion of 1.0")},
        {s(u"Haemoglobin"), s(u"g/dL"), 10.0, s(u"g/L")},
        {s(u"HbA1c"), s(u"%"), 0.01, s(u"proportion of 1.0")},
        {s(u"HDL Cholesterol"), s(u"mg/dL"), 0.02586, s(u"mmol/L")},
        {s(u"Insulin"), s(u"uIU/mL"), 6.945, s(u"pmol/L")},
        {s(u"INR"), s(u"ratio"), std::nullopt, s(u"ratio")},
        {s(u"Iron"), s(u"ug/dL"), 0.179, s(u"umol/L")},
        {s(u"Iron-Binding Capacity"), s(u"ug/dL"), 0.179, s(u"umol/L")},
        {s(u"Lactate"), s(u"mg/dL"), 0.111, s(u"mmol/L")},
        {s(u"Lactate Dehydrogenase"), s(u"U/L"), 0.01667, s(u"ukat/L")},
        {s(u"LDL Cholesterol"), s(u"mg/dL"), 0.02586, s(u"mmol/L")},
        {s(u"Lead"), s(u"ug/dL"), 0.0483, s(u"umol/L")},
        {s(u"Leukocytes"), s(u"/mm3"), 0.001, s(u"x10^9/L")},
        {s(u"Lithium"), s(u"mEq/L"), 1.0, s(u"mmol/L")},
        {s(u"Magnesium"), s(u"mg/dL"), 0.4114, s(u"mmol/L")},
        {s(u"Phenytoin"), s(u"ug/mL"), 3.964, s(u"umol/L")},
        {s(u"Phosphorus"), s(u"mg/dL"), 0.3229, s(u"mmol/L")},
        {s(u"Platelets"), s(u"x10^3/uL"), 1.0, s(u"x10^9/L")},
        {s(u"Potassium"), s(u"mEq/L"), 1.0, s(u"mmol/L")},
        {s(u"Progesterone"), s(u"ng/mL"), 3.18, s(u"nmol/L")},
        {s(u"Prolactin"), s(u"ng/mL"), 1.0, s(u"ug/L")},
        {s(u"Protein, Total"), s(u"g/dL"), 10.0, s(u"g/L")},
        {s(u"Prothrombin Time"), s(u"s"), std::nullopt, s(u"s")},
        {s(u"Sodium"), s(u"mEq/L"), 1.0, s(u"mmol/L")},
        {s(u"Specific Gravity, Urine"), QString(), std::nullopt, QString()},
        {s(u"Testosterone"), s(u"ng/dL"), 0.0347, s(u"nmol/L")},
        {s(u"Theophylline"), s(u"ug/mL"), 5.55, s(u"umol/L")},
        {s(u"Thyroxine (T4)"), s(u"ug/dL"), 12.87, s(u"nmol/L")},
        {s(u"Thyroxine, Free (FT4)"), s(u"ng/dL"), 12.87, s(u"pmol/L")},
        {s(u"Triglycerides"), s(u"mg/dL"), 0.01129, s(u"mmol/L")},
        {s(u"Triiodothyronine (T3)"), s(u"ng/dL"), 0.0154, s(u"nmol/L")},
        {s(u"TSH"), s(u"uIU/mL"), 1.0, s(u"mIU/L")},
        {s(u"Urea Nitrogen"), s(u"mg/dL"), 0.357, s(u"mmol/L")},
        {s(u"Uric Acid"), s(u"mg/dL"), 59.48, s(u"umol/L")},
        {s(u"Vitamin B12"), s(u"pg/mL"), 0.7378, s(u"pmol/L")},
        {s(u"Vitamin D, 25-Hydroxy"), s(u"ng/mL"), 2.496, s(u"nmol/L")},
        {s(u"Zinc"), s(u"ug/dL"), 0.153, s(u"umol/L")},
    };
}

void writeCatalogues(engine::SqliteDatabase& db)
{
    engine::SqliteStatement period = db.prepare(s(u"INSERT INTO Periods (Period) VALUES (?1)"));
    for (const QString& name : periods()) {
        period.bind(1, name);
        period.step();
        period.reset();
    }

    engine::SqliteStatement test =
        db.prepare(s(u"INSERT INTO Tests (Test, Description, Units, Low, High) "
                     u"VALUES (?1, ?2, ?3, ?4, ?5)"));
    for (const TestItem& item : testItems()) {
        test.bind(1, item.name);
        test.bind(2, item.description);
        test.bind(3, item.units);
        item.low ? test.bind(4, *item.low) : test.bindNull(4);
        item.high ? test.bind(5, *item.high) : test.bindNull(5);
        test.step();
        test.reset();
    }
}

void writeAgents(engine::SqliteDatabase& db)
{
    engine::SqliteStatement agent =
        db.prepare(s(u"INSERT INTO Agents (Agent, \"Conventional Unit\", "
                     u"\"Conversion Factor\", \"SI Unit\") VALUES (?1, ?2, ?3, ?4)"));
    for (const Agent& item : agents()) {
        agent.bind(1, item.name);
        agent.bind(2, item.conventionalUnit);
        if (item.factor)
            agent.bind(3, *item.factor);
        else
            agent.bindNull(3);
        agent.bind(4, item.siUnit);
        agent.step();
        agent.reset();
    }
}

void writeOccasions(engine::SqliteDatabase& db, const QDate& first, const QDate& last,
                    unsigned seed)
{
    Random random(seed);
    Writer writer(db);
    constexpr int Morning = 1, Noon = 2, Evening = 3, Night = 4;

    // Planned backwards from last so that the newest occasion falls on it.
    QVector<PlannedOccasion> plan;
    for (QDate day = last; day >= first; day = day.addDays(-random.between(2, 12))) {
        if (random.chance(0.06)) {
            // The evening reading is sometimes entered first: ids then run
            // against the order within the day, which every listing must ignore.
            const bool eveningFirst = random.chance(0.5);
            plan.append({day, eveningFirst ? Morning : Evening});
            plan.append({day, eveningFirst ? Evening : Morning});
            continue;
        }
        const double p = random.uniform();
        plan.append({day, p < 0.65 ? Morning : p < 0.8 ? Noon : p < 0.95 ? Evening : Night});
    }
    std::reverse(plan.begin(), plan.end());

    const QVector<TestItem>& items = writer.items();
    for (const PlannedOccasion& planned : plan) {
        const QString remark = random.chance(0.15)
                                   ? remarks()[random.between(0, int(remarks().size()) - 1)]
                                   : QString();
        const qint64 id =
            writer.occasion(planned.date.toString(Qt::ISODate), planned.period, remark);
        if (random.chance(0.05))
            continue; // an occasion whose values were never entered
        std::array<bool, PanelChance.size()> ordered{};
        for (size_t panel = 0; panel < PanelChance.size(); ++panel)
            ordered[panel] = random.chance(PanelChance[panel]);
        const qint64 dayIndex = first.daysTo(planned.date);
        for (int i = 0; i < items.size(); ++i) {
            if (ordered[size_t(items[i].panel)])
                writer.value(id, i, drawValue(random, items[i], i, dayIndex));
        }
    }
}

void writeLargeSet(engine::SqliteDatabase& db, qint64 valueCount, const QDate& last, unsigned seed)
{
    constexpr qint64 ValuesPerOccasion = 6;
    constexpr qint64 MaxSpanDays = 36500; // a century: several occasions a day beyond that
    Random random(seed);
    Writer writer(db);
    const QVector<TestItem>& items = writer.items();
    const int periodCount = int(periods().size());

    const qint64 occasions = (valueCount + ValuesPerOccasion - 1) / ValuesPerOccasion;
    const qint64 spanDays = std::min(occasions, MaxSpanDays);
    const QDate first = last.addDays(-(spanDays - 1));

    std::vector<int> order(size_t(items.size()));
    qint64 remaining = valueCount;
    for (qint64 i = 0; i < occasions; ++i) {
        const qint64 dayIndex = i * spanDays / occasions;
        const QString remark = random.chance(0.05)
                                   ? remarks()[random.between(0, int(remarks().size()) - 1)]
                                   : QString();
        const qint64 id = writer.occasion(first.addDays(dayIndex).toString(Qt::ISODate),
                                          int(i % periodCount) + 1, remark);

        // A partial shuffle picks distinct items for this occasion.
        for (size_t k = 0; k < order.size(); ++k)
            order[k] = int(k);
        const qint64 count = std::min(ValuesPerOccasion, remaining);
        for (qint64 k = 0; k < count; ++k) {
            const int pick = random.between(int(k), int(order.size()) - 1);
            std::swap(order[size_t(k)], order[size_t(pick)]);
            const int item = order[size_t(k)];
            writer.value(id, item, drawValue(random, items[item], item, dayIndex));
        }
        remaining -= count;
    }
}

} // namespace vantor::store::demo
