// The reader and the mapping: splitting, the guesses, dates and numbers.

#include "importer/ImportMapping.h"
#include "importer/ImportReader.h"

#include <QTest>

using namespace vantor::importer;
using namespace Qt::StringLiterals;

class tst_ImportReader : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void delimiterGuess_data();
    void delimiterGuess();
    void headingGuess_data();
    void headingGuess();
    void decoding();
    void dates_data();
    void dates();
    void dateGuess_data();
    void dateGuess();
    void results_data();
    void results();
    void headingMapping();
    void mappingProblems_data();
    void mappingProblems();
};

// Lines as "number:field|field", joined by " / ".
static QString shown(const TextTable& table)
{
    QStringList out;
    for (const TextLine& line : table.lines)
        out << QString::number(line.number) + u':' + line.fields.join(u'|');
    return out.join(QStringLiteral(" / "));
}

void tst_ImportReader::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("delimiter");
    QTest::addColumn<bool>("quoting");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("heading");

    QTest::newRow("crlf, heading, blank line kept out")
        << u"a,b\r\n1,2\r\n\r\n3,4\r\n"_s << QChar(u',') << true << u"2:1|2 / 4:3|4"_s << u"a|b"_s;
    QTest::newRow("lone cr and lf")
        << u"h\r1\n2"_s << QChar(u',') << true << u"2:1 / 3:2"_s << u"h"_s;
    QTest::newRow("quoted delimiter, doubled quote")
        << u"h\n\"a,b\",\"say \"\"hi\"\"\",c\n"_s << QChar(u',') << true << u"2:a,b|say \"hi\"|c"_s
        << u"h"_s;
    QTest::newRow("line break inside quotes counts")
        << u"h\n\"x\ny\",1\n2,3\n"_s << QChar(u',') << true << u"2:x\ny|1 / 4:2|3"_s << u"h"_s;
    QTest::newRow("export: no quoting")
        << u"h\n\"x\"\t1\n"_s << QChar(u'\t') << false << u"2:\"x\"|1"_s << u"h"_s;
    QTest::newRow("empty fields kept")
        << u"h\n;;x;\n"_s << QChar(u';') << true << u"2:||x|"_s << u"h"_s;
    QTest::newRow("byte order mark")
        << u"\uFEFFDate\tTest\n1\t2"_s << QChar(u'\t') << true << u"2:1|2"_s << u"Date|Test"_s;
}

void tst_ImportReader::split()
{
    QFETCH(QString, text);
    QFETCH(QChar, delimiter);
    QFETCH(bool, quoting);
    QFETCH(QString, expected);
    QFETCH(QString, heading);
    const TextTable table = splitText(text, delimiter, true, quoting);
    QCOMPARE(shown(table), expected);
    QCOMPARE(table.heading.join(u'|'), heading);
}

void tst_ImportReader::delimiterGuess_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("expected");
    QTest::newRow("tab") << u"Date\tTest\tResult\n1/2/2024\tGlucose\t5.4\n"_s << QChar(u'\t');
    QTest::newRow("comma") << u"Date,Test,Result\n1/2/2024,Glucose,5.4\n"_s << QChar(u',');
    QTest::newRow("semicolon with decimal commas")
        << u"Date;Test;Result\n1.2.2024;Glucose;5,4\n2.2.2024;Glucose;5,1\n"_s << QChar(u';');
    QTest::newRow("comma, quoted semicolons")
        << u"a,b,c\n\"x;y\",1,2\n\"p;q\",3,4\n"_s << QChar(u',');
}

void tst_ImportReader::delimiterGuess()
{
    QFETCH(QString, text);
    QFETCH(QChar, expected);
    QCOMPARE(guessDelimiter(text), expected);
}

void tst_ImportReader::headingGuess_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("names over values") << u"Date,Glucose\n2024-01-02,5.4\n"_s << true;
    QTest::newRow("values from the start") << u"2024-01-01,4.9\n2024-01-02,5.4\n"_s << false;
    QTest::newRow("a number in the first line") << u"Glucose,5.4\nGlucose,5.1\n"_s << false;
    QTest::newRow("one line only") << u"Date,Glucose\n"_s << false;
}

void tst_ImportReader::headingGuess()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(guessHeading(splitText(text, u',', false)), expected);
}

void tst_ImportReader::decoding()
{
    const SourceText utf8 = decodeText(QByteArray("\xEF\xBB\xBF") + "Caf\xC3\xA9");
    QCOMPARE(utf8.encoding, u"UTF-8"_s);
    QVERIFY(utf8.text.endsWith(u"Café"_s));
    // Not UTF-8: the locale's encoding, or Latin-1 where that is UTF-8 too.
    const SourceText latin = decodeText("Caf\xE9");
    QCOMPARE(latin.text, u"Café"_s);
    QVERIFY(latin.encoding != u"UTF-8"_s);

    QVERIFY(decodeText("Date\tPeriod\tTest\tResult\tUnit\tRemarks\r\n1/2/2024\t").isExport);
    QVERIFY(decodeText("Date\tPeriod\tTest\tResult\tUnit\tRemarks").isExport);
    QVERIFY(!decodeText("Date\tPeriod\tTest\tResult\tUnit\tRemarks\tMore\r\n").isExport);
    QVERIFY(!decodeText("Date,Period,Test,Result,Unit,Remarks\r\n").isExport);
}

void tst_ImportReader::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("form");
    QTest::addColumn<QDate>("expected");
    const int iso = int(DateForm::Iso), mdy = int(DateForm::MonthDayYear),
              dmy = int(DateForm::DayMonthYear);
    QTest::newRow("iso") << u"2004-03-05"_s << iso << QDate(2004, 3, 5);
    QTest::newRow("iso with a time") << u"2004-03-05 08:30"_s << mdy << QDate(2004, 3, 5);
    QTest::newRow("year first with slashes") << u"2004/03/05"_s << dmy << QDate(2004, 3, 5);
    QTest::newRow("month first") << u"3/5/2004"_s << mdy << QDate(2004, 3, 5);
    QTest::newRow("day first, dots") << u"05.03.2004"_s << dmy << QDate(2004, 3, 5);
    QTest::newRow("day first, trailing dot") << u"5.3.2004."_s << dmy << QDate(2004, 3, 5);
    QTest::newRow("two-digit year 29") << u"3/5/29"_s << mdy << QDate(2029, 3, 5);
    QTest::newRow("two-digit year 30") << u"3/5/30"_s << mdy << QDate(1930, 3, 5);
    QTest::newRow("iso form refuses slashes") << u"3/5/2004"_s << iso << QDate();
    QTest::newRow("no such day") << u"31/02/2024"_s << dmy << QDate();
    QTest::newRow("month 13") << u"13/01/2024"_s << mdy << QDate();
    QTest::newRow("mixed separators") << u"3/5-2004"_s << mdy << QDate();
    QTest::newRow("three-digit year") << u"3/5/204"_s << mdy << QDate();
    QTest::newRow("words") << u"yesterday"_s << mdy << QDate();
    QTest::newRow("trailing text") << u"3/5/2004x"_s << mdy << QDate();
}

void tst_ImportReader::dates()
{
    QFETCH(QString, text);
    QFETCH(int, form);
    QFETCH(QDate, expected);
    QCOMPARE(parseDate(text, DateForm(form)).value_or(QDate()), expected);
}

void tst_ImportReader::dateGuess_data()
{
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("ambiguous");
    const int iso = int(DateForm::Iso), mdy = int(DateForm::MonthDayYear),
              dmy = int(DateForm::DayMonthYear);
    QTest::newRow("all iso") << QStringList{u"2024-01-02"_s, u"2024-12-31"_s} << u"de_DE"_s << iso
                             << false;
    QTest::newRow("a day above 12 first")
        << QStringList{u"1/2/2024"_s, u"13/2/2024"_s} << u"en_US"_s << dmy << false;
    QTest::newRow("a day above 12 second")
        << QStringList{u"1.2.2024"_s, u"2.13.2024"_s} << u"de_DE"_s << mdy << false;
    QTest::newRow("undecided: US order") << QStringList{u"1/2/2024"_s} << u"en_US"_s << mdy << true;
    QTest::newRow("undecided: German order")
        << QStringList{u"1.2.2024"_s} << u"de_DE"_s << dmy << true;
    QTest::newRow("contradicting: locale order")
        << QStringList{u"13/1/2024"_s, u"1/13/2024"_s} << u"en_US"_s << mdy << true;
    QTest::newRow("iso and others mixed")
        << QStringList{u"2024-01-02"_s, u"25/1/2024"_s} << u"en_US"_s << dmy << false;
}

void tst_ImportReader::dateGuess()
{
    QFETCH(QStringList, dates);
    QFETCH(QString, locale);
    QFETCH(int, form);
    QFETCH(bool, ambiguous);
    const DateGuess guess = guessDateForm(dates, QLocale(locale));
    QCOMPARE(int(guess.form), form);
    QCOMPARE(guess.ambiguous, ambiguous);
}

void tst_ImportReader::results_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("decimal");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("expected");
    QTest::newRow("integer") << u" 96 "_s << QChar(u'.') << true << 96.0;
    QTest::newRow("decimal point") << u"5.4"_s << QChar(u'.') << true << 5.4;
    QTest::newRow("decimal comma") << u"-5,25"_s << QChar(u',') << true << -5.25;
    QTest::newRow("exponent as the export writes it") << u"1E+20"_s << QChar(u'.') << true << 1e20;
    QTest::newRow("point when comma expected") << u"5.4"_s << QChar(u',') << false << 0.0;
    QTest::newRow("grouping is no number") << u"1,234.5"_s << QChar(u'.') << false << 0.0;
    QTest::newRow("lab qualifier") << u"<0.5"_s << QChar(u'.') << false << 0.0;
    QTest::newRow("words") << u"n/a"_s << QChar(u'.') << false << 0.0;
    QTest::newRow("infinity") << u"1e999"_s << QChar(u'.') << false << 0.0;
    QTest::newRow("lone sign") << u"-"_s << QChar(u'.') << false << 0.0;
}

void tst_ImportReader::results()
{
    QFETCH(QString, text);
    QFETCH(QChar, decimal);
    QFETCH(bool, valid);
    QFETCH(double, expected);
    const auto value = parseResult(text, decimal);
    QCOMPARE(value.has_value(), valid);
    if (valid)
        QCOMPARE(*value, expected);
}

void tst_ImportReader::headingMapping()
{
    const TextTable table =
        splitText(u"DATE;remarks;Item;Value;Units\n13.1.2024;x;Glucose;5,4;mg\n"_s, u';', true);
    const auto mapping = mappingFromHeading(table, QLocale(u"en_US"_s));
    QVERIFY(mapping);
    QCOMPARE(QList<int>({mapping->date, mapping->period, mapping->test, mapping->result,
                         mapping->unit, mapping->remarks}),
             QList<int>({0, -1, 2, 3, 4, 1}));
    QCOMPARE(mapping->dateForm, DateForm::DayMonthYear);
    QCOMPARE(mapping->decimal, QChar(u','));

    const TextTable wide =
        splitText(u"Date,Glucose,Note,HbA1c\n2024-01-02,5.4,ok,6.1\n"_s, u',', true);
    QVERIFY(!mappingFromHeading(wide));
    const auto wideMapping = wideMappingFromHeading(wide);
    QVERIFY(wideMapping);
    QCOMPARE(wideMapping->testColumns, QList<int>({1, 3}));
}

void tst_ImportReader::mappingProblems_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QList<int>>("columns"); // date, period, test, result, unit, remarks
    QTest::addColumn<QList<int>>("tests");
    QTest::addColumn<QString>("defaultPeriod");
    QTest::addColumn<QString>("expected");
    const int lng = int(Layout::Long), wide = int(Layout::Wide);
    QTest::newRow("fine") << lng << QList<int>{0, 1, 2, 3, -1, -1} << QList<int>{} << QString()
                          << QString();
    QTest::newRow("no date") << lng << QList<int>{-1, 1, 2, 3, -1, -1} << QList<int>{} << QString()
                             << u"Choose the column that holds the date."_s;
    QTest::newRow("twice") << lng << QList<int>{0, 1, 2, 2, -1, -1} << QList<int>{} << QString()
                           << u"The column \"Test\" is chosen twice."_s;
    QTest::newRow("no period at all") << lng << QList<int>{0, -1, 2, 3, -1, -1} << QList<int>{}
                                      << u" "_s << u"Choose the period for lines without one."_s;
    QTest::newRow("wide without tests") << wide << QList<int>{0, 1, -1, -1, -1, -1} << QList<int>{}
                                        << QString() << u"Mark the columns that hold test items."_s;
    QTest::newRow("wide: date as a test")
        << wide << QList<int>{0, 1, -1, -1, -1, -1} << QList<int>{0, 3} << QString()
        << u"The column \"Date\" cannot be a test item and something else."_s;
    QTest::newRow("outside the file") << lng << QList<int>{0, 1, 2, 9, -1, -1} << QList<int>{}
                                      << QString() << u"The file has no column 10."_s;
}

void tst_ImportReader::mappingProblems()
{
    QFETCH(int, layout);
    QFETCH(QList<int>, columns);
    QFETCH(QList<int>, tests);
    QFETCH(QString, defaultPeriod);
    QFETCH(QString, expected);
    const TextTable table =
        splitText(u"Date,Period,Test,Result\n2024-01-02,Morning,Glucose,5\n"_s, u',', true);
    Mapping mapping;
    mapping.layout = Layout(layout);
    mapping.date = columns[0];
    mapping.period = columns[1];
    mapping.test = columns[2];
    mapping.result = columns[3];
    mapping.unit = columns[4];
    mapping.remarks = columns[5];
    mapping.testColumns = tests;
    mapping.defaultPeriod = defaultPeriod;
    QCOMPARE(mappingProblem(mapping, table), expected);
}

QTEST_GUILESS_MAIN(tst_ImportReader)
#include "tst_importreader.moc"
