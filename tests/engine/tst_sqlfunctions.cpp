#include <QDate>
#include <QLocale>
#include <QtTest>

#include "EngineFixture.h"

using namespace Qt::StringLiterals;
using namespace enginetest;

class TestSqlFunctions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void values_data();
    void values();
    void patternPerRow();
    void patternOfRebindParameter();
    void followsTheProgramLocale();
    void today();

private:
    // The first value of a call as "type|value", or "ERROR: message".
    QString evaluate(const QString& call)
    {
        return rowsOf(m_db.get(), u"SELECT typeof(v), v FROM (SELECT "_s + call + u" AS v)"_s)
            .join(u'\n');
    }

    Database m_db;
};

void TestSqlFunctions::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestSqlFunctions::init()
{
    m_db = openDatabase(u":memory:"_s);
}

void TestSqlFunctions::cleanup()
{
    m_db.reset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestSqlFunctions::values_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("result");

    // Format: numbers by pattern, rounded half away from zero; stored dates
    // (ISO text) and date serials by date pattern; null as empty text.
    QTest::newRow("format grouping") << u"vb_format(1234.56, '##,##0.0')"_s << u"text|1,234.6"_s;
    QTest::newRow("format rounds half away from zero")
        << u"vb_format(0.125, '0.00')"_s << u"text|0.13"_s;
    QTest::newRow("format null") << u"vb_format(NULL, '0.00')"_s << u"text|"_s;
    QTest::newRow("format numeric text") << u"vb_format('12.5', '0.00')"_s << u"text|12.50"_s;
    QTest::newRow("format other text") << u"vb_format('abc', '0.00')"_s << u"text|abc"_s;
    QTest::newRow("format medium date")
        << u"vb_format('2004-03-05', 'Medium Date')"_s << u"text|05-Mar-2004"_s;
    QTest::newRow("format a date serial")
        << u"vb_format(38051, 'Medium Date')"_s << u"text|05-Mar-2004"_s;

    // CDbl: a stored date becomes its serial, as the date presets rely on.
    QTest::newRow("cdbl date") << u"vb_cdbl('2004-03-05')"_s << u"real|38051"_s;
    QTest::newRow("cdbl grouped text") << u"vb_cdbl('1,234.5')"_s << u"real|1234.5"_s;
    QTest::newRow("cdbl letters") << u"vb_cdbl('abc')"_s << u"ERROR: Type mismatch"_s;
    QTest::newRow("cdbl impossible date")
        << u"vb_cdbl('2004-02-30')"_s << u"ERROR: Type mismatch"_s;
    QTest::newRow("cdbl null") << u"vb_cdbl(NULL)"_s << u"null|NULL"_s;

    // CInt: half to even, 16 bits.
    QTest::newRow("cint 2.5") << u"vb_cint(2.5)"_s << u"integer|2"_s;
    QTest::newRow("cint above top") << u"vb_cint(32767.5)"_s << u"ERROR: Overflow"_s;
    QTest::newRow("cint integer above top") << u"vb_cint(32768)"_s << u"ERROR: Overflow"_s;
    QTest::newRow("cint text") << u"vb_cint('12')"_s << u"integer|12"_s;
    QTest::newRow("cint letters") << u"vb_cint('x')"_s << u"ERROR: Type mismatch"_s;
    QTest::newRow("cint a date") << u"vb_cint('2004-03-05')"_s << u"ERROR: Overflow"_s;
    QTest::newRow("cint null") << u"vb_cint(NULL)"_s << u"null|NULL"_s;

    // CLng: the same over 32 bits.
    QTest::newRow("clng above top") << u"vb_clng(2147483647.5)"_s << u"ERROR: Overflow"_s;
    QTest::newRow("clng a date") << u"vb_clng('2004-03-05')"_s << u"integer|38051"_s;

    // CStr, and the null-tolerant text form that & uses.
    QTest::newRow("cstr whole real") << u"vb_cstr(5.0)"_s << u"text|5"_s;
    QTest::newRow("cstr null") << u"vb_cstr(NULL)"_s << u"null|NULL"_s;
    QTest::newRow("text null") << u"vb_text(NULL)"_s << u"text|"_s;
    QTest::newRow("text real") << u"vb_text(5.0)"_s << u"text|5"_s;

    // CDate and the date parts: stored dates, serials, the forms of the lists.
    QTest::newRow("cdate serial") << u"vb_cdate(38051)"_s << u"text|2004-03-05"_s;
    QTest::newRow("cdate month first") << u"vb_cdate('3/5/2004')"_s << u"text|2004-03-05"_s;
    QTest::newRow("cdate medium") << u"vb_cdate('05-Mar-2004')"_s << u"text|2004-03-05"_s;
    QTest::newRow("cdate nonsense") << u"vb_cdate('nonsense')"_s << u"ERROR: Type mismatch"_s;
    QTest::newRow("cdate out of range") << u"vb_cdate(1e9)"_s << u"ERROR: Overflow"_s;
    QTest::newRow("month of a serial") << u"vb_month(38051)"_s << u"integer|3"_s;
    QTest::newRow("day of medium text") << u"vb_day('05-Mar-2004')"_s << u"integer|5"_s;
    QTest::newRow("year of null") << u"vb_year(NULL)"_s << u"null|NULL"_s;

    QTest::newRow("ucase beyond ASCII") << u"vb_ucase('müller')"_s << u"text|MÜLLER"_s;
    QTest::newRow("lcase beyond ASCII") << u"vb_lcase('ÄB')"_s << u"text|äb"_s;
    QTest::newRow("instr without regard to case")
        << u"vb_instr(1, 'Glucose', 'COS')"_s << u"integer|4"_s;
    QTest::newRow("instr start 0")
        << u"vb_instr(0, 'a', 'a')"_s << u"ERROR: Invalid procedure call or argument"_s;
    QTest::newRow("instr empty sought") << u"vb_instr(2, 'ab', '')"_s << u"integer|2"_s;
    QTest::newRow("pow") << u"vb_pow(2, 10)"_s << u"real|1024"_s;
    QTest::newRow("pow no real result")
        << u"vb_pow(-8, 0.5)"_s << u"ERROR: Invalid procedure call or argument"_s;
    QTest::newRow("pow too large") << u"vb_pow(10, 400)"_s << u"ERROR: Overflow"_s;
}

void TestSqlFunctions::values()
{
    QFETCH(QString, call);
    QFETCH(QString, result);
    QCOMPARE(evaluate(call), result);
}

// The pattern is compiled once per statement; a pattern that changes from
// row to row must still be honoured.
void TestSqlFunctions::patternPerRow()
{
    QCOMPARE(rowsOf(m_db.get(),
                    u"SELECT vb_format(column1, column2) FROM (VALUES (1.5, '0.00'), (1.5, '0.0'), "
                    "(1.5, '0.00'), ('2004-03-05', 'Medium Date'), (1.5, '0'))"_s),
             (QStringList{u"1.50"_s, u"1.5"_s, u"1.50"_s, u"05-Mar-2004"_s, u"2"_s}));
    QCOMPARE(rowsOf(m_db.get(),
                    u"SELECT vb_format(column1, '0.0') FROM (VALUES (1), (NULL), (2.25), ('x'))"_s),
             (QStringList{u"1.0"_s, u""_s, u"2.3"_s, u"x"_s}));
}

void TestSqlFunctions::patternOfRebindParameter()
{
    sqlite3_stmt* statement = nullptr;
    QCOMPARE(sqlite3_prepare_v2(m_db.get(), "SELECT vb_format(2.5, ?1)", -1, &statement, nullptr),
             SQLITE_OK);
    for (const auto& [pattern, value] : {std::pair{"0.00", "2.50"}, {"0.000", "2.500"}}) {
        sqlite3_reset(statement);
        sqlite3_bind_text(statement, 1, pattern, -1, SQLITE_STATIC);
        QCOMPARE(sqlite3_step(statement), SQLITE_ROW);
        QCOMPARE(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), value);
    }
    sqlite3_finalize(statement);
}

void TestSqlFunctions::followsTheProgramLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(evaluate(u"vb_format(1234.56, '##,##0.0')"_s), u"text|1.234,6"_s);
    QCOMPARE(evaluate(u"vb_cdbl('1,5')"_s), u"real|1.5"_s);
    QCOMPARE(evaluate(u"vb_cstr(2.5)"_s), u"text|2,5"_s);
}

void TestSqlFunctions::today()
{
    const QString before = QDate::currentDate().toString(Qt::ISODate);
    const QString value = evaluate(u"vb_today()"_s);
    const QString after = QDate::currentDate().toString(Qt::ISODate);
    QVERIFY2(value == u"text|"_s + before || value == u"text|"_s + after, qPrintable(value));
}

QTEST_GUILESS_MAIN(TestSqlFunctions)
#include "tst_sqlfunctions.moc"
