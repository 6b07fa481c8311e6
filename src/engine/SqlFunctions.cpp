#include "SqlFunctions.h"

#include "platform/Conversions.h"
#include "platform/DateSerial.h"
#include "platform/Error.h"
#include "platform/Format.h"

#include <QDate>
#include <QLocale>

#include <sqlite3.h>

#include <array>

#include <bit>
#include <cmath>
#include <exception>
#include <memory>

// The functions that translated Jet SQL calls (vb_format, vb_cdbl, ...).
// They run once per row over large tables, so the common cases (numbers,
// dates stored as ISO text) avoid QString and allocations where they can.
// A failure becomes an SQLite error whose message is the program's own
// description ("Type mismatch", "Overflow"); null passes through as null.

namespace vantor::engine {

namespace {

using platform::FormatPattern;

// Dates are stored as ISO text, 'YYYY-MM-DD'; read them without a QString.
bool isoDate(sqlite3_value* value, QDate* date)
{
    if (sqlite3_value_type(value) != SQLITE_TEXT)
        return false;
    const unsigned char* text = sqlite3_value_text(value);
    if (sqlite3_value_bytes(value) != 10 || text[4] != '-' || text[7] != '-')
        return false;
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int part = 0; part < 3; ++part) {
        for (int i = starts[part]; i < starts[part] + lengths[part]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            parts[part] = parts[part] * 10 + (text[i] - '0');
        }
    }
    *date = QDate(parts[0], parts[1], parts[2]);
    return date->isValid();
}

QString valueText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void resultText(sqlite3_context* context, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void resultEmptyText(sqlite3_context* context)
{
    sqlite3_result_text(context, "", 0, SQLITE_STATIC);
}

void resultIsoDate(sqlite3_context* context, const QDate& date)
{
    char text[11];
    const int year = date.year();
    if (year < 1 || year > 9999)
        throw Error::overflow();
    const int month = date.month();
    const int day = date.day();
    text[0] = char('0' + year / 1000);
    text[1] = char('0' + year / 100 % 10);
    text[2] = char('0' + year / 10 % 10);
    text[3] = char('0' + year % 10);
    text[4] = '-';
    text[5] = char('0' + month / 10);
    text[6] = char('0' + month % 10);
    text[7] = '-';
    text[8] = char('0' + day / 10);
    text[9] = char('0' + day % 10);
    text[10] = 0;
    sqlite3_result_text(context, text, 10, SQLITE_TRANSIENT);
}

Error invalidProcedureCall()
{
    return Error(Error::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
}

// Runs body and turns any exception into an SQLite error: an exception must
// never unwind through SQLite's C frames.
template <typename Body> void guarded(sqlite3_context* context, Body body)
{
    try {
        body();
    } catch (const Error& error) {
        const QByteArray utf8 = error.description().toUtf8();
        sqlite3_result_error(context, utf8.constData(), int(utf8.size()));
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    } catch (const std::exception& error) {
        sqlite3_result_error(context, error.what(), -1);
    } catch (...) {
        sqlite3_result_error(context, "Unexpected error", -1);
    }
}

// A date from a value: ISO text, other date text by the locale's rules, or a date serial number.
QDate dateOf(sqlite3_value* value)
{
    QDate date;
    if (isoDate(value, &date))
        return date;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return platform::fromSerial(sqlite3_value_double(value));
    case SQLITE_TEXT:
        return platform::toDate(valueText(value));
    default:
        throw Error::typeMismatch();
    }
}

// A number from a value: numbers as they are, a stored date as its serial,
// numeric text by the locale's rules.
double numberOf(sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_value_double(value);
    case SQLITE_TEXT: {
        QDate date;
        if (isoDate(value, &date))
            return platform::toSerial(date);
        return platform::toDouble(valueText(value));
    }
    default:
        throw Error::typeMismatch();
    }
}

// A compiled pattern with the last value it formatted: rows sorted by date
// format the same date many times over, one after another.
// A statement's compiled pattern and the texts it made, by the value they
// were made of: a summary formats the same dates and the same few hundred
// results over and over, a million times. It lives while the statement runs.
struct FormatMemo
{
    explicit FormatMemo(const QString& text) : pattern(text) {}

    struct Entry
    {
        int type = SQLITE_NULL;
        quint64 number = 0; // a number's bits
        QByteArray input;   // a text's bytes
        QByteArray text;    // what it formats to, UTF-8
    };
    static constexpr size_t Size = 1024;

    static bool holds(const Entry& entry, int type, quint64 number, QByteArrayView input)
    {
        return entry.type == type && (type == SQLITE_INTEGER || type == SQLITE_FLOAT
                                          ? entry.number == number
                                          : QByteArrayView(entry.input) == input);
    }
    // The entry for a value: the last one used when it holds the same value
    // (a date repeated down a column), else the one its hash points to.
    Entry& entryFor(int type, quint64 number, QByteArrayView input)
    {
        if (last && holds(*last, type, number, input))
            return *last;
        quint64 h = number;
        if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
            h = 14695981039346656037ull;
            for (const char c : input)
                h = (h ^ quint8(c)) * 1099511628211ull;
        }
        h *= 0x9E3779B97F4A7C15ull;
        last = &entries[size_t(h >> 54) % Size];
        return *last;
    }
    FormatPattern pattern;
    // The locale when the statement first formats: a statement's values are
    // all formatted alike, and asking for the locale on every call cost more
    // than the formatting that is remembered.
    QLocale locale;
    std::array<Entry, Size> entries;
    Entry* last = nullptr;
};

void vbFormat(sqlite3_context* context, int, sqlite3_value** argv)
{
    guarded(context, [&] {
        const int type = sqlite3_value_type(argv[0]);
        if (type == SQLITE_NULL) {
            resultEmptyText(context);
            return;
        }
        // The pattern is compiled once per statement while SQLite keeps it for us.
        auto* memo = static_cast<FormatMemo*>(sqlite3_get_auxdata(context, 1));
        std::unique_ptr<FormatMemo> compiled;
        if (!memo) {
            compiled = std::make_unique<FormatMemo>(valueText(argv[1]));
            memo = compiled.get();
        }
        const bool isNumber = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
        const double number = isNumber ? sqlite3_value_double(argv[0]) : 0;
        const QByteArrayView input =
            isNumber ? QByteArrayView()
                     : QByteArrayView(static_cast<const char*>(sqlite3_value_blob(argv[0])),
                                      sqlite3_value_bytes(argv[0]));
        const quint64 bits = std::bit_cast<quint64>(number);
        FormatMemo::Entry& entry = memo->entryFor(type, bits, input);
        if (!FormatMemo::holds(entry, type, bits, input)) {
            const FormatPattern& pattern = memo->pattern;
            const QLocale& locale = memo->locale;
            QDate date;
            QString text;
            if (isNumber) {
                text = pattern.isDatePattern()
                           ? pattern.formatDate(platform::fromSerial(number), locale)
                           : pattern.formatNumber(number, locale);
            } else if (pattern.isDatePattern() && isoDate(argv[0], &date)) {
                text = pattern.formatDate(date, locale);
            } else {
                text = pattern.format(QVariant(valueText(argv[0])), locale);
            }
            entry.text = text.toUtf8();
            entry.type = type;
            entry.number = bits;
            entry.input = input.toByteArray();
        }
        // A memo SQLite already keeps outlives the result: SQLite reads the
        // text before this function runs again, and only that changes it.
        // A new memo may be freed as it is handed over, so its text is copied.
        sqlite3_result_text(context, entry.text.constData(), int(entry.text.size()),
                            compiled ? SQLITE_TRANSIENT : SQLITE_STATIC);
        // Handed over last: SQLite may free it at once, even inside this call.
        if (compiled) {
            sqlite3_set_auxdata(context, 1, compiled.release(),
                                [](void* p) { delete static_cast<FormatMemo*>(p); });
        }
    });
}

void vbCdbl(sqlite3_context* context, int, sqlite3_value** argv)
{
    guarded(context, [&] {
        const int type = sqlite3_value_type(argv[0]);
        if (type == SQLITE_NULL)
            sqlite3_result_null(context);
        else if (type == SQLITE_FLOAT)
            sqlite3_result_value(context, argv[0]);
        else
            sqlite3_result_double(context, numberOf(argv[0]));
    });
}

template <qint64 Low, qint64 High> void wholeNumber(sqlite3_context* context, sqlite3_value* value)
{
    guarded(context, [&] {
        switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            sqlite3_result_null(context);
            return;
        case SQLITE_INTEGER: {
            const sqlite3_int64 number = sqlite3_value_int64(value);
            if (number < Low || number > High)
                throw Error::overflow();
            sqlite3_result_int64(context, number);
            return;
        }
        default: {
            const double number = platform::roundHalfEven(numberOf(value));
            if (!(number >= double(Low) && number <= double(High)))
                throw Error::overflow();
            sqlite3_result_int64(context, sqlite3_int64(number));
        }
        }
    });
}

void vbCint(sqlite3_context* context, int, sqlite3_value** argv)
{
    wholeNumber<-32768, 32767>(context, argv[0]);
}

void vbClng(sqlite3_context* context, int, sqlite3_value** argv)
{
    wholeNumber<-2147483648LL, 2147483647LL>(context, argv[0]);
}

// A value as text the way CStr writes it; null stays null (cstr) or becomes
// empty text (the operands of &).
void textOf(sqlite3_context* context, sqlite3_value* value, bool nullAsEmpty)
{
    guarded(context, [&] {
        switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            if (nullAsEmpty)
                resultEmptyText(context);
            else
                sqlite3_result_null(context);
            return;
        case SQLITE_INTEGER: {
            const QByteArray digits = QByteArray::number(sqlite3_value_int64(value));
            sqlite3_result_text(context, digits.constData(), int(digits.size()), SQLITE_TRANSIENT);
            return;
        }
        case SQLITE_FLOAT:
            resultText(context, platform::numberText(sqlite3_value_double(value)));
            return;
        case SQLITE_TEXT:
            sqlite3_result_value(context, value);
            return;
        default:
            resultText(context, valueText(value));
        }
    });
}

void vbCstr(sqlite3_context* context, int, sqlite3_value** argv)
{
    textOf(context, argv[0], false);
}

void vbText(sqlite3_context* context, int, sqlite3_value** argv)
{
    textOf(context, argv[0], true);
}

void vbCdate(sqlite3_context* context, int, sqlite3_value** argv)
{
    guarded(context, [&] {
        QDate date;
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
            sqlite3_result_null(context);
        else if (isoDate(argv[0], &date))
            sqlite3_result_value(context, argv[0]);
        else
            resultIsoDate(context, dateOf(argv[0]));
    });
}

template <int (QDate::*Part)() const>
void datePart(sqlite3_context* context, int, sqlite3_value** argv)
{
    guarded(context, [&] {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
            sqlite3_result_null(context);
        else
            sqlite3_result_int(context, (dateOf(argv[0]).*Part)());
    });
}

void vbToday(sqlite3_context* context, int, sqlite3_value**)
{
    guarded(context, [&] { resultIsoDate(context, QDate::currentDate()); });
}

template <bool Upper> void letterCase(sqlite3_context* context, int, sqlite3_value** argv)
{
    guarded(context, [&] {
        if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
            sqlite3_result_value(context, argv[0]);
            return;
        }
        const QString text = valueText(argv[0]);
        resultText(context, Upper ? text.toUpper() : text.toLower());
    });
}

// InStr(start, text, sought): 1-based position of sought in text from start,
// without regard to case; 0 when absent.
void vbInstr(sqlite3_context* context, int, sqlite3_value** argv)
{
    guarded(context, [&] {
        for (int i = 0; i < 3; ++i) {
            if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
                sqlite3_result_null(context);
                return;
            }
        }
        const double start = platform::roundHalfEven(numberOf(argv[0]));
        if (!(start >= 1 && start <= 2147483647.0))
            throw invalidProcedureCall();
        const QString text = valueText(argv[1]);
        const QString sought = valueText(argv[2]);
        if (start > text.size()) {
            sqlite3_result_int(context, 0);
            return;
        }
        if (sought.isEmpty()) {
            sqlite3_result_int64(context, sqlite3_int64(start));
            return;
        }
        const qsizetype at = text.indexOf(sought, qsizetype(start) - 1, Qt::CaseInsensitive);
        sqlite3_result_int64(context, sqlite3_int64(at + 1));
    });
}

// Right(text, n): the last n characters. A function of its own, because the
// text it works on is evaluated once; spelled out with substr and length it
// appears twice, and nested calls would double at every level.
void vbRight(sqlite3_context* context, int, sqlite3_value** argv)
{
    guarded(context, [&] {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL ||
            sqlite3_value_type(argv[1]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
        const double wanted = platform::roundHalfEven(numberOf(argv[1]));
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        const int bytes = sqlite3_value_bytes(argv[0]);
        // Characters as SQLite counts them: UTF-8 lead bytes, from the end.
        int start = bytes;
        for (double taken = 0; start > 0 && taken < wanted;) {
            --start;
            if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80)
                ++taken;
        }
        sqlite3_result_text(context, text + start, bytes - start, SQLITE_TRANSIENT);
    });
}

void vbPow(sqlite3_context* context, int, sqlite3_value** argv)
{
    guarded(context, [&] {
        if (sqlite3_value_type(argv[0]) == SQLITE_NULL ||
            sqlite3_value_type(argv[1]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
        const double result = std::pow(numberOf(argv[0]), numberOf(argv[1]));
        if (std::isnan(result))
            throw invalidProcedureCall();
        if (std::isinf(result))
            throw Error::overflow();
        sqlite3_result_double(context, result);
    });
}

struct Definition
{
    const char* name;
    int arguments;
    bool deterministic;
    void (*function)(sqlite3_context*, int, sqlite3_value**);
};

// Formatting follows the program's locale, which does not change while a
// statement runs: within one statement these are deterministic, which is
// what SQLite relies on when it evaluates a constant call only once.
const Definition definitions[] = {
    {"vb_format", 2, true, vbFormat},
    {"vb_cdbl", 1, true, vbCdbl},
    {"vb_cint", 1, true, vbCint},
    {"vb_clng", 1, true, vbClng},
    {"vb_cstr", 1, true, vbCstr},
    {"vb_text", 1, true, vbText},
    {"vb_cdate", 1, true, vbCdate},
    {"vb_year", 1, true, datePart<&QDate::year>},
    {"vb_month", 1, true, datePart<&QDate::month>},
    {"vb_day", 1, true, datePart<&QDate::day>},
    {"vb_today", 0, false, vbToday},
    {"vb_ucase", 1, true, letterCase<true>},
    {"vb_lcase", 1, true, letterCase<false>},
    {"vb_instr", 3, true, vbInstr},
    {"vb_pow", 2, true, vbPow},
    {"vb_right", 2, true, vbRight},
};

} // namespace

void registerJetFunctions(sqlite3* db)
{
    for (const Definition& definition : definitions) {
        const int flags = SQLITE_UTF8 | (definition.deterministic ? SQLITE_DETERMINISTIC : 0);
        const int rc =
            sqlite3_create_function_v2(db, definition.name, definition.arguments, flags, nullptr,
                                       definition.function, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            throw Error(
                Error::DatabaseError,
                QStringLiteral("Cannot register the SQL function %1: %2")
                    .arg(QLatin1String(definition.name), QString::fromUtf8(sqlite3_errstr(rc))));
    }
}

} // namespace vantor::engine
