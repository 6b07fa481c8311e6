#include "platform/Format.h"

#include <QTest>

#include <limits>

using namespace vantor::platform;

class TestFormat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void numbers_data();
    void numbers();
    void dates_data();
    void dates();
    void everyDayHasItsFields();
    void values_data();
    void values();
    void defaultLocaleIsUsed();
    void namedForms();
    void numberText_data();
    void numberText();
    void sqlDateLiteral();
    void benchmark_data();
    void benchmark();
};

void TestFormat::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestFormat::numbers_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    // The program's own patterns.
    QTest::newRow("summary") << "en_US"
                             << "##,##0.0" << 1234.56 << "1,234.6";
    QTest::newRow("summary, small") << "en_US"
                                    << "##,##0.0" << 7.25 << "7.3";
    QTest::newRow("summary, zero") << "en_US"
                                   << "##,##0.0" << 0.0 << "0.0";
    QTest::newRow("converter") << "en_US"
                               << "##,##0.00" << 12345.0 * 2 << "24,690.00";
    QTest::newRow("converter, millions") << "en_US"
                                         << "##,##0.00" << 1234567.891 << "1,234,567.89";
    QTest::newRow("converter, negative") << "en_US"
                                         << "##,##0.00" << -1234.5 << "-1,234.50";
    QTest::newRow("converter, carry into group") << "en_US"
                                                 << "##,##0.00" << 999.995 << "1,000.00";
    QTest::newRow("converter, huge") << "en_US"
                                     << "##,##0.00" << 1e20 << "100,000,000,000,000,000,000.00";
    QTest::newRow("calculator, below one") << "en_US"
                                           << "###0.00" << 0.5 << "0.50";
    QTest::newRow("calculator, no grouping") << "en_US"
                                             << "###0.00" << 1234567.0 << "1234567.00";
    QTest::newRow("average") << "en_US"
                             << "0.00" << 357.5 << "357.50";

    // Half away from zero, on the digits a double is shown with.
    QTest::newRow("half up") << "en_US"
                             << "0.00" << 0.125 << "0.13";
    QTest::newRow("half away, negative") << "en_US"
                                         << "0.00" << -0.125 << "-0.13";
    QTest::newRow("1.005") << "en_US"
                           << "0.00" << 1.005 << "1.01";
    QTest::newRow("2.675") << "en_US"
                           << "0.00" << 2.675 << "2.68";
    QTest::newRow("whole half") << "en_US"
                                << "0" << 2.5 << "3";
    QTest::newRow("sum of tenths") << "en_US"
                                   << "0.0" << 0.1 + 0.2 << "0.3";
    QTest::newRow("below the last place") << "en_US"
                                          << "0.00" << 0.0049 << "0.00";
    QTest::newRow("negative to zero has no sign") << "en_US"
                                                  << "0.00" << -0.001 << "0.00";

    // The general engine.
    QTest::newRow("grouping only") << "en_US"
                                   << "#,##0" << 1234567.0 << "1,234,567";
    QTest::newRow("leading zeros") << "en_US"
                                   << "000" << 7.0 << "007";
    QTest::newRow("optional decimals") << "en_US"
                                       << "0.0#" << 1.5 << "1.5";
    QTest::newRow("optional decimals used") << "en_US"
                                            << "0.0#" << 1.255 << "1.26";
    QTest::newRow("no integer placeholder") << "en_US"
                                            << ".00" << 12.5 << "12.50";
    QTest::newRow("percent") << "en_US"
                             << "0.00%" << 0.125 << "12.50%";
    QTest::newRow("thousands scaling") << "en_US"
                                       << "#,##0," << 1234567.0 << "1,235";
    QTest::newRow("scientific") << "en_US"
                                << "0.00E+00" << 12345.0 << "1.23E+04";
    QTest::newRow("scientific, small") << "en_US"
                                       << "0.00E+00" << 0.000123 << "1.23E-04";
    QTest::newRow("scientific, carry") << "en_US"
                                       << "0.00E+00" << 9.999 << "1.00E+01";
    QTest::newRow("scientific, minus only") << "en_US"
                                            << "0.0e-0" << 250.0 << "2.5e2";
    QTest::newRow("literal suffix") << "en_US"
                                    << "0.00 \"mg/dL\"" << 5.0 << "5.00 mg/dL";
    QTest::newRow("escaped letters") << "en_US"
                                     << "0\\d\\m" << 5.0 << "5dm";
    QTest::newRow("minus before prefix") << "en_US"
                                         << "\"$\"#,##0.00" << -5.0 << "-$5.00";
    QTest::newRow("digits between literals")
        << "en_US"
        << "(000) 000-0000" << 5551234567.0 << "(555) 123-4567";
    QTest::newRow("negative section") << "en_US"
                                      << "0.00;(0.00)" << -5.0 << "(5.00)";
    QTest::newRow("negative section, positive") << "en_US"
                                                << "0.00;(0.00)" << 5.0 << "5.00";
    QTest::newRow("zero section") << "en_US"
                                  << "0.00;(0.00);\"nil\"" << 0.0 << "nil";
    QTest::newRow("empty negative section") << "en_US"
                                            << "0.00;;\"nil\"" << -2.0 << "-2.00";

    // Decimal and group characters of the locale.
    QTest::newRow("de summary") << "de_DE"
                                << "##,##0.0" << 1234.56 << "1.234,6";
    QTest::newRow("de converter") << "de_DE"
                                  << "##,##0.00" << 24690.0 << "24.690,00";
    QTest::newRow("de calculator") << "de_DE"
                                   << "###0.00" << 0.5 << "0,50";
    QTest::newRow("fr converter") << "fr_FR"
                                  << "##,##0.00" << 1234.5 << QStringLiteral("1\u202f234,50");
}

void TestFormat::numbers()
{
    QFETCH(QString, locale);
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    const FormatPattern compiled(pattern);
    QVERIFY(!compiled.isDatePattern());
    QCOMPARE(compiled.formatNumber(value, QLocale(locale)), expected);
    QCOMPARE(format(value, pattern, QLocale(locale)), expected);
}

void TestFormat::dates_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    const QDate march5(2004, 3, 5);

    QTest::newRow("medium") << "en_US"
                            << "Medium Date" << march5 << "05-Mar-2004";
    QTest::newRow("medium, any case") << "en_US"
                                      << "medium date" << march5 << "05-Mar-2004";
    QTest::newRow("medium, year 100") << "en_US"
                                      << "Medium Date" << QDate(100, 1, 1) << "01-Jan-100";
    QTest::newRow("short") << "en_US"
                           << "Short Date" << march5 << "3/5/2004";
    QTest::newRow("short, other century") << "en_US"
                                          << "Short Date" << QDate(1929, 12, 31) << "12/31/1929";
    QTest::newRow("long") << "en_US"
                          << "Long Date" << march5 << "Friday, March 5, 2004";
    QTest::newRow("list") << "en_US"
                          << "mmm-dd-yyyy" << march5 << "Mar-05-2004";
    QTest::newRow("statistics") << "en_US"
                                << "dd-mmm-yy" << march5 << "05-Mar-04";
    QTest::newRow("details") << "en_US"
                             << "MMMM dd, yyyy" << march5 << "March 05, 2004";
    QTest::newRow("report") << "en_US"
                            << "dddd, MMMM dd, yyyy" << march5 << "Friday, March 05, 2004";
    QTest::newRow("short fields") << "en_US"
                                  << "d/m/yy" << QDate(2009, 11, 7) << "7/11/09";
    QTest::newRow("mixed case") << "en_US"
                                << "DD-Mmm-YYYY" << march5 << "05-Mar-2004";
    QTest::newRow("quoted and escaped") << "en_US"
                                        << "ddd \"the\" d\\d" << march5 << "Fri the 5d";
    QTest::newRow("day of year") << "en_US"
                                 << "y" << QDate(2004, 12, 31) << "366";

    QTest::newRow("de medium") << "de_DE"
                               << "Medium Date" << march5 << QStringLiteral("05-März-2004");
    QTest::newRow("de medium without dot") << "de_DE"
                                           << "Medium Date" << QDate(2004, 9, 5) << "05-Sept-2004";
    QTest::newRow("de short") << "de_DE"
                              << "Short Date" << march5 << "05.03.2004";
    QTest::newRow("de long") << "de_DE"
                             << "Long Date" << march5 << QStringLiteral("Freitag, 5. März 2004");
    QTest::newRow("de report") << "de_DE"
                               << "dddd, MMMM dd, yyyy" << march5
                               << QStringLiteral("Freitag, März 05, 2004");
    QTest::newRow("en_GB short") << "en_GB"
                                 << "Short Date" << march5 << "05/03/2004";
}

void TestFormat::dates()
{
    QFETCH(QString, locale);
    QFETCH(QString, pattern);
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    const FormatPattern compiled(pattern);
    QVERIFY(compiled.isDatePattern());
    QCOMPARE(compiled.formatDate(date, QLocale(locale)), expected);
    QCOMPARE(compiled.format(date, QLocale(locale)), expected);
}

// The fields of a date are computed without QDate's calendar lookups; check
// them against QDate over the whole range of years.
void TestFormat::everyDayHasItsFields()
{
    const QLocale en(QStringLiteral("en_US"));
    const FormatPattern pattern(QStringLiteral("d m yyyy dddd y"));
    for (QDate d(100, 1, 1); d <= QDate(9999, 12, 31); d = d.addDays(13)) {
        const QString expected = QStringLiteral("%1 %2 %3 %4 %5")
                                     .arg(d.day())
                                     .arg(d.month())
                                     .arg(d.year())
                                     .arg(en.dayName(d.dayOfWeek()))
                                     .arg(d.dayOfYear());
        const QString actual = pattern.formatDate(d, en);
        if (actual != expected)
            QFAIL(qPrintable(actual + QStringLiteral(" <> ") + expected));
    }
}

void TestFormat::values_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ISO text") << "en_US"
                              << "Medium Date" << QVariant(QStringLiteral("2004-03-05"))
                              << "05-Mar-2004";
    QTest::newRow("ISO text with time")
        << "en_US"
        << "mmm-dd-yyyy" << QVariant(QStringLiteral("2004-03-05 00:00:00")) << "Mar-05-2004";
    QTest::newRow("medium text") << "en_US"
                                 << "Short Date" << QVariant(QStringLiteral("05-Mar-2004"))
                                 << "3/5/2004";
    QTest::newRow("serial") << "en_US"
                            << "Medium Date" << QVariant(38051.0) << "05-Mar-2004";
    QTest::newRow("serial with time") << "en_US"
                                      << "Medium Date" << QVariant(38051.75) << "05-Mar-2004";
    QTest::newRow("serial out of range") << "en_US"
                                         << "Medium Date" << QVariant(1e10) << "10000000000";
    QTest::newRow("date time") << "en_US"
                               << "Medium Date"
                               << QVariant(QDateTime(QDate(2004, 3, 5), QTime(13, 0)))
                               << "05-Mar-2004";
    QTest::newRow("date under number pattern")
        << "en_US"
        << "0.00" << QVariant(QDate(2004, 3, 5)) << "38051.00";
    QTest::newRow("text no date") << "en_US"
                                  << "Medium Date" << QVariant(QStringLiteral("soon")) << "soon";
    QTest::newRow("numeric text") << "en_US"
                                  << "##,##0.0" << QVariant(QStringLiteral("1234.56")) << "1,234.6";
    QTest::newRow("grouped text") << "en_US"
                                  << "0.00" << QVariant(QStringLiteral("1,234.5")) << "1234.50";
    QTest::newRow("de numeric text")
        << "de_DE"
        << "##,##0.0" << QVariant(QStringLiteral("1234,56")) << "1.234,6";
    QTest::newRow("de database text")
        << "de_DE"
        << "##,##0.0" << QVariant(QStringLiteral("1234.56")) << "1.234,6";
    QTest::newRow("text no number") << "en_US"
                                    << "##,##0.0" << QVariant(QStringLiteral("n/a")) << "n/a";
    QTest::newRow("integer") << "en_US"
                             << "###0.00" << QVariant(3) << "3.00";
    QTest::newRow("64-bit integer") << "en_US"
                                    << "#,##0" << QVariant(qint64(1) << 40) << "1,099,511,627,776";
    QTest::newRow("null") << "en_US"
                          << "##,##0.00" << QVariant() << "";
    QTest::newRow("null text") << "en_US"
                               << "Medium Date" << QVariant(QMetaType::fromType<QString>()) << "";
    QTest::newRow("null date") << "en_US"
                               << "Medium Date" << QVariant(QDate()) << "";
    QTest::newRow("no pattern, number") << "en_US"
                                        << "" << QVariant(5.5) << "5.5";
    QTest::newRow("no pattern, date") << "en_US"
                                      << "" << QVariant(QDate(2004, 3, 5)) << "3/5/2004";
    QTest::newRow("no pattern, text") << "en_US"
                                      << "" << QVariant(QStringLiteral("0.50")) << "0.50";
}

void TestFormat::values()
{
    QFETCH(QString, locale);
    QFETCH(QString, pattern);
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(format(value, pattern, QLocale(locale)), expected);
}

void TestFormat::defaultLocaleIsUsed()
{
    const FormatPattern pattern(QStringLiteral("##,##0.0"));
    QCOMPARE(pattern.formatNumber(1234.56), QStringLiteral("1,234.6"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString german = pattern.formatNumber(1234.56);
    const QString medium = mediumDate(QDate(2004, 3, 5));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(german, QStringLiteral("1.234,6"));
    QCOMPARE(medium, QStringLiteral("05-März-2004"));
    QCOMPARE(pattern.formatNumber(1234.56), QStringLiteral("1,234.6"));
}

void TestFormat::namedForms()
{
    const QLocale en(QStringLiteral("en_US"));
    QCOMPARE(format(1234.5, QStringLiteral("Standard"), en), QStringLiteral("1,234.50"));
    QCOMPARE(format(1234.5, QStringLiteral("Fixed"), en), QStringLiteral("1234.50"));
    QCOMPARE(format(0.125, QStringLiteral("Percent"), en), QStringLiteral("12.50%"));
    QCOMPARE(format(0.0, QStringLiteral("Yes/No"), en), QStringLiteral("No"));
    QCOMPARE(format(QDate(2004, 3, 5), QStringLiteral("General Date"), en),
             QStringLiteral("3/5/2004"));
    QCOMPARE(mediumDate(QDate(2004, 3, 5), en), QStringLiteral("05-Mar-2004"));
    QCOMPARE(shortDate(QDate(2004, 3, 5), en), QStringLiteral("3/5/2004"));
    QCOMPARE(longDate(QDate(2004, 3, 5), en), QStringLiteral("Friday, March 5, 2004"));
    QCOMPARE(mediumDate(QDate(), en), QString());
}

void TestFormat::numberText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << "en_US" << 5.0 << "5";
    QTest::newRow("half") << "en_US" << 5.5 << "5.5";
    QTest::newRow("tenth") << "en_US" << 0.1 << "0.1";
    QTest::newRow("negative") << "en_US" << -3.25 << "-3.25";
    QTest::newRow("no grouping") << "en_US" << 1234567.0 << "1234567";
    QTest::newRow("zero") << "en_US" << 0.0 << "0";
    QTest::newRow("negative zero") << "en_US" << -0.0 << "0";
    QTest::newRow("15 digits") << "en_US" << 123456789012345.0 << "123456789012345";
    QTest::newRow("1E+15") << "en_US" << 1e15 << "1E+15";
    QTest::newRow("1E+20") << "en_US" << 1e20 << "1E+20";
    QTest::newRow("16 digits") << "en_US" << 1234567890123456.0 << "1.23456789012346E+15";
    QTest::newRow("third") << "en_US" << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("sum of tenths") << "en_US" << 0.1 + 0.2 << "0.3";
    QTest::newRow("two thirds") << "en_US" << 2.0 / 3 << "0.666666666666667";
    // 17 digits whose 16th is a 5: the exact value decides (…24335 is below the half).
    QTest::newRow("near a half, below") << "en_US" << 556.4543226524335 << "556.454322652433";
    QTest::newRow("near a half, small") << "en_US" << 5.709129450392925 << "5.70912945039292";
    QTest::newRow("small") << "en_US" << 0.0001 << "0.0001";
    QTest::newRow("smaller") << "en_US" << 1.5e-7 << "1.5E-07";
    QTest::newRow("de") << "de_DE" << -3.25 << "-3,25";
    QTest::newRow("de exponent") << "de_DE" << 1.5e20 << "1,5E+20";
}

void TestFormat::numberText()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(vantor::platform::numberText(value, QLocale(locale)), expected);
}

void TestFormat::sqlDateLiteral()
{
    QCOMPARE(vantor::platform::sqlDateLiteral(QDate(2004, 3, 5)), QStringLiteral("#2004-03-05#"));
    QCOMPARE(vantor::platform::sqlDateLiteral(QDate(100, 1, 9)), QStringLiteral("#0100-01-09#"));
}

// The database formats every row of a query through FormatPattern; this shows
// the cost per value (1000 values per iteration).
void TestFormat::benchmark_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("number") << "##,##0.0" << QVariant(1234.5678);
    QTest::newRow("ISO date text") << "Medium Date" << QVariant(QStringLiteral("2004-03-05"));
    QTest::newRow("date") << "mmm-dd-yyyy" << QVariant(QDate(2004, 3, 5));
}

void TestFormat::benchmark()
{
    QFETCH(QString, pattern);
    QFETCH(QVariant, value);
    const FormatPattern compiled(pattern);
    const QLocale locale;
    qsizetype total = 0;
    QBENCHMARK
    {
        for (int i = 0; i < 1000; ++i)
            total += compiled.format(value, locale).size();
    }
    QVERIFY(total > 0);
}

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
