// The results browser driven as a user would: keys, buttons, the jump list.

#include "engine/Connection.h"
#include "entry/EntryWindows.h"
#include "platform/RecordingUi.h"
#include "store/Database.h"
#include "widgets/DataCombo.h"
#include "widgets/DataGrid.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vantor;
using platform::RecordingUi;

namespace {

template <typename T = QWidget> T* child(QWidget* window, const char* name)
{
    T* w = window->findChild<T*>(QLatin1String(name));
    if (!w)
        qWarning("no child %s", name);
    return w;
}

QString status(QWidget* window)
{
    return child<QLabel>(window, "lblStatus")->text();
}

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

void saveScreenshot(QWidget* window, const QString& name)
{
    const QString dir = qEnvironmentVariable("VANTOR_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
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
    QWidget* open() { return widgets::windows().show(QStringLiteral("frmBrowse")); }
    void seed();

    QTemporaryDir m_dir;
    QString m_oldCwd;
    RecordingUi m_ui;
};

void TestBrowse::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    platform::setUi(&m_ui);
    entry::registerEntryWindows();
}

void TestBrowse::init()
{
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QFile::remove(QStringLiteral("vantor.mdb"));
    store::createDatabase(QStringLiteral("vantor.mdb"));
    m_ui.clear();
}

void TestBrowse::cleanup()
{
    widgets::windows().closeAll();
    QTRY_VERIFY(widgets::windows().loadOrder().isEmpty());
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    QDir::setCurrent(m_oldCwd);
}

// Four occasions, entered out of order; in date and period order they are
// 3 (Mar 5, Morning), 2 (Mar 5, Afternoon, no values), 1 (Mar 6), 4 (Mar 7).
// A fifth has a period that is gone and is never shown.
void TestBrowse::seed()
{
    engine::Connection c;
    c.open(QStringLiteral("Data Source=vantor.mdb"));
    c.beginTrans(); // one write to the disk, not one per row
    for (const char* sql :
         {"INSERT INTO Periods (Period) VALUES ('Morning')",
          "INSERT INTO Periods (Period) VALUES ('Afternoon')",
          "INSERT INTO Tests (Test, Units) VALUES ('Glucose', 'mg/dL')",
          "INSERT INTO Tests (Test, Units) VALUES ('Potassium', 'mmol/L')",
          "INSERT INTO Results (Date, Period, Remarks) VALUES (#3/6/2004#, 1, 'fasting')",
          "INSERT INTO Results (Date, Period) VALUES (#3/5/2004#, 2)",
          "INSERT INTO Results (Date, Period, Remarks) VALUES (#3/5/2004#, 1, 'first')",
          "INSERT INTO Results (Date, Period) VALUES (#3/7/2004#, 1)",
          "INSERT INTO Results (Date, Period) VALUES (#3/4/2004#, 9)",
          "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 1, 95, 'mg/dL')",
          "INSERT INTO Details (ID, Test, Result, Unit) VALUES (1, 2, 4.2, 'mmol/L')",
          "INSERT INTO Details (ID, Test, Result, Unit) VALUES (3, 1, 101, 'mg/dL')",
          "INSERT INTO Details (ID, Test, Result, Unit) VALUES (4, 1, 88, 'mg/dL')",
          "INSERT INTO Details (ID, Test, Result, Unit) VALUES (4, 7, 1, 'gone')",
          "INSERT INTO Details (ID, Test, Result, Unit) VALUES (5, 1, 70, 'mg/dL')"})
        c.execute(QLatin1String(sql));
    c.commitTrans();
}

void TestBrowse::showsEachOccasionWithItsValues()
{
    seed();
    QWidget* browse = open();
    QVERIFY(browse);
    QCOMPARE(browse->windowTitle(), QStringLiteral("Browse Results"));
    QCOMPARE(status(browse), QStringLiteral("Record: 1 of 4"));
    QCOMPARE(dateShown(browse), QStringLiteral("March 05, 2004"));
    QCOMPARE(child<QLineEdit>(browse, "txtFields(2)")->text(), QStringLiteral("Morning"));
    QCOMPARE(child<QPlainTextEdit>(browse, "txtFields(3)")->toPlainText(), QStringLiteral("first"));
    QVERIFY(child<QLineEdit>(browse, "txtFields(0)")->isHidden());
    for (const char* name : {"txtFields(0)", "txtFields(1)", "txtFields(2)"})
        QVERIFY2(child<QLineEdit>(browse, name)->isReadOnly(), name);
    QVERIFY(child<QPlainTextEdit>(browse, "txtFields(3)")->isReadOnly());

    auto* grid = child<widgets::DataGrid>(browse, "grdDataGrid");
    QVERIFY(grid->isColumnHidden(0));
    QCOMPARE(gridText(grid), QStringLiteral("Glucose|101|mg/dL"));
    QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Test"));

    // The grid follows the occasion, the ID column stays hidden through each
    // refill, and a value whose test item is gone is not listed.
    const QStringList expected{QString(), QStringLiteral("Glucose|95|mg/dL;Potassium|4.2|mmol/L"),
                               QStringLiteral("Glucose|88|mg/dL")};
    for (const QString& values : expected) {
        child<QPushButton>(browse, "cmdNext")->click();
        QCOMPARE(gridText(grid), values);
        QVERIFY(grid->isColumnHidden(0));
    }
    QCOMPARE(status(browse), QStringLiteral("Record: 4 of 4"));
    QVERIFY(child<QPlainTextEdit>(browse, "txtFields(3)")->toPlainText().isEmpty());
    child<QPushButton>(browse, "cmdPrevious")->click();
    QVERIFY(m_ui.messages().isEmpty());
    saveScreenshot(browse, QStringLiteral("frmBrowse"));
}

void TestBrowse::keys_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("beeps");

    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    const Qt::KeyboardModifiers ctrlKeypad = Qt::ControlModifier | Qt::KeypadModifier;
    QTest::newRow("Ctrl+Down: last") << 1 << int(Qt::Key_Down) << ctrl << 4 << 0;
    QTest::newRow("Ctrl+Shift+Down: next") << 1 << int(Qt::Key_Down) << ctrlShift << 2 << 0;
    QTest::newRow("Ctrl+Alt+Down: next") << 1 << int(Qt::Key_Down) << ctrlAlt << 2 << 0;
    QTest::newRow("Ctrl+keypad Down: last") << 1 << int(Qt::Key_Down) << ctrlKeypad << 4 << 0;
    QTest::newRow("Down: next") << 2 << int(Qt::Key_Down) << none << 3 << 0;
    QTest::newRow("Page Down: next") << 2 << int(Qt::Key_PageDown) << none << 3 << 0;
    QTest::newRow("Ctrl+Page Down: last") << 2 << int(Qt::Key_PageDown) << ctrl << 4 << 0;
    QTest::newRow("Down on the last: beep") << 4 << int(Qt::Key_Down) << none << 4 << 1;
    QTest::newRow("Up: previous") << 3 << int(Qt::Key_Up) << none << 2 << 0;
    QTest::newRow("Ctrl+Up: first") << 3 << int(Qt::Key_Up) << ctrl << 1 << 0;
    QTest::newRow("Ctrl+Shift+Up: previous") << 3 << int(Qt::Key_Up) << ctrlShift << 2 << 0;
    QTest::newRow("Ctrl+Page Up: first") << 4 << int(Qt::Key_PageUp) << ctrl << 1 << 0;
    QTest::newRow("Page Up on the first: beep") << 1 << int(Qt::Key_PageUp) << none << 1 << 1;
    QTest::newRow("End: last") << 2 << int(Qt::Key_End) << none << 4 << 0;
    QTest::newRow("Shift+End: last")
        << 2 << int(Qt::Key_End) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 4 << 0;
    QTest::newRow("Home: first") << 3 << int(Qt::Key_Home) << none << 1 << 0;
    QTest::newRow("a letter: nothing") << 2 << int(Qt::Key_A) << none << 2 << 0;
    QTest::newRow("Left: nothing") << 2 << int(Qt::Key_Left) << none << 2 << 0;
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
        child<QPushButton>(browse, "cmdFirst")->click();
        for (int k = 1; k < from; ++k)
            child<QPushButton>(browse, "cmdNext")->click();
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

    child<QPushButton>(browse, "cmdLast")->click();
    QCOMPARE(status(browse), QStringLiteral("Record: 4 of 4"));
    child<QPushButton>(browse, "cmdNext")->click();
    QCOMPARE(m_ui.beeps(), 1);
    QCOMPARE(status(browse), QStringLiteral("Record: 4 of 4"));
    child<QPushButton>(browse, "cmdFirst")->click();
    child<QPushButton>(browse, "cmdPrevious")->click();
    QCOMPARE(m_ui.beeps(), 2);
    QCOMPARE(status(browse), QStringLiteral("Record: 1 of 4"));
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
    engine::Connection c;
    c.open(QStringLiteral("Data Source=vantor.mdb"));
    c.execute(QStringLiteral("DELETE FROM Results WHERE ID = 3"));
    browse = open();
    QCOMPARE(status(browse), QStringLiteral("Record: 1 of 3"));
    QCOMPARE(child<QLineEdit>(browse, "txtFields(2)")->text(), QStringLiteral("Afternoon"));
    QTest::keyClick(browse, Qt::Key_Escape);
    QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmBrowse")));
}

void TestBrowse::emptyDatabase()
{
    QWidget* browse = open();
    QVERIFY(browse);
    QCOMPARE(status(browse), QStringLiteral("No Records"));
    QVERIFY(dateShown(browse).isEmpty());
    QCOMPARE(child<widgets::DataGrid>(browse, "grdDataGrid")->model()->rowCount(), 0);
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Home})
        QTest::keyClick(browse, Qt::Key(key));
    child<QPushButton>(browse, "cmdNext")->click();
    QCOMPARE(status(browse), QStringLiteral("No Records"));
    QCOMPARE(m_ui.beeps(), 0);
    QVERIFY(m_ui.messages().isEmpty());
}

// The failure is told once, and the window shows nothing to move through.
void TestBrowse::missingDatabase()
{
    QFile::remove(QStringLiteral("vantor.mdb"));
    QWidget* browse = open();
    QVERIFY(browse);
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
    QCOMPARE(browse->width(), 400); // 6000 twips at 96 dpi
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
