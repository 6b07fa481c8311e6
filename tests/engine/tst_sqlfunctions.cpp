#include "engine/SqlFunctions.h"

#include <QDate>
#include <QLocale>
#include <QtTest>

#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Closer
{
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

// The first value of a statement, as "type:value": "int:2", "real:2.5",
// "text:abc", "null", or "error:<message>".
QString firstValue(sqlite3_stmt* statement)
{
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW)
        return u"error:"_s + QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement)));
    switch (sqlite3_column_type(statement, 0)) {
    case SQLITE_NULL:
        return u"null"_s;
    case SQLITE_INTEGER:
        return u"int:"_s + QString::number(sqlite3_column_int64(statement, 0));
    case SQLITE_FLOAT:
        return u"real:"_s + QString::number(sqlite3_column_double(statement, 0), 'g', 17);
    default:
        return u"text:"_s +
               QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
}

} // namespace

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
    QString evaluate(const QString& sql);
    QStringList column(const QString& sql);

    std::unique_ptr<sqlite3, Closer> m_db;
};

void TestSqlFunctions::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestSqlFunctions::init()
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
    m_db.reset(db);
    vantor::engine::registerJetFunctions(db);
}

void TestSqlFunctions::cleanup()
{
    m_db.reset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

QString TestSqlFunctions::evaluate(const QString& sql)
{
    sqlite3_stmt* statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db.get(), utf8.constData(), int(utf8.size()), &statement, nullptr) !=
        SQLITE_OK)
        return u"prepare:"_s + QString::fromUtf8(sqlite3_errmsg(m_db.get()));
    const QString value = firstValue(statement);
    sqlite3_finalize(statement);
    return value;
}

QStringList TestSqlFunctions::column(const QString& sql)
{
    sqlite3_stmt* statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_prepare_v2(m_db.get(), utf8.constData(), int(utf8.size()), &statement, nullptr);
    QStringList values;
    while (statement && sqlite3_step(statement) == SQLITE_ROW)
        values.append(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
    sqlite3_finalize(statement);
    return values;
}

void TestSqlFunctions::values_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("result");

    // Format: numbers by pattern, rounded half away from zero; stored dates
    // (ISO text) and date serials by date pattern; null as empty text.
    QTest::newRow("format grouping") << u"vb_format(1234.56, '##,##0.0')"_s << u"text:1,234.6"_s;
    QTest::newRow("format rounds half away from zero")
        << u"vb_format(0.125, '0.00')"_s << u"text:0.13"_s;
    QTest::newRow("format null") << u"vb_format(NULL, '0.00')"_s << u"text:"_s;
    QTest::newRow("format numeric text") << u"vb_format('12.5', '0.00')"_s << u"text:12.50"_s;
    QTest::newRow("format other text") << u"vb_format('abc', '0.00')"_s << u"text:abc"_s;
    QTest::newRow("format medium date")
        << u"vb_format('2004-03-05', 'Medium Date')"_s << u"text:05-Mar-2004"_s;
    QTest::newRow("format a date serial")
        << u"vb_format(38051, 'Medium Date')"_s << u"text:05-Mar-2004"_s;

    // CDbl: a stored date becomes its serial, as the date presets rely on.
    QTest::newRow("cdbl date") << u"vb_cdbl('2004-03-05')"_s << u"real:38051"_s;
    QTest::newRow("cdbl integer") << u"vb_cdbl(7)"_s << u"real:7"_s;
    QTest::newRow("cdbl grouped text") << u"vb_cdbl('1,234.5')"_s << u"real:1234.5"_s;
    QTest::newRow("cdbl letters") << u"vb_cdbl('abc')"_s << u"error:Type mismatch"_s;
    QTest::newRow("cdbl impossible date") << u"vb_cdbl('2004-02-30')"_s << u"error:Type mismatch"_s;
    QTest::newRow("cdbl null") << u"vb_cdbl(NULL)"_s << u"null"_s;

    // CInt: half to even, 16 bits.
    QTest::newRow("cint 2.5") << u"vb_cint(2.5)"_s << u"int:2"_s;
    QTest::newRow("cint above top") << u"vb_cint(32767.5)"_s << u"error:Overflow"_s;
    QTest::newRow("cint below bottom") << u"vb_cint(-32769)"_s << u"error:Overflow"_s;
    QTest::newRow("cint integer above top") << u"vb_cint(32768)"_s << u"error:Overflow"_s;
    QTest::newRow("cint text") << u"vb_cint('12')"_s << u"int:12"_s;
    QTest::newRow("cint letters") << u"vb_cint('x')"_s << u"error:Type mismatch"_s;
    QTest::newRow("cint a date") << u"vb_cint('2004-03-05')"_s << u"error:Overflow"_s;
    QTest::newRow("cint null") << u"vb_cint(NULL)"_s << u"null"_s;
    QTest::newRow("cint huge") << u"vb_cint(1e300)"_s << u"error:Overflow"_s;

    // CLng: the same over 32 bits.
    QTest::newRow("clng above top") << u"vb_clng(2147483647.5)"_s << u"error:Overflow"_s;
    QTest::newRow("clng integer above top") << u"vb_clng(3000000000)"_s << u"error:Overflow"_s;
    QTest::newRow("clng a date") << u"vb_clng('2004-03-05')"_s << u"int:38051"_s;

    // CStr, and the null-tolerant text form that & uses.
    QTest::newRow("cstr whole real") << u"vb_cstr(5.0)"_s << u"text:5"_s;
    QTest::newRow("cstr integer") << u"vb_cstr(42)"_s << u"text:42"_s;
    QTest::newRow("cstr text") << u"vb_cstr('abc')"_s << u"text:abc"_s;
    QTest::newRow("cstr null") << u"vb_cstr(NULL)"_s << u"null"_s;
    QTest::newRow("text null") << u"vb_text(NULL)"_s << u"text:"_s;
    QTest::newRow("text real") << u"vb_text(5.0)"_s << u"text:5"_s;

    // CDate and the date parts: stored dates, serials, the forms of the lists.
    QTest::newRow("cdate serial") << u"vb_cdate(38051)"_s << u"text:2004-03-05"_s;
    QTest::newRow("cdate month first") << u"vb_cdate('3/5/2004')"_s << u"text:2004-03-05"_s;
    QTest::newRow("cdate medium") << u"vb_cdate('05-Mar-2004')"_s << u"text:2004-03-05"_s;
    QTest::newRow("cdate nonsense") << u"vb_cdate('nonsense')"_s << u"error:Type mismatch"_s;
    QTest::newRow("cdate out of range") << u"vb_cdate(1e9)"_s << u"error:Overflow"_s;
    QTest::newRow("month of a serial") << u"vb_month(38051)"_s << u"int:3"_s;
    QTest::newRow("day of medium text") << u"vb_day('05-Mar-2004')"_s << u"int:5"_s;
    QTest::newRow("year of null") << u"vb_year(NULL)"_s << u"null"_s;

    QTest::newRow("ucase beyond ASCII") << u"vb_ucase('müller')"_s << u"text:MÜLLER"_s;
    QTest::newRow("lcase beyond ASCII") << u"vb_lcase('ÄB')"_s << u"text:äb"_s;
    QTest::newRow("ucase of a number") << u"vb_ucase(5)"_s << u"int:5"_s;
    QTest::newRow("instr without regard to case")
        << u"vb_instr(1, 'Glucose', 'COS')"_s << u"int:4"_s;
    QTest::newRow("instr start 0")
        << u"vb_instr(0, 'a', 'a')"_s << u"error:Invalid procedure call or argument"_s;
    QTest::newRow("instr empty sought") << u"vb_instr(2, 'ab', '')"_s << u"int:2"_s;
    QTest::newRow("instr start past the end") << u"vb_instr(3, 'ab', '')"_s << u"int:0"_s;
    QTest::newRow("pow") << u"vb_pow(2, 10)"_s << u"real:1024"_s;
    QTest::newRow("pow no real result")
        << u"vb_pow(-8, 0.5)"_s << u"error:Invalid procedure call or argument"_s;
    QTest::newRow("pow too large") << u"vb_pow(10, 400)"_s << u"error:Overflow"_s;
}

void TestSqlFunctions::values()
{
    QFETCH(QString, call);
    QFETCH(QString, result);
    QCOMPARE(evaluate(u"SELECT "_s + call), result);
}

// The pattern is compiled once per statement; a pattern that changes from
// row to row must still be honoured.
void TestSqlFunctions::patternPerRow()
{
    QCOMPARE(column(u"SELECT vb_format(column1, column2) FROM (VALUES (1.5, '0.00'), (1.5, '0.0'), "
                    "(1.5, '0.00'), ('2004-03-05', 'Medium Date'), (1.5, '0'))"_s),
             (QStringList{u"1.50"_s, u"1.5"_s, u"1.50"_s, u"05-Mar-2004"_s, u"2"_s}));
    QCOMPARE(column(u"SELECT vb_format(column1, '0.0') FROM (VALUES (1), (NULL), (2.25), ('x'))"_s),
             (QStringList{u"1.0"_s, u""_s, u"2.3"_s, u"x"_s}));
}

void TestSqlFunctions::patternOfRebindParameter()
{
    sqlite3_stmt* statement = nullptr;
    QCOMPARE(sqlite3_prepare_v2(m_db.get(), "SELECT vb_format(2.5, ?1)", -1, &statement, nullptr),
             SQLITE_OK);
    sqlite3_bind_text(statement, 1, "0.00", -1, SQLITE_STATIC);
    QCOMPARE(firstValue(statement), u"text:2.50"_s);
    sqlite3_reset(statement);
    sqlite3_bind_text(statement, 1, "0.000", -1, SQLITE_STATIC);
    QCOMPARE(firstValue(statement), u"text:2.500"_s);
    sqlite3_finalize(statement);
}

void TestSqlFunctions::followsTheProgramLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(evaluate(u"SELECT vb_format(1234.56, '##,##0.0')"_s), u"text:1.234,6"_s);
    QCOMPARE(evaluate(u"SELECT vb_cdbl('1,5')"_s), u"real:1.5"_s);
    QCOMPARE(evaluate(u"SELECT vb_cstr(2.5)"_s), u"text:2,5"_s);
}

void TestSqlFunctions::today()
{
    const QString before = QDate::currentDate().toString(Qt::ISODate);
    const QString value = evaluate(u"SELECT vb_today()"_s);
    const QString after = QDate::currentDate().toString(Qt::ISODate);
    QVERIFY2(value == u"text:"_s + before || value == u"text:"_s + after, qPrintable(value));
}

QTEST_GUILESS_MAIN(TestSqlFunctions)
#include "tst_sqlfunctions.moc"
