#include "platform/DateSerial.h"
#include "platform/Error.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace vantor;
using namespace vantor::platform;

class TestDateSerial : public QObject
{
    Q_OBJECT

private slots:
    void serials_data();
    void serials();
    void outsideTheYearsOverflows_data();
    void outsideTheYearsOverflows();
    void invalidDateIsTypeMismatch();
};

void TestDateSerial::serials_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("whole"); // a whole serial also comes back from the date
    QTest::newRow("day 0") << QDate(1899, 12, 30) << 0.0 << true;
    QTest::newRow("1 January 1900") << QDate(1900, 1, 1) << 2.0 << true;
    QTest::newRow("5 March 2004") << QDate(2004, 3, 5) << 38051.0 << true;
    QTest::newRow("leap day 2000") << QDate(2000, 2, 29) << 36585.0 << true;
    QTest::newRow("day before day 0") << QDate(1899, 12, 29) << -1.0 << true;
    QTest::newRow("first day") << QDate(100, 1, 1) << -657434.0 << true;
    QTest::newRow("last day") << QDate(9999, 12, 31) << 2958465.0 << true;
    // The time of day never moves a serial to another day.
    QTest::newRow("evening") << QDate(2004, 3, 5) << 38051.75 << false;
    QTest::newRow("just before midnight") << QDate(2004, 3, 5) << 38051.999 << false;
    // Before day 0 the time is still added to the day: -1.25 is 29 December, 6 am.
    QTest::newRow("before day 0") << QDate(1899, 12, 29) << -1.25 << false;
    QTest::newRow("noon of day 0") << QDate(1899, 12, 30) << -0.5 << false;
    QTest::newRow("last day, late") << QDate(9999, 12, 31) << 2958465.9 << false;
}

void TestDateSerial::serials()
{
    QFETCH(QDate, date);
    QFETCH(double, serial);
    QFETCH(bool, whole);
    QCOMPARE(fromSerial(serial), date);
    QCOMPARE(dateFromSerial(serial), std::optional<QDate>(date));
    if (whole)
        QCOMPARE(toSerial(date), serial);
}

void TestDateSerial::outsideTheYearsOverflows_data()
{
    QTest::addColumn<double>("serial");
    QTest::newRow("before year 100") << -657435.0;
    QTest::newRow("after year 9999") << 2958466.0;
    QTest::newRow("huge") << 1e300;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << -std::numeric_limits<double>::infinity();
}

void TestDateSerial::outsideTheYearsOverflows()
{
    QFETCH(double, serial);
    QVERIFY(!dateFromSerial(serial));
    try {
        fromSerial(serial);
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.number(), int(Error::Overflow));
        QCOMPARE(e.description(), QStringLiteral("Overflow"));
    }
}

void TestDateSerial::invalidDateIsTypeMismatch()
{
    try {
        toSerial(QDate());
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.number(), int(Error::TypeMismatch));
    }
}

QTEST_GUILESS_MAIN(TestDateSerial)
#include "tst_dateserial.moc"
