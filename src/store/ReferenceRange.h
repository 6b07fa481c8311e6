#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>

namespace vantor::engine {
class Connection;
}

namespace vantor::store {

// A test item's reference range, in the item's unit. Either limit may be
// missing (LDL cholesterol has only an upper one).
struct ReferenceRange
{
    std::optional<double> low;
    std::optional<double> high;
    QString units; // the item's unit, which the limits are in
    QString test;  // the item's name

    bool isEmpty() const { return !low && !high; }
};

enum class RangeFlag {
    None,        // within the range, or the item has none
    Low,         // below Low
    High,        // above High
    NotCompared, // recorded in another unit than the item's: no comparison across units
};

// The one rule for flags: a value equal to a limit is within the range, and
// a value in another unit than the item's is not compared at all.
RangeFlag rangeFlag(double value, const std::optional<double>& low,
                    const std::optional<double>& high, const QString& valueUnit,
                    const QString& itemUnit);
RangeFlag rangeFlag(double value, const ReferenceRange& range, const QString& valueUnit);

// "L", "H" or empty (also for a value not compared).
QString flagText(RangeFlag flag);

// The range in words, as shown beside a value: "70 – 99 mg/dL", "≤ 130 mg/dL",
// "≥ 40 mg/dL"; empty without limits.
QString rangeText(const ReferenceRange& range);

// What a value's tooltip says when it is not compared.
QString notComparedText(const QString& valueUnit, const QString& itemUnit);

// The ranges of every test item with at least one limit, by Tests.ID. Empty
// when the file predates reference ranges (a read-only file not migrated).
QHash<qint64, ReferenceRange> readReferenceRanges(engine::Connection& connection);
// The same through a connection of its own to the program's database.
QHash<qint64, ReferenceRange> readReferenceRanges();

// The same by item name (lower case), for grids that show the name, not the id.
QHash<QString, ReferenceRange> rangesByName(const QHash<qint64, ReferenceRange>& ranges);

// What a window shows of one value: the flag, and for its tooltip the range or
// why the value was not compared. Empty for a value without a number or an
// item without a range.
struct ValueFlag
{
    RangeFlag flag = RangeFlag::None;
    QString text;
    QString toolTip;
};
ValueFlag flagValue(const ReferenceRange& range, const QVariant& result, const QString& unit);
ValueFlag flagValue(const QHash<QString, ReferenceRange>& byName, const QString& test,
                    const QVariant& result, const QString& unit);

// A grid's Flag cell for a value, by item role: the flag as its text, the
// range (or why the value is not compared) as its tooltip, centred.
QVariant flagCell(const QHash<QString, ReferenceRange>& byName, const QString& test,
                  const QVariant& result, const QString& unit, int role);

// True when the Tests table of the open file has the Low and High columns.
bool hasReferenceRanges(engine::Connection& connection);

} // namespace vantor::store
