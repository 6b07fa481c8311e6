#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Format.h"

#include <QTest>

#include <functional>
#include <limits>

using namespace vantor;
using namespace vantor::platform;

namespace {

// The number of the Error a call throws, 0 when it throws none.
int errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

const double noNumber = std::numeric_limits<double>::quiet_NaN();
const int overflow = Error::Overflow;
const int mismatch = Error::TypeMismatch;
const QDate march5(2004, 3, 5);

// A row of locale, text and the value it reads as.
template <typename T> void row(const char* tag, const char* text, T expected, const char* locale)
{
    QTest::newRow(tag) << QString::fromLatin1(locale) << QString::fromUtf8(text) << expected;
}

template <typename T> void columns()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<T>("expected"); // NaN or an invalid date: refused
}

} // namespace

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parseNumber_data();
    void parseNumber();
    void textToNumberErrors_data();
    void textToNumberErrors();
    void wholeNumbers_data();
    void wholeNumbers();
    void monthDayYear_data();
    void monthDayYear();
    void parseDate_data();
    void parseDate();
    void toDateRejects();
    void formsReadBack_data();
    void formsReadBack();
};

void TestConversions::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestConversions::parseNumber_data()
{
    columns<double>();
    const auto en = [](const char* tag, const char* text, double expected) {
        row(tag, text, expected, "en_US");
    };
    en("grouped", "1,234.5", 1234.5);
    en("blanks and sign", "\t-3 ", -3.0);
    en("signed exponent", "-1.5E-2", -0.015);
    en("plus", "+2.5", 2.5);
    en("no integer digits", ".5", 0.5);
    en("trailing point", "5.", 5.0);
    en("two groups", "1,234,567", 1234567.0);
    en("tiny becomes zero", "1e-400", 0.0);
    for (const char* text : {"", "   ", "abc", "1,5", "1234,567", "1,2345", ",5", "1.2.3", "1e",
                             "--3", "-", "12 kg", "1,5e3", "1e400"})
        en(text, text, noNumber);
    row("de grouped", "1.234,5", 1234.5, "de_DE");
    row("de exponent", "-1,5e3", -1500.0, "de_DE");
    row("de English point", "1.5", noNumber, "de_DE");
    row("de English grouping", "1,234.5", noNumber, "de_DE");
    row("fr narrow space group", "1\u202f234,5", 1234.5, "fr_FR");
    row("fr plain space group", "1 234,5", 1234.5, "fr_FR");
    row("sv minus sign", "\u22123,5", -3.5, "sv_SE");
}

void TestConversions::parseNumber()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, expected);
    const auto value = vantor::platform::parseNumber(text, QLocale(locale));
    if (std::isnan(expected)) {
        QVERIFY2(!value, qPrintable(QString::number(value.value_or(0))));
    } else {
        QVERIFY(value);
        QCOMPARE(*value, expected);
    }
}

void TestConversions::textToNumberErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("doubleError");
    QTest::addColumn<int>("whole"); // the 16-bit value, when there is no error
    QTest::addColumn<int>("wholeError");
    QTest::newRow("grouped half") << "1,234.5" << 0 << 1234 << 0;
    QTest::newRow("blanks") << " 17 " << 0 << 17 << 0;
    QTest::newRow("empty") << "" << mismatch << 0 << mismatch;
    QTest::newRow("text") << "ten" << mismatch << 0 << mismatch;
    QTest::newRow("16-bit too large") << "40000" << 0 << 0 << overflow;
    QTest::newRow("too large, negative") << "-1e400" << overflow << 0 << -1;
}

void TestConversions::textToNumberErrors()
{
    QFETCH(QString, text);
    QFETCH(int, doubleError);
    QFETCH(int, whole);
    QFETCH(int, wholeError);
    QCOMPARE(errorOf([&] { toDouble(text); }), doubleError);
    if (wholeError >= 0)
        QCOMPARE(errorOf([&] { toInteger16(text); }), wholeError);
    if (wholeError == 0)
        QCOMPARE(int(toInteger16(text)), whole);
    QCOMPARE(errorOf([] { toInteger32(QStringLiteral("3000000000")); }), overflow);
}

void TestConversions::wholeNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected16"); // ignored when error16 is set
    QTest::addColumn<int>("error16");
    QTest::addColumn<int>("error32");
    // Half to even, the sign of zero dropped.
    QTest::newRow("0.5") << 0.5 << 0.0 << 0 << 0;
    QTest::newRow("1.5") << 1.5 << 2.0 << 0 << 0;
    QTest::newRow("2.5") << 2.5 << 2.0 << 0 << 0;
    QTest::newRow("-0.5") << -0.5 << 0.0 << 0 << 0;
    QTest::newRow("-2.5") << -2.5 << -2.0 << 0 << 0;
    QTest::newRow("below half") << 2.4999 << 2.0 << 0 << 0;
    QTest::newRow("negative above half") << -2.5001 << -3.0 << 0 << 0;
    QTest::newRow("largest") << 32767.0 << 32767.0 << 0 << 0;
    QTest::newRow("rounds above largest") << 32767.5 << 0.0 << overflow << 0;
    QTest::newRow("rounds to smallest") << -32768.5 << -32768.0 << 0 << 0;
    QTest::newRow("below smallest") << -32768.6 << 0.0 << overflow << 0;
    QTest::newRow("beyond 32 bits") << 2147483647.5 << 0.0 << overflow << overflow;
    QTest::newRow("smallest 32 bits") << -2147483648.5 << 0.0 << overflow << 0;
    QTest::newRow("not a number") << noNumber << 0.0 << overflow << overflow;
}

void TestConversions::wholeNumbers()
{
    QFETCH(double, value);
    QFETCH(double, expected16);
    QFETCH(int, error16);
    QFETCH(int, error32);
    const double rounded = roundHalfEven(value);
    if (!std::isnan(value))
        QVERIFY(!std::signbit(rounded) || rounded != 0); // no "-0" to show later
    QCOMPARE(errorOf([&] { toInteger16(value); }), error16);
    if (!error16) {
        QCOMPARE(rounded, expected16);
        QCOMPARE(double(toInteger16(value)), expected16);
    }
    QCOMPARE(errorOf([&] { toInteger32(value); }), error32);
    if (!error32)
        QCOMPARE(double(toInteger32(value)), rounded);
}

void TestConversions::monthDayYear_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected"); // invalid: rejected
    const auto row = [](const char* text, QDate expected) {
        QTest::newRow(text) << QString::fromLatin1(text) << expected;
    };
    row("3/5/2004", march5);
    row("03/05/2004", march5);
    row("3-5-2004", march5);
    row(" 3/5/2004 ", march5);
    row("2/29/2004", QDate(2004, 2, 29));
    row("12/31/29", QDate(2029, 12, 31));
    row("1/1/30", QDate(1930, 1, 1));
    row("3/5/99", QDate(1999, 3, 5));
    for (const char* refused :
         {"2/30/2004", "2/29/2003", "13/1/2004", "0/5/2004", "3/0/2004", "a/b/c", "Mar/5/2004",
          "3/5", "3/5-2004", "3/5/2004x", "2004-03-05", "3/5/99999", "",
          // digits enough to overflow an int must be refused, not wrapped
          "1/1/99999999999", "99999999999/1/2004", "1/4294967297/2004"})
        row(refused, QDate());
}

void TestConversions::monthDayYear()
{
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    QCOMPARE(parseMonthDayYear(text).value_or(QDate()), expected);
}

void TestConversions::toDateRejects()
{
    QCOMPARE(errorOf([] { toDate(QStringLiteral("2/30/2004")); }), mismatch);
    QCOMPARE(toDate(QStringLiteral("05-Mar-2004")), march5);
}

void TestConversions::parseDate_data()
{
    columns<QDate>();
    const auto en = [](const char* tag, const char* text, QDate expected) {
        row(tag, text, expected, "en_US");
    };
    en("medium", "05-Mar-2004", march5);
    en("medium, upper case", "05-MAR-2004", march5);
    en("medium, two-digit year", "05-Mar-04", march5);
    en("month first", "Mar-05-2004", march5);
    en("full month", "March 05, 2004", march5);
    en("long", "Friday, March 5, 2004", march5);
    en("day, month, year", "5 March 2004", march5);
    en("year first with name", "2004 Mar 5", march5);
    en("ISO", "2004-03-05", march5);
    en("ISO with time", "2004-03-05 12:30:00", march5);
    en("ISO, short fields", "2004-3-5", march5);
    en("short", "3/5/2004", march5);
    en("short, two-digit year", "3/5/04", march5);
    en("old year", "01-Jan-100", QDate(100, 1, 1));
    for (const char* text :
         {"31-Feb-2004", "05-Foo-2004", "05-Mar", "05-Mar-Apr-2004", "1.5", "", "1/1/10000"})
        en(text, text, QDate());
    row("de medium", "05-März-2004", march5, "de_DE");
    row("de stand-alone abbreviation", "05-Mär-2004", march5, "de_DE");
    row("de English abbreviation", "05-Mar-2004", march5, "de_DE");
    row("de abbreviation with dot", "05-Sept.-2004", QDate(2004, 9, 5), "de_DE");
    row("de day first", "05.03.2004", march5, "de_DE");
    row("de day first, short", "5.3.04", march5, "de_DE");
    row("de long", "Freitag, 5. März 2004", march5, "de_DE");
    // Day first where the locale writes it so; month first where that is no date.
    row("en_GB day first", "05/03/2004", march5, "en_GB");
    row("en_GB month first fallback", "03/13/2004", QDate(2004, 3, 13), "en_GB");
    row("es long with words", "viernes, 5 de marzo de 2004", march5, "es_ES");
}

void TestConversions::parseDate()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    QCOMPARE(vantor::platform::parseDate(text, QLocale(locale)).value_or(QDate()), expected);
}

void TestConversions::formsReadBack_data()
{
    QTest::addColumn<QString>("locale");
    for (const char* name :
         {"en_US", "de_DE", "en_GB", "fr_FR", "es_ES", "ru_RU", "nl_NL", "sv_SE", "ja_JP"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Every form the program writes a date in reads back as the same day, in any
// century: the lists hand their text back to queries.
void TestConversions::formsReadBack()
{
    QFETCH(QString, locale);
    const QLocale loc(locale);
    QList<QDate> dates{QDate(100, 1, 1),   QDate(999, 12, 31), QDate(1899, 12, 30),
                       QDate(1929, 6, 15), QDate(2000, 2, 29), march5,
                       QDate(2029, 9, 30), QDate(9999, 12, 31)};
    for (QDate d(100, 1, 1); d.year() < 9999; d = d.addDays(997))
        dates << d;
    for (int month = 1; month <= 12; ++month)
        dates << QDate(2004, month, 28);
    for (const QDate& date : dates) {
        for (const QString& form :
             {mediumDate(date, loc), shortDate(date, loc), longDate(date, loc)})
            QCOMPARE(vantor::platform::parseDate(form, loc).value_or(QDate()), date);
    }
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
