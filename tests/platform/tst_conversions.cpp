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

} // namespace

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parseNumber_data();
    void parseNumber();
    void toDoubleErrors_data();
    void toDoubleErrors();
    void roundHalfEven_data();
    void roundHalfEven();
    void wholeNumbers_data();
    void wholeNumbers();
    void wholeNumbersFromText_data();
    void wholeNumbersFromText();
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
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected"); // NaN: no number

    QTest::newRow("grouped") << "en_US"
                             << "1,234.5" << 1234.5;
    QTest::newRow("blanks and sign") << "en_US"
                                     << " -3 " << -3.0;
    QTest::newRow("exponent") << "en_US"
                              << "1e3" << 1000.0;
    QTest::newRow("signed exponent") << "en_US"
                                     << "-1.5E-2" << -0.015;
    QTest::newRow("plus") << "en_US"
                          << "+2.5" << 2.5;
    QTest::newRow("no integer digits") << "en_US"
                                       << ".5" << 0.5;
    QTest::newRow("trailing point") << "en_US"
                                    << "5." << 5.0;
    QTest::newRow("two groups") << "en_US"
                                << "1,234,567" << 1234567.0;
    QTest::newRow("tab and blanks") << "en_US"
                                    << "\t42 " << 42.0;
    QTest::newRow("tiny becomes zero") << "en_US"
                                       << "1e-400" << 0.0;
    QTest::newRow("empty") << "en_US"
                           << "" << noNumber;
    QTest::newRow("blanks only") << "en_US"
                                 << "   " << noNumber;
    QTest::newRow("word") << "en_US"
                          << "abc" << noNumber;
    QTest::newRow("short group") << "en_US"
                                 << "1,5" << noNumber;
    QTest::newRow("long first group") << "en_US"
                                      << "1234,567" << noNumber;
    QTest::newRow("long group") << "en_US"
                                << "1,2345" << noNumber;
    QTest::newRow("leading group separator") << "en_US"
                                             << ",5" << noNumber;
    QTest::newRow("two points") << "en_US"
                                << "1.2.3" << noNumber;
    QTest::newRow("bare exponent") << "en_US"
                                   << "1e" << noNumber;
    QTest::newRow("two signs") << "en_US"
                               << "--3" << noNumber;
    QTest::newRow("sign only") << "en_US"
                               << "-" << noNumber;
    QTest::newRow("trailing text") << "en_US"
                                   << "12 kg" << noNumber;
    QTest::newRow("German decimal in English") << "en_US"
                                               << "1,5e3" << noNumber;
    QTest::newRow("too large") << "en_US"
                               << "1e400" << noNumber;

    QTest::newRow("de grouped") << "de_DE"
                                << "1.234,5" << 1234.5;
    QTest::newRow("de decimal") << "de_DE"
                                << "-0,25" << -0.25;
    QTest::newRow("de exponent") << "de_DE"
                                 << "1,5e3" << 1500.0;
    QTest::newRow("de English point") << "de_DE"
                                      << "1.5" << noNumber;
    QTest::newRow("de English grouping") << "de_DE"
                                         << "1,234.5" << noNumber;

    QTest::newRow("fr narrow space group") << "fr_FR" << QStringLiteral("1\u202f234,5") << 1234.5;
    QTest::newRow("fr plain space group") << "fr_FR"
                                          << "1 234,5" << 1234.5;
    QTest::newRow("sv minus sign") << "sv_SE" << QStringLiteral("\u22123,5") << -3.5;
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

void TestConversions::toDoubleErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("error");
    QTest::newRow("number") << "2.5" << 0;
    QTest::newRow("empty") << "" << int(Error::TypeMismatch);
    QTest::newRow("text") << "ten" << int(Error::TypeMismatch);
    QTest::newRow("too large") << "1e400" << int(Error::Overflow);
    QTest::newRow("too large, negative") << "-1e400" << int(Error::Overflow);
}

void TestConversions::toDoubleErrors()
{
    QFETCH(QString, text);
    QFETCH(int, error);
    QCOMPARE(errorOf([&] { toDouble(text); }), error);
}

void TestConversions::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("-1.5") << -1.5 << -2.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("below half") << 2.4999 << 2.0;
    QTest::newRow("above half") << 2.5001 << 3.0;
    QTest::newRow("negative above half") << -2.5001 << -3.0;
    QTest::newRow("whole") << 7.0 << 7.0;
}

void TestConversions::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    const double rounded = vantor::platform::roundHalfEven(value);
    QCOMPARE(rounded, expected);
    QVERIFY(!std::signbit(rounded) || rounded != 0); // no "-0" to show later
}

void TestConversions::wholeNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected16"); // ignored when error16 is set
    QTest::addColumn<int>("error16");
    QTest::addColumn<int>("error32");
    const int overflow = Error::Overflow;
    QTest::newRow("half to even") << 2.5 << 2 << 0 << 0;
    QTest::newRow("negative half") << -2.5 << -2 << 0 << 0;
    QTest::newRow("largest") << 32767.0 << 32767 << 0 << 0;
    QTest::newRow("rounds above largest") << 32767.5 << 0 << overflow << 0;
    QTest::newRow("rounds to smallest") << -32768.5 << -32768 << 0 << 0;
    QTest::newRow("below smallest") << -32768.6 << 0 << overflow << 0;
    QTest::newRow("40000") << 40000.0 << 0 << overflow << 0;
    QTest::newRow("beyond 32 bits") << 2147483647.5 << 0 << overflow << overflow;
    QTest::newRow("smallest 32 bits") << -2147483648.5 << 0 << overflow << 0;
    QTest::newRow("not a number") << noNumber << 0 << overflow << overflow;
}

void TestConversions::wholeNumbers()
{
    QFETCH(double, value);
    QFETCH(int, expected16);
    QFETCH(int, error16);
    QFETCH(int, error32);
    QCOMPARE(errorOf([&] { toInteger16(value); }), error16);
    if (!error16)
        QCOMPARE(int(toInteger16(value)), expected16);
    QCOMPARE(errorOf([&] { toInteger32(value); }), error32);
    if (!error32)
        QCOMPARE(double(toInteger32(value)), vantor::platform::roundHalfEven(value));
}

void TestConversions::wholeNumbersFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("error");
    QTest::newRow("grouped half") << "1,234.5" << 1234 << 0;
    QTest::newRow("blanks") << " 17 " << 17 << 0;
    QTest::newRow("no number") << "abc" << 0 << int(Error::TypeMismatch);
    QTest::newRow("empty") << "" << 0 << int(Error::TypeMismatch);
    QTest::newRow("too large") << "40000" << 0 << int(Error::Overflow);
}

void TestConversions::wholeNumbersFromText()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QFETCH(int, error);
    QCOMPARE(errorOf([&] { toInteger16(text); }), error);
    if (!error)
        QCOMPARE(int(toInteger16(text)), expected);
    QCOMPARE(errorOf([&] { toInteger32(QStringLiteral("3000000000")); }), int(Error::Overflow));
}

void TestConversions::monthDayYear_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected"); // invalid: rejected
    QTest::newRow("short") << "3/5/2004" << QDate(2004, 3, 5);
    QTest::newRow("padded") << "03/05/2004" << QDate(2004, 3, 5);
    QTest::newRow("dashes") << "3-5-2004" << QDate(2004, 3, 5);
    QTest::newRow("blanks around") << " 3/5/2004 " << QDate(2004, 3, 5);
    QTest::newRow("leap day") << "2/29/2004" << QDate(2004, 2, 29);
    QTest::newRow("two-digit year, late") << "12/31/29" << QDate(2029, 12, 31);
    QTest::newRow("two-digit year, early") << "1/1/30" << QDate(1930, 1, 1);
    QTest::newRow("two-digit 99") << "3/5/99" << QDate(1999, 3, 5);
    QTest::newRow("30 February") << "2/30/2004" << QDate();
    QTest::newRow("no leap day") << "2/29/2003" << QDate();
    QTest::newRow("month 13") << "13/1/2004" << QDate();
    QTest::newRow("month 0") << "0/5/2004" << QDate();
    QTest::newRow("day 0") << "3/0/2004" << QDate();
    QTest::newRow("letters") << "a/b/c" << QDate();
    QTest::newRow("month name") << "Mar/5/2004" << QDate();
    QTest::newRow("no year") << "3/5" << QDate();
    QTest::newRow("mixed separators") << "3/5-2004" << QDate();
    QTest::newRow("trailing text") << "3/5/2004x" << QDate();
    QTest::newRow("ISO") << "2004-03-05" << QDate();
    QTest::newRow("year 99999") << "3/5/99999" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestConversions::monthDayYear()
{
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    const auto date = parseMonthDayYear(text);
    QCOMPARE(date.value_or(QDate()), expected);
}

void TestConversions::parseDate_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected"); // invalid: rejected
    const QDate march5(2004, 3, 5);

    QTest::newRow("medium") << "en_US"
                            << "05-Mar-2004" << march5;
    QTest::newRow("medium, lower case") << "en_US"
                                        << "05-mar-2004" << march5;
    QTest::newRow("medium, upper case") << "en_US"
                                        << "05-MAR-2004" << march5;
    QTest::newRow("medium, two-digit year") << "en_US"
                                            << "05-Mar-04" << march5;
    QTest::newRow("month first") << "en_US"
                                 << "Mar-05-2004" << march5;
    QTest::newRow("full month") << "en_US"
                                << "March 05, 2004" << march5;
    QTest::newRow("long") << "en_US"
                          << "Friday, March 5, 2004" << march5;
    QTest::newRow("day, month, year") << "en_US"
                                      << "5 March 2004" << march5;
    QTest::newRow("year first with name") << "en_US"
                                          << "2004 Mar 5" << march5;
    QTest::newRow("ISO") << "en_US"
                         << "2004-03-05" << march5;
    QTest::newRow("ISO with time") << "en_US"
                                   << "2004-03-05 12:30:00" << march5;
    QTest::newRow("ISO, short fields") << "en_US"
                                       << "2004-3-5" << march5;
    QTest::newRow("short") << "en_US"
                           << "3/5/2004" << march5;
    QTest::newRow("short, two-digit year") << "en_US"
                                           << "3/5/04" << march5;
    QTest::newRow("old year") << "en_US"
                              << "01-Jan-100" << QDate(100, 1, 1);
    QTest::newRow("31 February") << "en_US"
                                 << "31-Feb-2004" << QDate();
    QTest::newRow("unknown month") << "en_US"
                                   << "05-Foo-2004" << QDate();
    QTest::newRow("no year") << "en_US"
                             << "05-Mar" << QDate();
    QTest::newRow("two months") << "en_US"
                                << "05-Mar-Apr-2004" << QDate();
    QTest::newRow("a number") << "en_US"
                              << "1.5" << QDate();
    QTest::newRow("word") << "en_US"
                          << "hello" << QDate();
    QTest::newRow("empty") << "en_US"
                           << "" << QDate();
    QTest::newRow("year 10000") << "en_US"
                                << "1/1/10000" << QDate();

    QTest::newRow("de medium") << "de_DE" << QStringLiteral("05-März-2004") << march5;
    QTest::newRow("de stand-alone abbreviation")
        << "de_DE" << QStringLiteral("05-Mär-2004") << march5;
    QTest::newRow("de English abbreviation") << "de_DE"
                                             << "05-Mar-2004" << march5;
    QTest::newRow("de abbreviation with dot") << "de_DE"
                                              << "05-Sept.-2004" << QDate(2004, 9, 5);
    QTest::newRow("de day first") << "de_DE"
                                  << "05.03.2004" << march5;
    QTest::newRow("de day first, short") << "de_DE"
                                         << "5.3.04" << march5;
    QTest::newRow("de long") << "de_DE" << QStringLiteral("Freitag, 5. März 2004") << march5;
    QTest::newRow("de ISO") << "de_DE"
                            << "2004-03-05" << march5;

    // Day first where the locale writes it so; month first where that is no date.
    QTest::newRow("en_GB day first") << "en_GB"
                                     << "05/03/2004" << march5;
    QTest::newRow("en_GB month first fallback") << "en_GB"
                                                << "03/13/2004" << QDate(2004, 3, 13);
    QTest::newRow("es long with words") << "es_ES"
                                        << "viernes, 5 de marzo de 2004" << march5;
}

void TestConversions::parseDate()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    QCOMPARE(vantor::platform::parseDate(text, QLocale(locale)).value_or(QDate()), expected);
}

void TestConversions::toDateRejects()
{
    QCOMPARE(errorOf([] { toDate(QStringLiteral("2/30/2004")); }), int(Error::TypeMismatch));
    QCOMPARE(toDate(QStringLiteral("05-Mar-2004")), QDate(2004, 3, 5));
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
                       QDate(1929, 6, 15), QDate(2000, 2, 29), QDate(2004, 3, 5),
                       QDate(2029, 9, 30), QDate(9999, 12, 31)};
    for (QDate d(100, 1, 1); d.year() < 9999; d = d.addDays(997))
        dates << d;
    for (int month = 1; month <= 12; ++month)
        dates << QDate(2004, month, 28);
    for (const QDate& date : dates) {
        const QString medium = mediumDate(date, loc);
        QCOMPARE(vantor::platform::parseDate(medium, loc).value_or(QDate()), date);
        const QString shortForm = shortDate(date, loc);
        QCOMPARE(vantor::platform::parseDate(shortForm, loc).value_or(QDate()), date);
        const QString longForm = longDate(date, loc);
        QCOMPARE(vantor::platform::parseDate(longForm, loc).value_or(QDate()), date);
    }
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
