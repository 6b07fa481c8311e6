#include "ReferenceRange.h"

#include "ConnectionStrings.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Error.h"
#include "platform/Format.h"

namespace vantor::store {

namespace {

std::optional<double> limit(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

QString number(double value)
{
    return platform::valueText(QVariant(value));
}

} // namespace

RangeFlag rangeFlag(double value, const std::optional<double>& low,
                    const std::optional<double>& high, const QString& valueUnit,
                    const QString& itemUnit)
{
    if (!low && !high)
        return RangeFlag::None;
    if (valueUnit.trimmed().compare(itemUnit.trimmed(), Qt::CaseInsensitive) != 0)
        return RangeFlag::NotCompared;
    if (low && value < *low)
        return RangeFlag::Low;
    if (high && value > *high)
        return RangeFlag::High;
    return RangeFlag::None;
}

RangeFlag rangeFlag(double value, const ReferenceRange& range, const QString& valueUnit)
{
    return rangeFlag(value, range.low, range.high, valueUnit, range.units);
}

QString flagText(RangeFlag flag)
{
    switch (flag) {
    case RangeFlag::Low:
        return QStringLiteral("L");
    case RangeFlag::High:
        return QStringLiteral("H");
    case RangeFlag::None:
    case RangeFlag::NotCompared:
        break;
    }
    return {};
}

QString rangeText(const ReferenceRange& range)
{
    QString text;
    if (range.low && range.high)
        text = number(*range.low) + QStringLiteral(" \u2013 ") + number(*range.high);
    else if (range.high)
        text = QStringLiteral("\u2264 ") + number(*range.high);
    else if (range.low)
        text = QStringLiteral("\u2265 ") + number(*range.low);
    else
        return {};
    if (!range.units.trimmed().isEmpty())
        text += QLatin1Char(' ') + range.units.trimmed();
    return text;
}

QString notComparedText(const QString& valueUnit, const QString& itemUnit)
{
    const auto shown = [](const QString& unit) {
        return unit.trimmed().isEmpty() ? QStringLiteral("no unit")
                                        : QLatin1Char('"') + unit.trimmed() + QLatin1Char('"');
    };
    return QStringLiteral("Not compared with the reference range: recorded in %1, the range is "
                          "in %2.")
        .arg(shown(valueUnit), shown(itemUnit));
}

ValueFlag flagValue(const ReferenceRange& range, const QVariant& result, const QString& unit)
{
    bool ok = false;
    const double value = result.isNull() ? 0 : result.toDouble(&ok);
    if (range.isEmpty() || !ok)
        return {};
    ValueFlag shown;
    shown.flag = rangeFlag(value, range, unit);
    shown.text = flagText(shown.flag);
    shown.toolTip = shown.flag == RangeFlag::NotCompared ? notComparedText(unit, range.units)
                                                         : rangeText(range);
    return shown;
}

ValueFlag flagValue(const QHash<QString, ReferenceRange>& byName, const QString& test,
                    const QVariant& result, const QString& unit)
{
    return flagValue(byName.value(test.toLower()), result, unit);
}

QVariant flagCell(const QHash<QString, ReferenceRange>& byName, const QString& test,
                  const QVariant& result, const QString& unit, int role)
{
    switch (role) {
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignCenter);
    case Qt::DisplayRole:
        return flagValue(byName, test, result, unit).text;
    case Qt::ToolTipRole:
        return flagValue(byName, test, result, unit).toolTip;
    default:
        return {};
    }
}

bool hasReferenceRanges(engine::Connection& connection)
{
    const QStringList columns = connection.schema().columnsOf(QStringLiteral("Tests"));
    return columns.contains(QStringLiteral("Low"), Qt::CaseInsensitive) &&
           columns.contains(QStringLiteral("High"), Qt::CaseInsensitive);
}

QHash<qint64, ReferenceRange> readReferenceRanges(engine::Connection& connection)
{
    QHash<qint64, ReferenceRange> ranges;
    if (!hasReferenceRanges(connection))
        return ranges;
    engine::Recordset rs;
    rs.open(QStringLiteral("SELECT ID, Units, Low, High, Test FROM Tests WHERE Low Is Not Null Or "
                           "High Is Not Null"),
            &connection);
    for (int row = 0; row < rs.recordCount(); ++row) {
        ReferenceRange range{limit(rs.valueAt(row, 2)), limit(rs.valueAt(row, 3)),
                             platform::valueText(rs.valueAt(row, 1)),
                             platform::valueText(rs.valueAt(row, 4))};
        ranges.insert(rs.valueAt(row, 0).toLongLong(), range);
    }
    return ranges;
}

QHash<QString, ReferenceRange> rangesByName(const QHash<qint64, ReferenceRange>& ranges)
{
    QHash<QString, ReferenceRange> byName;
    for (const ReferenceRange& range : ranges)
        byName.insert(range.test.toLower(), range);
    return byName;
}

QHash<qint64, ReferenceRange> readReferenceRanges()
{
    engine::Connection connection;
    connection.open(CodeConnection);
    return readReferenceRanges(connection);
}

} // namespace vantor::store
