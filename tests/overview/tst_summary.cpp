// The results summary and the remarks summary on the known database, and
// how the overview windows are reached.

#include "OverviewFixture.h"

#include "overview/OverviewWindows.h"
#include "overview/frmOverview.h"
#include "overview/frmRemarks.h"

#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

using namespace vantor;
using namespace vantor::overview;
using namespace Qt::StringLiterals;
using widgets::FlexGrid;

namespace {

// The grid's shown rows from row 1 on, columns from..to, cells joined by "|".
QStringList gridRows(const FlexGrid* grid, int from, int to)
{
    QStringList rows;
    for (int r = grid->fixedRows(); r < grid->rows(); ++r) {
        QStringList cells;
        for (int c = from; c <= to; ++c)
            cells << grid->textMatrix(r, c);
        rows << cells.join(u'|');
    }
    return rows;
}

const QString LongRemark = QStringLiteral("after\tdinner\r\nfelt fine");
const QColor Shade(0xC0, 0xC0, 0xC0);

} // namespace

class TestSummary : public QObject
{
    Q_OBJECT

    overviewtest::Session m_s;
    platform::RecordingUi& m_ui = m_s.ui;

private slots:
    void initTestCase() { m_s.start(); }
    void init() { m_s.reset(); }
    void cleanup() { QVERIFY(m_s.finish()); }

    void summaryRows()
    {
        std::unique_ptr<frmOverview> window(frmOverview::create());
        QVERIFY(window);
        const FlexGrid* grid = window->grid();
        // Date, period id, test name; the deleted item's value first, nameless.
        // Without the occasion that has no values (8 Mar) and the one whose
        // period is gone (9 Mar).
        const QStringList rows{
            u"05-Mar-2004|Morning|fasting||7.0|x"_s,
            u"05-Mar-2004|Morning|fasting|Albumin|4.2|g/dL"_s,
            u"05-Mar-2004|Morning|fasting|Cholesterol|1,234.6|mg/dL"_s,
            u"05-Mar-2004|Morning|fasting|Glucose|95.5|mg/dL"_s,
            u"05-Mar-2004|Afternoon||Albumin|4.2|g/dL"_s,
            u"05-Mar-2004|Afternoon||Glucose|88.0|mg/dL"_s,
            u"06-Mar-2004|Morning|"_s + LongRemark + u"|Cholesterol|180.0|mg/dL"_s,
            u"06-Mar-2004|Morning|"_s + LongRemark + u"|Glucose|88.0|mg/dL"_s,
            u"01-Apr-2004|Morning|Café check|Cholesterol|200.0|mg/dL"_s,
        };
        QCOMPARE(gridRows(grid, 1, 6), rows);
        // A bold header, every other column shaded.
        QVERIFY(grid->cellFontBold(0, 3) && !grid->cellFontBold(1, 3));
        QCOMPARE(grid->cellBackColor(1, 2), std::optional(Shade));
        QVERIFY(!grid->cellBackColor(1, 3) && !grid->cellBackColor(0, 2));
        QVERIFY(m_ui.messages().isEmpty());
    }

    // Out-of-range values in bold red with their flag, judged on the stored
    // value (95.54 shows as 95.5 but is above 95.5); a value equal to a limit
    // is not flagged, one in another unit not compared.
    void summaryFlagsValuesOutOfRange()
    {
        overviewtest::execute(
            "UPDATE Tests SET Low = 90, High = 95.5 WHERE Test = 'Glucose';"
            "UPDATE Tests SET High = 200 WHERE Test = 'Cholesterol';"
            "UPDATE Tests SET Low = 3.5, High = 5.5 WHERE Test = 'Albumin';"
            "INSERT INTO Details (ID, Test, Result, Unit) VALUES (3, 3, 42, 'g/L'),"
            " (6, 1, 95.54, 'mg/dL');");
        std::unique_ptr<frmOverview> window(frmOverview::create());
        QVERIFY(window);
        const FlexGrid* grid = window->grid();
        const QStringList rows{
            u"05-Mar-2004|Morning|fasting||7.0|x"_s,
            u"05-Mar-2004|Morning|fasting|Albumin|4.2|g/dL"_s,
            u"05-Mar-2004|Morning|fasting|Cholesterol|1,234.6  H|mg/dL"_s,
            u"05-Mar-2004|Morning|fasting|Glucose|95.5|mg/dL"_s,
            u"05-Mar-2004|Afternoon||Albumin|4.2|g/dL"_s,
            u"05-Mar-2004|Afternoon||Glucose|88.0  L|mg/dL"_s,
            u"06-Mar-2004|Morning|"_s + LongRemark + u"|Albumin|42.0|g/L"_s,
            u"06-Mar-2004|Morning|"_s + LongRemark + u"|Cholesterol|180.0|mg/dL"_s,
            u"06-Mar-2004|Morning|"_s + LongRemark + u"|Glucose|88.0  L|mg/dL"_s,
            u"01-Apr-2004|Morning|Café check|Cholesterol|200.0|mg/dL"_s,
            u"01-Apr-2004|Morning|Café check|Glucose|95.5  H|mg/dL"_s,
        };
        QCOMPARE(gridRows(grid, 1, 6), rows);
        const QAbstractItemModel* model = grid->model();
        for (int r = 0; r < rows.size(); ++r) {
            const QModelIndex value = model->index(r, 5);
            const bool flagged = rows.at(r).contains(u"  H|"_s) || rows.at(r).contains(u"  L|"_s);
            QCOMPARE(value.data(Qt::FontRole).value<QFont>().bold(), flagged);
            QCOMPARE(value.data(Qt::ForegroundRole).isValid(), flagged);
            if (flagged)
                QCOMPARE(value.data(Qt::ForegroundRole).value<QBrush>().color(),
                         QColor(0xC0, 0x00, 0x00));
        }
        QCOMPARE(model->index(2, 5).data(Qt::ToolTipRole).toString(), u"\u2264 200 mg/dL"_s);
        QCOMPARE(model->index(6, 5).data(Qt::ToolTipRole).toString(),
                 u"Not compared with the reference range: recorded in \"g/L\", the range is in "
                 u"\"g/dL\"."_s);
        window->resize(768, 480);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        overviewtest::screenshot(window.get(), u"frmOverview-flags"_s);
    }

    void summaryMerges_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        // clang-format off
        QTest::newRow("one date, two occasions") << 3 << 1 << 1 << 6;
        QTest::newRow("period across dates") << 8 << 2 << 7 << 9;
        QTest::newRow("period changes within a date") << 5 << 2 << 5 << 6;
        QTest::newRow("empty remarks merge too") << 6 << 3 << 5 << 6;
        QTest::newRow("unit across occasions") << 7 << 6 << 6 << 9;
        QTest::newRow("different neighbours") << 3 << 5 << 3 << 3;
        QTest::newRow("header row") << 0 << 1 << 0 << 0;
        // clang-format on
    }
    void summaryMerges()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, first);
        QFETCH(int, last);
        std::unique_ptr<frmOverview> window(frmOverview::create());
        QCOMPARE(window->grid()->mergedRows(row, column), std::make_pair(first, last));
    }

    // The widest result the format gives below a hundred thousand, a name of
    // 20 characters and the bold headers show whole, at any font.
    void widestValueAndHeaderFit()
    {
        overviewtest::execute(
            "INSERT INTO Tests (ID, Test, Units) VALUES (20, 'Alkaline Phosphatase', 'U/L');"
            "INSERT INTO Details (ID, Test, Result, Unit) VALUES (6, 20, 99999.94, 'U/L');");
        std::unique_ptr<frmOverview> window(frmOverview::create());
        QVERIFY(window);
        window->resize(768, 508);
        const FlexGrid* grid = window->grid();
        const QFontMetrics plain(grid->font());
        QFont boldFont = grid->font();
        boldFont.setBold(true);
        const QFontMetrics bold(boldFont);
        const int headerMargin = 2 * grid->style()->pixelMetric(QStyle::PM_HeaderMargin);
        bool found = false;
        for (int r = grid->fixedRows(); r < grid->rows(); ++r) {
            if (grid->textMatrix(r, 5) != u"99,999.9"_s)
                continue;
            found = true;
            QCOMPARE(grid->textMatrix(r, 4), u"Alkaline Phosphatase"_s);
            for (int c : {4, 5}) {
                // Cell text keeps a few pixels from the lines either side.
                const int room = grid->columnWidth(c) - 7;
                QVERIFY2(plain.horizontalAdvance(grid->textMatrix(r, c)) <= room,
                         qPrintable(grid->textMatrix(r, c)));
                QVERIFY2(bold.horizontalAdvance(grid->textMatrix(0, c)) + headerMargin <=
                             grid->columnWidth(c),
                         qPrintable(grid->textMatrix(0, c)));
            }
        }
        QVERIFY(found);
        overviewtest::screenshot(window.get(), u"frmOverview-768"_s);
        window->resize(1280, 860);
        overviewtest::screenshot(window.get(), u"frmOverview-1280"_s);
    }

    // A merged date whose first row scrolled out of view still shows its date
    // in the rows left on screen.
    void mergedCellsShowTheirTextAfterScrolling()
    {
        overviewtest::execute(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 59) "
            "INSERT INTO Tests (ID, Test, Units) SELECT 100 + i, 'Item ' || (100 + i), 'u' FROM n;"
            "INSERT INTO Results (ID, Date, Period, Remarks) VALUES (50, '2005-06-07', 3, '');"
            "INSERT INTO Details (ID, Test, Result, Unit) SELECT 50, ID, ID, 'u' FROM Tests "
            "WHERE ID >= 100;");
        std::unique_ptr<frmOverview> window(frmOverview::create());
        QVERIFY(window);
        window->resize(768, 508);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        FlexGrid* grid = window->grid();
        const int first = grid->mergedRows(grid->rows() - 1, 1).first;
        QCOMPARE(grid->textMatrix(first, 1), u"07-Jun-2005"_s);
        // Down into the block a row at a time with the keyboard, as a user
        // scrolls: each step moves what was drawn and draws one new row.
        const int bottom = grid->rowAt(grid->viewport()->height() - 2);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(bottom, 3)).center());
        const int below = first - grid->fixedRows() + 3 - grid->rowAt(0);
        for (int i = 0; i < below; ++i) {
            QTest::keyClick(grid, Qt::Key_Down);
            QTest::qWait(20);
        }
        const int top = grid->rowAt(0);
        QVERIFY2(top > first - grid->fixedRows(), qPrintable(QString::number(top)));
        QVERIFY(grid->mergedRows(top + grid->fixedRows(), 1).first < top + grid->fixedRows());

        // What the screen holds, not a fresh drawing.
        const QImage shown = window->screen()->grabWindow(window->winId()).toImage();
        const QPoint origin = grid->viewport()->mapTo(window.get(), QPoint(0, 0));
        for (int column : {1, 2}) {
            const QRect cell = grid->visualRect(grid->model()->index(top, column))
                                   .translated(origin)
                                   .intersected(shown.rect());
            int ink = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    ink += qGray(shown.pixel(x, y)) < 100;
            QVERIFY2(ink > 20, qPrintable(QStringLiteral("column %1: %2").arg(column).arg(ink)));
        }
        overviewtest::screenshot(window.get(), u"frmOverview-scrolled"_s);
    }

    void remarksRows()
    {
        std::unique_ptr<frmRemarks> window(frmRemarks::create());
        QVERIFY(window);
        const FlexGrid* grid = window->grid();
        // One grid row per value of an occasion with remarks; empty remarks and
        // the remarks of an occasion without values are left out.
        const QStringList rows{
            u"05-Mar-2004|Morning|fasting"_s,       u"05-Mar-2004|Morning|fasting"_s,
            u"05-Mar-2004|Morning|fasting"_s,       u"05-Mar-2004|Morning|fasting"_s,
            u"06-Mar-2004|Morning|"_s + LongRemark, u"06-Mar-2004|Morning|"_s + LongRemark,
            u"01-Apr-2004|Morning|Café check"_s,
        };
        QCOMPARE(gridRows(grid, 1, 3), rows);
        // Each occasion's remarks show once.
        QCOMPARE(grid->mergedRows(2, 3), std::make_pair(1, 4));
        QCOMPARE(grid->mergedRows(5, 3), std::make_pair(5, 6));
        for (int c : {0, 4, 5, 6})
            QVERIFY(grid->isColumnHidden(c));
    }

    void largeDatabaseOpensOnItsFirstRows()
    {
        QFile::remove(QStringLiteral("vantor.mdb"));
        store::createLargeDatabase(QStringLiteral("vantor.mdb"), 20000);
        std::unique_ptr<frmOverview> window(frmOverview::create());
        QVERIFY(window);
        FlexGrid* grid = window->grid();
        // Opens on what a screen needs; the rest follows while the user looks.
        QVERIFY(grid->rows() > 100);
        QVERIFY(grid->rows() < 20000);
        // The window says that it is still reading, and how far it got.
        const auto* reading = overviewtest::child<QLabel>(window.get(), "lblReading");
        QVERIFY(!reading->isHidden());
        QCOMPARE(reading->text(),
                 QStringLiteral("Reading rows… %L1").arg(grid->rows() - grid->fixedRows()));
        window->show();
        overviewtest::screenshot(window.get(), u"frmOverview-reading"_s);
        // Ctrl+End goes to the true last row, read or not.
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid->currentIndex().row(), 19999);
        QTRY_VERIFY(grid->rowAt(0) <= 19999 && grid->rowAt(0) > 19950);
        QTRY_VERIFY_WITH_TIMEOUT(window->rows()->isComplete(), 20000);
        QVERIFY(reading->isHidden());
        QCOMPARE(grid->rows(), 20001);
        // Rows that came later are shaded like the first ones.
        QCOMPARE(grid->cellBackColor(20000, 2), std::optional(Shade));
        QVERIFY(!grid->cellBackColor(20000, 1));
        QVERIFY(m_ui.messages().isEmpty());
    }

    void emptyOrMissingDatabase()
    {
        overviewtest::makeEmptyDatabase();
        for (SummaryWindow* window :
             std::initializer_list<SummaryWindow*>{frmOverview::create(), frmRemarks::create()}) {
            QVERIFY(window);
            QCOMPARE(window->grid()->rows(), 1); // the header only
            delete window;
        }
        QVERIFY(m_ui.messages().isEmpty());
        QFile::remove(QStringLiteral("vantor.mdb"));
        QVERIFY(!frmOverview::create());
        QCOMPARE(m_ui.messages().size(), 1);
        QCOMPARE(m_ui.messages().first().icon, platform::Icon::Critical);
        QVERIFY(m_ui.messages().first().text.contains(QStringLiteral("vantor.mdb")));
    }

    void windowsAreRegisteredAndClose()
    {
        registerOverviewWindows();
        QMdiArea area;
        widgets::windows().setMdiArea(&area);
        area.show();
        for (const QString& name :
             {u"frmStats"_s, u"dlgExport"_s, u"frmOverview"_s, u"frmRemarks"_s}) {
            QWidget* window = widgets::windows().show(name);
            QVERIFY(window);
            QCOMPARE(window->objectName(), name);
            QCOMPARE(window->isWindow(), !name.startsWith(u"frmO") && !name.startsWith(u"frmR"));
            QCOMPARE(widgets::windows().show(name), window); // asked again: the same window
        }
        QPointer<QWidget> overview = widgets::windows().find(u"frmOverview"_s);
        overviewtest::screenshot(overview, u"frmOverview"_s);
        QTest::mouseClick(overviewtest::child<QPushButton>(overview, "cmdClose"), Qt::LeftButton);
        QTRY_VERIFY(overview.isNull());
        widgets::windows().closeAll();
        widgets::windows().setMdiArea(nullptr);
    }
};

QTEST_MAIN(TestSummary)
#include "tst_summary.moc"
