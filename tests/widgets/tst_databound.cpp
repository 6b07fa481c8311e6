// The data-bound controls over real recordsets.

#include "../engine/EngineFixture.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Error.h"
#include "widgets/BoundField.h"
#include "widgets/DataCombo.h"
#include "widgets/DataControl.h"
#include "widgets/DataGrid.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using namespace vantor::engine;
using namespace vantor::widgets;

namespace {

const QString Code = QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=vantor.mdb;");

QVariant fileValue(const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2("vantor.mdb", &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    QVariant v;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return v;
}

void bind(DataControl& control, const QString& source)
{
    control.setConnectionString(Code);
    control.setRecordSource(source);
}

void openResults(Connection& c, Recordset& rs)
{
    c.open(Code);
    rs.open(QStringLiteral("SELECT ID, Date, Period, Remarks From Results ORDER BY Date, Period"),
            &c, CursorType::Static, LockType::Optimistic);
}

} // namespace

class TestDataBound : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init();
    void cleanup();

    void modelPassesTheTester();
    void gridWritesEditedAndNewRows();
    void dataControlReportsErrors();
    void comboFollowsAndWritesItsField();
    void boundFieldFormatsAndReads();

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

void TestDataBound::init()
{
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QFile::remove(QStringLiteral("vantor.mdb"));
    enginetest::makeDatabase(QStringLiteral("vantor.mdb"));
}

void TestDataBound::cleanup()
{
    QDir::setCurrent(m_oldCwd);
}

void TestDataBound::modelPassesTheTester()
{
    Connection c;
    c.open(Code);
    Recordset rs;
    rs.open(QStringLiteral("select ID, Period from Periods Order by ID"), &c, CursorType::Static,
            LockType::Optimistic);
    RecordsetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setRecordset(&rs);
    model.setAllowAddNew(true);
    QCOMPARE(model.rowCount(), 4); // three periods and the new-record line
    QVERIFY(model.setData(model.index(3, 1), QStringLiteral("Night")));
    QCOMPARE(model.rowCount(), 5);
    rs.update();
    rs.moveFirst();
    rs.deleteCurrent();
    QCOMPARE(model.rowCount(), 4);
    rs.requery();
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.data(model.index(2, 1)).toString(), QStringLiteral("Night"));
    rs.close();
    QCOMPARE(model.rowCount(), 1);
}

void TestDataBound::gridWritesEditedAndNewRows()
{
    DataControl control;
    bind(control, QStringLiteral("select ID, Period from Periods Order by ID"));
    QVERIFY(control.refresh());
    DataGrid grid;
    grid.setDataSource(&control);
    grid.setAllowAddNew(true);
    grid.show();
    QAbstractItemModel* model = grid.model();
    QVERIFY(model->setData(model->index(0, 1), QStringLiteral("Dawn")));
    QCOMPARE(fileValue("SELECT Period FROM Periods WHERE ID = 1").toString(),
             QStringLiteral("Morning"));
    grid.setCurrentIndex(model->index(1, 1)); // the user moves to the next row
    QCOMPARE(fileValue("SELECT Period FROM Periods WHERE ID = 1").toString(),
             QStringLiteral("Dawn"));
    QCOMPARE(control.recordset()->absolutePosition(), 2);
    QVERIFY(!model->setData(model->index(0, 0), QStringLiteral("x"))); // wrong kind: refused

    // Typing on the new-record line adds a row.
    QVERIFY(model->setData(model->index(3, 1), QStringLiteral("Night")));
    control.recordset()->updateBatch();
    QVERIFY(fileValue("SELECT ID FROM Periods WHERE Period = 'Night'").toInt() > 3);
}

void TestDataBound::dataControlReportsErrors()
{
    DataControl control;
    bind(control, QStringLiteral("select Nope from Periods"));
    QSignalSpy errors(&control, &DataControl::error);
    QVERIFY(!control.refresh());
    QCOMPARE(errors.count(), 1);

    QFile::remove(QStringLiteral("vantor.mdb"));
    DataControl missing;
    bind(missing, QStringLiteral("select ID from Periods"));
    QSignalSpy missingErrors(&missing, &DataControl::error);
    QVERIFY(!missing.refresh());
    QVERIFY(missingErrors.first().at(1).toString().contains(QStringLiteral("vantor.mdb")));
}

void TestDataBound::comboFollowsAndWritesItsField()
{
    DataControl periods;
    bind(periods, QStringLiteral("select ID, Period from Periods order by ID"));
    QVERIFY(periods.refresh());
    Connection c;
    Recordset rs;
    openResults(c, rs);

    DataCombo combo;
    combo.setListField(QStringLiteral("Period"));
    combo.setBoundColumn(QStringLiteral("ID"));
    combo.setRowSource(&periods);
    combo.setDataSource(&rs, QStringLiteral("Period"));
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.currentText(), QStringLiteral("Morning")); // first occasion, period 1
    rs.moveLast();
    QCOMPARE(combo.currentText(), QStringLiteral("Evening"));
    QCOMPARE(combo.boundText(), QStringLiteral("2"));

    QSignalSpy chosen(&combo, &DataCombo::choiceMade);
    combo.setCurrentIndex(2);
    emit combo.activated(2); // as a user's pick does
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(rs.value(QStringLiteral("Period")).toInt(), 3);
    rs.update();
    QCOMPARE(fileValue("SELECT Period FROM Results WHERE ID = 3").toInt(), 3);

    // A bound text without a match in the list leaves nothing chosen.
    combo.setBoundText(QStringLiteral("3"));
    QCOMPARE(combo.currentText(), QStringLiteral("Afternoon"));
    combo.setBoundText(QStringLiteral("99"));
    QVERIFY(combo.boundValue().isNull());
    QVERIFY(combo.boundText().isEmpty());
}

void TestDataBound::boundFieldFormatsAndReads()
{
    Connection c;
    Recordset rs;
    openResults(c, rs);
    QLineEdit dateBox, longBox;
    BoundField date(&dateBox), longDate(&longBox);
    date.setDisplayFormat(QStringLiteral("m/d/yyyy"));
    date.bind(&rs, QStringLiteral("Date"));
    longDate.setDisplayFormat(QStringLiteral("MMMM dd, yyyy"));
    longDate.bind(&rs, QStringLiteral("Date"));
    QCOMPARE(dateBox.text(), QStringLiteral("2/1/2004"));
    QCOMPARE(longBox.text(), QStringLiteral("February 01, 2004"));
    QVERIFY(!date.isDirty());

    dateBox.setText(QStringLiteral("3/4/2004")); // month first: 4 March
    QVERIFY(date.isDirty());
    date.writeToRecord();
    rs.update();
    QCOMPARE(fileValue("SELECT Date FROM Results WHERE ID = 4").toString(),
             QStringLiteral("2004-03-04"));

    dateBox.setText(QStringLiteral("2/30/2004"));
    QVERIFY(!date.typedValue());
    QVERIFY_THROWS_EXCEPTION(Error, date.writeToRecord());
    rs.moveNext();
    QCOMPARE(longBox.text(), QStringLiteral("March 05, 2004"));
    QVERIFY(!date.isDirty());
}

QTEST_MAIN(TestDataBound)
#include "tst_databound.moc"
