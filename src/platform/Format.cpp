#include "Format.h"

#include "Conversions.h"
#include "DatePattern.h"
#include "DateSerial.h"
#include "DecimalDigits.h"
#include "Error.h"
#include "LocaleInfo.h"
#include "NumberPattern.h"
#include "TextBuffer.h"

#include <QDateTime>
#include <QTime>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <unordered_map>

namespace vantor::platform {

namespace {

enum class Kind {
    General, // no pattern: the value's own text
    Number,
    Date,
    MediumDate,
    ShortDate,
    LongDate,
    Boolean,  // "Yes/No", "True/False", "On/Off"
    Currency, // the locale's currency form
    Time,     // the named time forms; dates carry no time, so midnight
};

const DatePattern& mediumPattern()
{
    static const DatePattern pattern = DatePattern::fromPattern(u"dd-mmm-yyyy");
    return pattern;
}

// The named time forms show midnight: the program's dates carry no time.
QString midnight(const QLocale& locale, QLocale::FormatType form)
{
    QString timeFormat = locale.timeFormat(form);
    timeFormat.remove(u't'); // no time zone for a time that has none
    return locale.toString(QTime(0, 0), timeFormat.trimmed());
}

QString dateText(const DatePattern& pattern, const QDate& date, const LocaleInfo& info)
{
    TextBuffer out;
    pattern.appendTo(out, date, info);
    return out.toString();
}

} // namespace

struct FormatPattern::Compiled
{
    Kind kind = Kind::General;
    NumberPattern number;
    DatePattern date;
    QString yes;                                        // Boolean
    QString no;                                         // Boolean
    QLocale::FormatType timeForm = QLocale::LongFormat; // Time
};

FormatPattern::FormatPattern(const QString& pattern) : d(std::make_unique<Compiled>())
{
    struct Named
    {
        QStringView name;
        Kind kind;
        QStringView number; // the pattern a named number form stands for
    };
    static constexpr Named named[] = {
        {u"General Number", Kind::General, {}},
        {u"Fixed", Kind::Number, u"0.00"},
        {u"Standard", Kind::Number, u"#,##0.00"},
        {u"Percent", Kind::Number, u"0.00%"},
        {u"Scientific", Kind::Number, u"0.00E+00"},
        {u"Currency", Kind::Currency, {}},
        {u"General Date", Kind::ShortDate, {}},
        {u"Medium Date", Kind::MediumDate, {}},
        {u"Short Date", Kind::ShortDate, {}},
        {u"Long Date", Kind::LongDate, {}},
        {u"Yes/No", Kind::Boolean, {}},
        {u"True/False", Kind::Boolean, {}},
        {u"On/Off", Kind::Boolean, {}},
        {u"Long Time", Kind::Time, {}},
        {u"Medium Time", Kind::Time, {}},
        {u"Short Time", Kind::Time, {}},
    };
    const QStringView text = QStringView(pattern).trimmed();
    if (text.isEmpty())
        return;
    for (const Named& form : named) {
        if (text.compare(form.name, Qt::CaseInsensitive) != 0)
            continue;
        d->kind = form.kind;
        if (form.kind == Kind::Number)
            d->number = NumberPattern(form.number);
        if (form.kind == Kind::Boolean) {
            const qsizetype slash = form.name.indexOf(u'/');
            d->yes = form.name.left(slash).toString();
            d->no = form.name.mid(slash + 1).toString();
        }
        if (form.kind == Kind::Time)
            d->timeForm =
                form.name.startsWith(u"Long") ? QLocale::LongFormat : QLocale::ShortFormat;
        return;
    }

    NumberPattern number(pattern);
    if (number.hasDigits()) {
        d->kind = Kind::Number;
        d->number = std::move(number);
        return;
    }
    DatePattern date = DatePattern::fromPattern(pattern);
    if (date.hasFields()) {
        d->kind = Kind::Date;
        d->date = std::move(date);
    }
    // Anything else has nothing to fill in: values keep their own text.
}

FormatPattern::~FormatPattern() = default;

bool FormatPattern::isDatePattern() const
{
    switch (d->kind) {
    case Kind::Date:
    case Kind::MediumDate:
    case Kind::ShortDate:
    case Kind::LongDate:
        return true;
    default:
        return false;
    }
}

QString FormatPattern::format(const QVariant& value, const QLocale& locale) const
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString& text = *static_cast<const QString*>(value.constData());
        if (isDatePattern()) {
            auto date = parseIsoDate(text);
            if (!date)
                date = parseDate(text, locale);
            return date ? formatDate(*date, locale) : text;
        }
        if (d->kind == Kind::General || d->kind == Kind::Time)
            return text;
        // The locale's form first (what a user typed), then the plain form
        // that the database writes numbers in.
        auto number = parseNumber(text, locale);
        if (!number)
            number = parseNumber(text, QLocale::c());
        return number ? formatNumber(*number, locale) : text;
    }
    case QMetaType::QByteArray:
        return format(QString::fromUtf8(value.toByteArray()), locale);
    case QMetaType::QDate:
        return formatDate(value.toDate(), locale);
    case QMetaType::QDateTime:
        return formatDate(value.toDateTime().date(), locale);
    case QMetaType::Bool:
        return formatNumber(value.toBool() ? -1.0 : 0.0, locale); // true is -1, as in the database
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return formatNumber(value.toDouble(), locale);
    default:
        return value.toString();
    }
}

QString FormatPattern::formatNumber(double value, const QLocale& locale) const
{
    if (!std::isfinite(value))
        return numberText(value, locale);
    switch (d->kind) {
    case Kind::Number: {
        TextBuffer out;
        d->number.appendTo(out, value, localeInfo(locale));
        return out.toString();
    }
    case Kind::Date:
    case Kind::MediumDate:
    case Kind::ShortDate:
    case Kind::LongDate:
        // A number under a date pattern is a date serial, as CDbl([Date]) gives.
        if (const auto date = dateFromSerial(value))
            return formatDate(*date, locale);
        return numberText(value, locale);
    case Kind::Boolean:
        return value != 0 ? d->yes : d->no;
    case Kind::Currency:
        return locale.toCurrencyString(value);
    case Kind::Time:
        return midnight(locale, d->timeForm);
    case Kind::General:
        break;
    }
    return numberText(value, locale);
}

QString FormatPattern::formatDate(const QDate& date, const QLocale& locale) const
{
    if (!date.isValid())
        return {};
    switch (d->kind) {
    case Kind::Date:
        return dateText(d->date, date, localeInfo(locale));
    case Kind::MediumDate:
        return dateText(mediumPattern(), date, localeInfo(locale));
    case Kind::ShortDate:
    case Kind::General:
        return dateText(localeInfo(locale).shortDate, date, localeInfo(locale));
    case Kind::LongDate:
        return dateText(localeInfo(locale).longDate, date, localeInfo(locale));
    case Kind::Number:
    case Kind::Boolean:
    case Kind::Currency:
        return formatNumber(toSerial(date), locale);
    case Kind::Time:
        break;
    }
    return midnight(locale, d->timeForm);
}

QString format(const QVariant& value, const QString& pattern, const QLocale& locale)
{
    // Callers that format row by row with the same pattern text still compile
    // it only once.
    thread_local std::unordered_map<QString, std::unique_ptr<FormatPattern>> compiled;
    auto it = compiled.find(pattern);
    if (it == compiled.end()) {
        if (compiled.size() >= 64)
            compiled.clear();
        it = compiled.emplace(pattern, std::make_unique<FormatPattern>(pattern)).first;
    }
    return it->second->format(value, locale);
}

QString mediumDate(const QDate& date, const QLocale& locale)
{
    if (!date.isValid())
        return {};
    return dateText(mediumPattern(), date, localeInfo(locale));
}

QString shortDate(const QDate& date, const QLocale& locale)
{
    if (!date.isValid())
        return {};
    const LocaleInfo& info = localeInfo(locale);
    return dateText(info.shortDate, date, info);
}

QString longDate(const QDate& date, const QLocale& locale)
{
    if (!date.isValid())
        return {};
    const LocaleInfo& info = localeInfo(locale);
    return dateText(info.longDate, date, info);
}

QString sqlDateLiteral(const QDate& date)
{
    if (!date.isValid())
        throw Error::typeMismatch();
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    TextBuffer out;
    out.append(u'#');
    out.appendNumber(year, 4);
    out.append(u'-');
    out.appendNumber(month, 2);
    out.append(u'-');
    out.appendNumber(day, 2);
    out.append(u'#');
    return out.toString();
}

QString numberText(double value, const QLocale& locale)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (value == 0)
        return QStringLiteral("0");
    const LocaleInfo& info = localeInfo(locale);
    const DecimalDigits digits(std::fabs(value));
    TextBuffer out;
    if (value < 0)
        out.append(u'-');
    const int exponent = digits.pointPos - 1;
    if (exponent < -4 || exponent >= 15) {
        // 1E+20, 1.5E-07
        out.append(static_cast<char16_t>(digits.digits[0]));
        if (digits.count > 1) {
            out.append(info.decimal);
            out.appendLatin1(digits.digits + 1, digits.count - 1);
        }
        out.append(u'E');
        out.append(exponent < 0 ? u'-' : u'+');
        out.appendNumber(std::abs(exponent), 2);
    } else if (digits.pointPos <= 0) {
        out.append(u'0');
        out.append(info.decimal);
        for (int k = digits.pointPos; k < 0; ++k)
            out.append(u'0');
        out.appendLatin1(digits.digits, digits.count);
    } else {
        for (int k = 0; k < digits.pointPos; ++k)
            out.append(static_cast<char16_t>(digits.digitAt(k)));
        if (digits.count > digits.pointPos) {
            out.append(info.decimal);
            out.appendLatin1(digits.digits + digits.pointPos, digits.count - digits.pointPos);
        }
    }
    return out.toString();
}

QString valueText(const QVariant& value, const QLocale& locale)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return shortDate(value.toDate(), locale);
    case QMetaType::Double:
        return numberText(value.toDouble(), locale);
    default:
        return value.toString();
    }
}

} // namespace vantor::platform
