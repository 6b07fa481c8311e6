#include "platform/Format.h"

#include <QTest>

using namespace vantor::platform;

namespace {

// One row of a table whose columns are locale, pattern, value and expected text.
template <typename T>
void row(const char* tag, const char* pattern, const T& value, const char* expected,
         const char* locale = "en_US")
{
    QTest::newRow(tag) << QString::fromLatin1(locale) << QString::fromUtf8(pattern) << value
                       << QString::fromUtf8(expected);
}

template <typename T> void columns()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<T>("value");
    QTest::addColumn<QString>("expected");
}

const QDate march5(2004, 3, 5);

} // namespace

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
};

void TestFormat::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestFormat::numbers_data()
{
    columns<double>();
    // The program's own patterns.
    row("summary", "##,##0.0", 1234.56, "1,234.6");
    row("summary, zero", "##,##0.0", 0.0, "0.0");
    row("converter", "##,##0.00", 24690.0, "24,690.00");
    row("converter, millions", "##,##0.00", 1234567.891, "1,234,567.89");
    row("converter, negative", "##,##0.00", -1234.5, "-1,234.50");
    row("converter, carry into group", "##,##0.00", 999.995, "1,000.00");
    row("converter, huge", "##,##0.00", 1e20, "100,000,000,000,000,000,000.00");
    row("calculator, below one", "###0.00", 0.5, "0.50");
    row("calculator, no grouping", "###0.00", 1234567.0, "1234567.00");
    row("average", "0.00", 357.5, "357.50");
    // Half away from zero, on the digits a double is shown with.
    row("half up", "0.00", 0.125, "0.13");
    row("half away, negative", "0.00", -0.125, "-0.13");
    row("1.005", "0.00", 1.005, "1.01");
    row("2.675", "0.00", 2.675, "2.68");
    row("whole half", "0", 2.5, "3");
    row("sum of tenths", "0.0", 0.1 + 0.2, "0.3");
    row("negative to zero has no sign", "0.00", -0.001, "0.00");
    // The general engine.
    row("leading zeros", "000", 7.0, "007");
    row("optional decimals", "0.0#", 1.5, "1.5");
    row("optional decimals used", "0.0#", 1.255, "1.26");
    row("no integer placeholder", ".00", 12.5, "12.50");
    row("percent", "0.00%", 0.125, "12.50%");
    row("thousands scaling", "#,##0,", 1234567.0, "1,235");
    row("scientific", "0.00E+00", 12345.0, "1.23E+04");
    row("scientific, small", "0.00E+00", 0.000123, "1.23E-04");
    row("scientific, carry", "0.00E+00", 9.999, "1.00E+01");
    row("scientific, minus only", "0.0e-0", 250.0, "2.5e2");
    row("literal suffix", "0.00 \"mg/dL\"", 5.0, "5.00 mg/dL");
    row("escaped letters", "0\\d\\m", 5.0, "5dm");
    row("minus before prefix", "\"$\"#,##0.00", -5.0, "-$5.00");
    row("digits between literals", "(000) 000-0000", 5551234567.0, "(555) 123-4567");
    row("negative section", "0.00;(0.00)", -5.0, "(5.00)");
    row("zero section", "0.00;(0.00);\"nil\"", 0.0, "nil");
    row("empty negative section", "0.00;;\"nil\"", -2.0, "-2.00");
    // Decimal and group characters of the locale.
    row("de summary", "##,##0.0", 1234.56, "1.234,6", "de_DE");
    row("de converter", "##,##0.00", 24690.0, "24.690,00", "de_DE");
    row("de calculator", "###0.00", 0.5, "0,50", "de_DE");
    row("fr converter", "##,##0.00", 1234.5, "1\u202f234,50", "fr_FR");
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
    columns<QDate>();
    row("medium", "Medium Date", march5, "05-Mar-2004");
    row("medium, any case", "medium date", march5, "05-Mar-2004");
    row("medium, year 100", "Medium Date", QDate(100, 1, 1), "01-Jan-100");
    row("short", "Short Date", march5, "3/5/2004");
    row("short, other century", "Short Date", QDate(1929, 12, 31), "12/31/1929");
    row("long", "Long Date", march5, "Friday, March 5, 2004");
    row("list", "mmm-dd-yyyy", march5, "Mar-05-2004");
    row("statistics", "dd-mmm-yy", march5, "05-Mar-04");
    row("details", "MMMM dd, yyyy", march5, "March 05, 2004");
    row("report", "dddd, MMMM dd, yyyy", march5, "Friday, March 05, 2004");
    row("short fields", "d/m/yy", QDate(2009, 11, 7), "7/11/09");
    row("mixed case", "DD-Mmm-YYYY", march5, "05-Mar-2004");
    row("quoted and escaped", "ddd \"the\" d\\d", march5, "Fri the 5d");
    row("de medium", "Medium Date", march5, "05-März-2004", "de_DE");
    row("de medium without dot", "Medium Date", QDate(2004, 9, 5), "05-Sept-2004", "de_DE");
    row("de short", "Short Date", march5, "05.03.2004", "de_DE");
    row("de long", "Long Date", march5, "Freitag, 5. März 2004", "de_DE");
    row("de report", "dddd, MMMM dd, yyyy", march5, "Freitag, März 05, 2004", "de_DE");
    row("en_GB short", "Short Date", march5, "05/03/2004", "en_GB");
}

void TestFormat::dates()
{
    QFETCH(QString, locale);
    QFETCH(QString, pattern);
    QFETCH(QDate, value);
    QFETCH(QString, expected);
    const FormatPattern compiled(pattern);
    QVERIFY(compiled.isDatePattern());
    QCOMPARE(compiled.formatDate(value, QLocale(locale)), expected);
    QCOMPARE(compiled.format(value, QLocale(locale)), expected);
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
    columns<QVariant>();
    const auto text = [](const char* s) { return QVariant(QString::fromLatin1(s)); };
    row("ISO text", "Medium Date", text("2004-03-05"), "05-Mar-2004");
    row("ISO text with time", "mmm-dd-yyyy", text("2004-03-05 00:00:00"), "Mar-05-2004");
    row("medium text", "Short Date", text("05-Mar-2004"), "3/5/2004");
    row("serial", "Medium Date", QVariant(38051.0), "05-Mar-2004");
    row("serial with time", "Medium Date", QVariant(38051.75), "05-Mar-2004");
    row("serial out of range", "Medium Date", QVariant(1e10), "10000000000");
    row("date time", "Medium Date", QVariant(QDateTime(march5, QTime(13, 0))), "05-Mar-2004");
    row("date under number pattern", "0.00", QVariant(march5), "38051.00");
    row("text no date", "Medium Date", text("soon"), "soon");
    row("numeric text", "##,##0.0", text("1234.56"), "1,234.6");
    row("grouped text", "0.00", text("1,234.5"), "1234.50");
    row("de numeric text", "##,##0.0", text("1234,56"), "1.234,6", "de_DE");
    row("de database text", "##,##0.0", text("1234.56"), "1.234,6", "de_DE");
    row("text no number", "##,##0.0", text("n/a"), "n/a");
    row("integer", "###0.00", QVariant(3), "3.00");
    row("64-bit integer", "#,##0", QVariant(qint64(1) << 40), "1,099,511,627,776");
    row("null", "##,##0.00", QVariant(), "");
    row("null text", "Medium Date", QVariant(QMetaType::fromType<QString>()), "");
    row("null date", "Medium Date", QVariant(QDate()), "");
    row("no pattern, number", "", QVariant(5.5), "5.5");
    row("no pattern, date", "", QVariant(march5), "3/5/2004");
    row("no pattern, text", "", text("0.50"), "0.50");
    row("Standard", "Standard", QVariant(1234.5), "1,234.50");
    row("Fixed", "Fixed", QVariant(1234.5), "1234.50");
    row("Percent", "Percent", QVariant(0.125), "12.50%");
    row("Yes/No", "Yes/No", QVariant(0.0), "No");
    row("General Date", "General Date", QVariant(march5), "3/5/2004");
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
    const QString medium = mediumDate(march5);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(german, QStringLiteral("1.234,6"));
    QCOMPARE(medium, QStringLiteral("05-März-2004"));
    QCOMPARE(pattern.formatNumber(1234.56), QStringLiteral("1,234.6"));
}

void TestFormat::namedForms()
{
    const QLocale en(QStringLiteral("en_US"));
    QCOMPARE(mediumDate(march5, en), QStringLiteral("05-Mar-2004"));
    QCOMPARE(shortDate(march5, en), QStringLiteral("3/5/2004"));
    QCOMPARE(longDate(march5, en), QStringLiteral("Friday, March 5, 2004"));
    QCOMPARE(mediumDate(QDate(), en), QString());
    QCOMPARE(sqlDateLiteral(march5), QStringLiteral("#2004-03-05#"));
    QCOMPARE(sqlDateLiteral(QDate(100, 1, 9)), QStringLiteral("#0100-01-09#"));
}

void TestFormat::numberText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* tag, double value, const char* expected,
                        const char* locale = "en_US") {
        QTest::newRow(tag) << QString::fromLatin1(locale) << value << QString::fromLatin1(expected);
    };
    row("whole", 5.0, "5");
    row("tenth", 0.1, "0.1");
    row("negative", -3.25, "-3.25");
    row("no grouping", 1234567.0, "1234567");
    row("negative zero", -0.0, "0");
    row("15 digits", 123456789012345.0, "123456789012345");
    row("1E+15", 1e15, "1E+15");
    row("16 digits", 1234567890123456.0, "1.23456789012346E+15");
    row("third", 1.0 / 3, "0.333333333333333");
    row("sum of tenths", 0.1 + 0.2, "0.3");
    row("two thirds", 2.0 / 3, "0.666666666666667");
    // 17 digits whose 16th is a 5: the exact value decides (…24335 is below the half).
    row("near a half, below", 556.4543226524335, "556.454322652433");
    row("near a half, small", 5.709129450392925, "5.70912945039292");
    row("small", 0.0001, "0.0001");
    row("smaller", 1.5e-7, "1.5E-07");
    row("de", -3.25, "-3,25", "de_DE");
    row("de exponent", 1.5e20, "1,5E+20", "de_DE");
}

void TestFormat::numberText()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(vantor::platform::numberText(value, QLocale(locale)), expected);
}

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
