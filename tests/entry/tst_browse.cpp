// The results browser driven as a user would: keys, buttons, the jump list.

#include "EntryTestSupport.h"

#include "widgets/DataCombo.h"
#include "widgets/DataGrid.h"

#include <QLineEdit>
#include <QPlainTextEdit>

using namespace vantor;
using namespace entrytest;

namespace {

QString dateShown(QWidget* window)
{
    return child<QLineEdit>(window, "txtFields(1)")->text();
}

// The visible cells of the grid, row by row: "Glucose|101;...".
QString gridText(widgets::DataGrid* grid)
{
    QStringList rows;
    const QAbstractItemModel* model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                cells << model->data(model->index(r, c)).toString();
        rows << cells.join(u'|');
    }
    return rows.join(u';');
}

} // namespace

class TestBrowse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsEachOccasionWithItsValues();
    void keys_data();
    void keys();
    void buttonsAndJumpList();
    void escapeCloses();
    void emptyDatabase();
    void missingDatabase();
    void gridAndStatusFollowTheWidth();

private:
    static QWidget* open() { return entrytest::open("frmBrowse"); }

    Fixture m_env;
    platform::RecordingUi& m_ui = m_env.ui;
};

void TestBrowse::initTestCase()
{
    m_env.start();
}

void TestBrowse::init()
{
    m_env.fresh();
}

void TestBrowse::cleanup()
{
    m_env.finish();
}

// Four occasions, entered out of order; in date and period order they are
// 3 (Mar 5, Morning), 2 (Mar 5, Afternoon, no values), 1 (Mar 6), 4 (Mar 7).
// A fifth has a period that is gone and is never shown.
static void seed()
{
    execute({"INSERT INTO Periods (Period) VALUES ('Morning')",
             "INSERT INTO Periods (Period) VALUES ('Afternoon')",
             "INSERT INTO Tests (Test, Units, Low, High) VALUES ('Glucose', 'mg/dL', 90, 99)",
             "INSERT INTO Tests (Test, Units, Low, High) VALUES ('Potassium', 'mmol/L', 3.5, 5)",
             "INSERT INTO Results (Date, Period, Remarks) VALUES (#3/6/2004#, 1, 'fasting')",
             "INSERT INTO Results (Date, Period) VALUES (#3/5/2004#, 2)",
             "INSERT INTO Results (Date, Period, Remarks) VALUES (#3/5/2004#, 1, 'first')",
             "INSERT INTO Results (Date, Period) VALUES (#3/7/2004#, 1)",
             "INSERT INTO Results (Date, Period) VALUES (#3/4/2004#, 9)",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 95, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 2, 4.2, 'mEq/L')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (3, 1, 101, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (4, 1, 88, 'mg/dL')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (4, 7, 1, 'gone')",
             "INSERT INTO Details (ID, Test, Result, Unit) VALUES (5, 1, 70, 'mg/dL')"});
}

void TestBrowse::showsEachOccasionWithItsValues()
{
    seed();
    QWidget* browse = open();
    QCOMPARE(status(browse), QStringLiteral("Record: 1 of 4"));
    QCOMPARE(dateShown(browse), QStringLiteral("March 05, 2004"));
    QCOMPARE(child<QLineEdit>(browse, "txtFields(2)")->text(), QStringLiteral("Morning"));
    QCOMPARE(child<QPlainTextEdit>(browse, "txtFields(3)")->toPlainText(), QStringLiteral("first"));
    QVERIFY(child<QPlainTextEdit>(browse, "txtFields(3)")->isReadOnly());

    auto* grid = child<widgets::DataGrid>(browse, "grdDataGrid");
    QVERIFY(grid->isColumnHidden(0));
    QCOMPARE(gridText(grid), QStringLiteral("Glucose|101|mg/dL|H"));
    screenshot(browse, QStringLiteral("frmBrowse-flags"));
    QVERIFY(grid->columnViewportPosition(4) + grid->columnWidth(4) <= grid->viewport()->width());
    const QModelIndex flag = grid->model()->index(0, 4);
    QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Flag"));
    QCOMPARE(flag.data(Qt::ToolTipRole).toString(), QStringLiteral("90 \u2013 99 mg/dL"));

    // The grid follows the occasion, the ID column stays hidden through each
    // refill, and a value whose test item is gone is not listed.
    // A value recorded in another unit than its item's is not compared.
    const QStringList expected{QString(), QStringLiteral("Glucose|95|mg/dL|;Potassium|4.2|mEq/L|"),
                               QStringLiteral("Glucose|88|mg/dL|L")};
    for (const QString& values : expected) {
        click(browse, "cmdNext");
        QCOMPARE(gridText(grid), values);
        QVERIFY(grid->isColumnHidden(0));
        QVERIFY(grid->columnViewportPosition(4) + grid->columnWidth(4) <=
                grid->viewport()->width());
        if (values.contains(QStringLiteral("mEq/L")))
            QCOMPARE(grid->model()->index(1, 4).data(Qt::ToolTipRole).toString(),
                     QStringLiteral("Not compared with the reference range: recorded in "
                                    "\"mEq/L\", the range is in \"mmol/L\"."));
    }
    QCOMPARE(status(browse), QStringLiteral("Record: 4 of 4"));
    QVERIFY(child<QPlainTextEdit>(browse, "txtFields(3)")->toPlainText().isEmpty());
    click(browse, "cmdPrevious");
    QVERIFY(m_ui.messages().isEmpty());
    screenshot(browse, QStringLiteral("frmBrowse"));
}

void TestBrowse::keys_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("beeps");

    const auto row = [](const char* tag, int from, Qt::Key key, Qt::KeyboardModifiers modifiers,
                        int to, int beeps = 0) {
        QTest::newRow(tag) << from << int(key) << modifiers << to << beeps;
    };
    const Qt::KeyboardModifiers none, ctrl = Qt::ControlModifier;
    row("Ctrl+Down: last", 1, Qt::Key_Down, ctrl, 4);
    row("Ctrl+Shift+Down: next", 1, Qt::Key_Down, ctrl | Qt::ShiftModifier, 2);
    row("Ctrl+Alt+Down: next", 1, Qt::Key_Down, ctrl | Qt::AltModifier, 2);
    row("Ctrl+keypad Down: last", 1, Qt::Key_Down, ctrl | Qt::KeypadModifier, 4);
    row("Down: next", 2, Qt::Key_Down, none, 3);
    row("Page Down: next", 2, Qt::Key_PageDown, none, 3);
    row("Ctrl+Page Down: last", 2, Qt::Key_PageDown, ctrl, 4);
    row("Down on the last: beep", 4, Qt::Key_Down, none, 4, 1);
    row("Up: previous", 3, Qt::Key_Up, none, 2);
    row("Ctrl+Up: first", 3, Qt::Key_Up, ctrl, 1);
    row("Ctrl+Shift+Up: previous", 3, Qt::Key_Up, ctrl | Qt::ShiftModifier, 2);
    row("Ctrl+Page Up: first", 4, Qt::Key_PageUp, ctrl, 1);
    row("Page Up on the first: beep", 1, Qt::Key_PageUp, none, 1, 1);
    row("End: last", 2, Qt::Key_End, none, 4);
    row("Shift+End: last", 2, Qt::Key_End, Qt::ShiftModifier, 4);
    row("Home: first", 3, Qt::Key_Home, none, 1);
    row("a letter: nothing", 2, Qt::Key_A, none, 2);
    row("Left: nothing", 2, Qt::Key_Left, none, 2);
}

// Keys reach the window before the control that has the focus: the jump list
// does not change its entry on Down, the window moves instead.
void TestBrowse::keys()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, to);
    QFETCH(int, beeps);

    seed();
    QWidget* browse = open();
    auto* jump = child<widgets::DataCombo>(browse, "DateCombo");
    const QString expected = QStringLiteral("Record: %1 of 4").arg(to);
    // Sent to the jump list (as if it had the focus) and to the window itself.
    for (QWidget* target : {static_cast<QWidget*>(jump), browse}) {
        click(browse, "cmdFirst");
        for (int k = 1; k < from; ++k)
            click(browse, "cmdNext");
        QCOMPARE(status(browse), QStringLiteral("Record: %1 of 4").arg(from));
        const int entry = jump->currentIndex();
        m_ui.clear();
        QTest::keyClick(target, Qt::Key(key), modifiers);
        QCOMPARE(status(browse), expected);
        QCOMPARE(m_ui.beeps(), beeps);
        if (to != from || beeps > 0)
            QCOMPARE(jump->currentIndex(), entry);
    }
    QVERIFY(m_ui.messages().isEmpty());
}

void TestBrowse::buttonsAndJumpList()
{
    seed();
    QWidget* browse = open();
    auto* jump = child<widgets::DataCombo>(browse, "DateCombo");
    QCOMPARE(jump->count(), 4);
    QCOMPARE(jump->itemText(1), QStringLiteral("Mar-05-2004  Afternoon"));

    const int i = jump->findText(QStringLiteral("Mar-06-2004  Morning"));
    QVERIFY(i >= 0);
    jump->setCurrentIndex(i);
    emit jump->activated(i);
    QCOMPARE(status(browse), QStringLiteral("Record: 3 of 4"));
    QCOMPARE(dateShown(browse), QStringLiteral("March 06, 2004"));

    click(browse, "cmdLast");
    QCOMPARE(status(browse), QStringLiteral("Record: 4 of 4"));
    click(browse, "cmdPrevious");
    QCOMPARE(status(browse), QStringLiteral("Record: 3 of 4"));
    QVERIFY(m_ui.messages().isEmpty());
}

void TestBrowse::escapeCloses()
{
    seed();
    QWidget* browse = open();
    QTest::keyClick(child<QPlainTextEdit>(browse, "txtFields(3)"), Qt::Key_Escape);
    QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmBrowse")));
    QVERIFY(!m_ui.isBusy());

    // Reopened, it reads the file afresh: a change made meanwhile shows.
    execute({"DELETE FROM Results WHERE ID = 3"});
    browse = open();
    QCOMPARE(status(browse), QStringLiteral("Record: 1 of 3"));
    QCOMPARE(child<QLineEdit>(browse, "txtFields(2)")->text(), QStringLiteral("Afternoon"));
    QTest::keyClick(browse, Qt::Key_Escape);
    QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmBrowse")));
}

void TestBrowse::emptyDatabase()
{
    QWidget* browse = open();
    QCOMPARE(status(browse), QStringLiteral("No Records"));
    QVERIFY(dateShown(browse).isEmpty());
    QCOMPARE(child<widgets::DataGrid>(browse, "grdDataGrid")->model()->rowCount(), 0);
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Home})
        QTest::keyClick(browse, Qt::Key(key));
    click(browse, "cmdNext");
    QCOMPARE(status(browse), QStringLiteral("No Records"));
    QCOMPARE(m_ui.beeps(), 0);
    QVERIFY(m_ui.messages().isEmpty());
}

// The failure is told once, and the window shows nothing to move through.
void TestBrowse::missingDatabase()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    QWidget* browse = open();
    QCOMPARE(m_ui.messages().size(), 1);
    QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("vantor.mdb")));
    QCOMPARE(m_ui.messages().first().icon, platform::Icon::Critical);
    QCOMPARE(status(browse), QStringLiteral("No Records"));
    QTest::keyClick(browse, Qt::Key_End);
    QCOMPARE(m_ui.messages().size(), 1);
    QVERIFY(!m_ui.isBusy());
}

// The grid takes the window's width and the height left under the fields;
// the status label takes the width the buttons leave.
void TestBrowse::gridAndStatusFollowTheWidth()
{
    seed();
    QWidget* browse = open();
    auto* grid = child<QWidget>(browse, "grdDataGrid");
    auto* label = child<QLabel>(browse, "lblStatus");
    auto* next = child<QWidget>(browse, "cmdNext");
    auto* last = child<QWidget>(browse, "cmdLast");
    for (const QSize size : {QSize(400, 360), QSize(700, 600), QSize(10, 10), QSize(500, 420)}) {
        browse->resize(size);
        QApplication::processEvents();
        if (size.width() < 100)
            continue; // too small: whatever fits, but no failure
        QCOMPARE(grid->width(), browse->width());
        QVERIFY(browse->height() - grid->geometry().bottom() <= 4);
        QVERIFY(label->width() > browse->width() - 150);
        QVERIFY(next->geometry().left() >= label->geometry().right());
        QVERIFY(last->geometry().left() > next->geometry().left());
    }
    QVERIFY(m_ui.messages().isEmpty());
}

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
