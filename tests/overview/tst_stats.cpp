// The statistics window, driven as a user drives it.

#include "OverviewFixture.h"

#include "overview/frmStats.h"

#include <QPushButton>
#include <QRadioButton>

using namespace vantor;
using namespace vantor::overview;
using overviewtest::gridRows;
using platform::Icon;

namespace {

const QStringList AllDates{
    QStringLiteral("Albumin|g/dL|4.20|4.2|4.2|"),
    QStringLiteral("Cholesterol|mg/dL|538.19|180|1234.56|"),
    QStringLiteral("Glucose|mg/dL|90.50|88|95.5|"),
    QStringLiteral("Zinc|µg/dL|12.00|12|12|"),
};

} // namespace

class TestStats : public QObject
{
    Q_OBJECT

    overviewtest::Session m_s;
    platform::RecordingUi& m_ui = m_s.ui;
    frmStats* m_window = nullptr;

    void open()
    {
        m_window = new frmStats;
        m_window->show();
    }
    void pressOk(const QString& from, const QString& to)
    {
        m_window->inputs()->fromList()->setBoundText(from);
        m_window->inputs()->toList()->setBoundText(to);
        QTest::mouseClick(overviewtest::child<QPushButton>(m_window, "cmdOK1"), Qt::LeftButton);
    }
    widgets::DataGrid* grid(const char* name) const
    {
        return overviewtest::child<widgets::DataGrid>(m_window, name);
    }

private slots:
    void initTestCase() { m_s.start(); }
    void init() { m_s.reset(); }
    void cleanup() { QVERIFY(m_s.finish()); }

    // Columns as wide as their contents, the window's width used, and no cell
    // chosen for the user; at the first-run size and in a wide window.
    void columnsFitTheirContents_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("first-run size") << QSize(720, 600);
        QTest::newRow("wide") << QSize(1200, 700);
    }
    void columnsFitTheirContents()
    {
        QFETCH(QSize, size);
        overviewtest::execute(
            "INSERT INTO Tests (ID, Test, Units) VALUES (20, 'Alkaline Phosphatase', 'U/L');"
            "INSERT INTO Details (ID, Test, Result, Unit) VALUES (6, 20, 99999.94, 'U/L');");
        open();
        m_window->resize(size);
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        overviewtest::screenshot(m_window, QStringLiteral("frmStats-%1").arg(size.width()));
        for (const char* name : {"DataGrid1", "DataGrid2"}) {
            const widgets::DataGrid* g = grid(name);
            const QAbstractItemModel* model = g->model();
            int total = 0;
            for (int c = 0; c < model->columnCount(); ++c) {
                int widest = g->fontMetrics().horizontalAdvance(
                    model->headerData(c, Qt::Horizontal).toString());
                for (int r = 0; r < model->rowCount(); ++r)
                    widest = std::max(widest, g->fontMetrics().horizontalAdvance(
                                                  model->index(r, c).data().toString()));
                QVERIFY2(g->columnWidth(c) > widest, qPrintable(QString::number(c)));
                total += g->columnWidth(c);
            }
            // The grid's width is used, give or take rounding.
            QVERIFY2(std::abs(total - g->viewport()->width()) <= model->columnCount(),
                     qPrintable(QStringLiteral("%1 of %2").arg(total).arg(g->viewport()->width())));
            QVERIFY(!g->selectionModel()->hasSelection());
        }
        // A date of the lower table names its century.
        QVERIFY(
            gridRows(grid("DataGrid2"))
                .contains(QStringLiteral("Alkaline Phosphatase|U/L|99999.94|01-Apr-2004|Morning")));
    }

    // Out of range counts the flagged values of the span; a value equal to a
    // limit is not one, and an item without a range has no count.
    void outOfRangeCountsFlaggedValues()
    {
        overviewtest::execute("UPDATE Tests SET Low = 90, High = 95 WHERE Test = 'Glucose';"
                              "UPDATE Tests SET High = 200 WHERE Test = 'Cholesterol';");
        open();
        QCOMPARE(grid("DataGrid1")->model()->headerData(5, Qt::Horizontal).toString(),
                 QStringLiteral("Out of range"));
        QCOMPARE(gridRows(grid("DataGrid1")),
                 (QStringList{QStringLiteral("Albumin|g/dL|4.20|4.2|4.2|"),
                              QStringLiteral("Cholesterol|mg/dL|538.19|180|1234.56|1"),
                              QStringLiteral("Glucose|mg/dL|90.50|88|95.5|3"),
                              QStringLiteral("Zinc|µg/dL|12.00|12|12|")}));
        pressOk(QStringLiteral("06-Mar-2004"), QStringLiteral("01-Apr-2004"));
        QCOMPARE(gridRows(grid("DataGrid1")),
                 (QStringList{QStringLiteral("Cholesterol|mg/dL|190.00|180|200|0"),
                              QStringLiteral("Glucose|mg/dL|88.00|88|88|1"),
                              QStringLiteral("Zinc|µg/dL|12.00|12|12|")}));
        overviewtest::screenshot(m_window, QStringLiteral("frmStats-ranges"));
    }

    // A value whose occasion is gone (left by another program, or by an older
    // version that deleted an occasion alone) counts in no statistic; a value
    // beyond a limit but recorded in another unit is not out of range.
    void valuesOutsideTheRulesAreLeftOut()
    {
        overviewtest::execute(
            "UPDATE Tests SET Low = 90, High = 95 WHERE Test = 'Glucose';"
            "INSERT INTO Details (ID, Test, Result, Unit) VALUES (42, 3, 0.5, 'g/dL'),"
            " (NULL, 3, 9.9, 'g/dL'), (42, 1, 1.0, 'mg/dL'), (2, 1, 400, 'mmol/L');");
        open();
        QCOMPARE(gridRows(grid("DataGrid1")),
                 (QStringList{QStringLiteral("Albumin|g/dL|4.20|4.2|4.2|"),
                              QStringLiteral("Cholesterol|mg/dL|538.19|180|1234.56|"),
                              QStringLiteral("Glucose|mg/dL|167.88|88|400|3"),
                              QStringLiteral("Zinc|µg/dL|12.00|12|12|")}));
    }

    void span_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("rows");
        // clang-format off
        QTest::newRow("oldest to newest") << "05-Mar-2004" << "01-Apr-2004" << AllDates;
        // One day; the items without results in it are absent.
        QTest::newRow("one day") << "05-Mar-2004" << "05-Mar-2004" << QStringList{
                                        QStringLiteral("Albumin|g/dL|4.20|4.2|4.2|"),
                                        QStringLiteral("Cholesterol|mg/dL|1234.56|1234.56|1234.56|"),
                                        QStringLiteral("Glucose|mg/dL|91.75|88|95.5|")};
        QTest::newRow("another day") << "06-Mar-2004" << "06-Mar-2004"
            << QStringList{QStringLiteral("Cholesterol|mg/dL|180.00|180|180|"),
                           QStringLiteral("Glucose|mg/dL|88.00|88|88|")};
        // A value of an occasion without a period still counts here.
        QTest::newRow("occasion without period") << "09-Mar-2004"
            << "09-Mar-2004" << QStringList{QStringLiteral("Zinc|µg/dL|12.00|12|12|")};
        QTest::newRow("day without values") << "08-Mar-2004" << "08-Mar-2004" << QStringList();
        // clang-format on
    }
    void span()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, rows);
        open();
        QCOMPARE(gridRows(grid("DataGrid1")), AllDates); // as opened
        pressOk(from, to);
        QCOMPARE(gridRows(grid("DataGrid1")), rows);
        QCOMPARE(overviewtest::onlyMessage(m_ui),
                 !rows.isEmpty()
                     ? QStringLiteral("0 messages")
                     : overviewtest::shown(1, QStringLiteral("No Records Found"), Icon::Information,
                                           QStringLiteral("Sorry, there are no records "
                                                          "which match that criteria.")));
    }

    // Enter on a date list presses OK.
    void enterComputesTheSpan()
    {
        open();
        m_window->inputs()->fromList()->setBoundText(QStringLiteral("06-Mar-2004"));
        m_window->inputs()->toList()->setBoundText(QStringLiteral("06-Mar-2004"));
        m_window->inputs()->toList()->setFocus();
        QTest::keyClick(m_window->inputs()->toList(), Qt::Key_Return);
        QCOMPARE(gridRows(grid("DataGrid1")),
                 (QStringList{QStringLiteral("Cholesterol|mg/dL|180.00|180|180|"),
                              QStringLiteral("Glucose|mg/dL|88.00|88|88|")}));
    }

    void reversedDatesKeepTheTable()
    {
        open();
        pressOk(QStringLiteral("06-Mar-2004"), QStringLiteral("06-Mar-2004"));
        const QStringList before = gridRows(grid("DataGrid1"));
        pressOk(QStringLiteral("01-Apr-2004"), QStringLiteral("05-Mar-2004"));
        QCOMPARE(gridRows(grid("DataGrid1")), before);
        QCOMPARE(overviewtest::onlyMessage(m_ui),
                 overviewtest::shown(
                     1, QStringLiteral("Invalid Date Range"), Icon::Exclamation,
                     QStringLiteral("The Date From date can't be later then the Date To date.")));
    }

    void minMaxChangesOnlyTheLowerTable()
    {
        open();
        overviewtest::screenshot(m_window, QStringLiteral("frmStats"));
        // Over all dates, whatever the lists show: Glucose's minimum was
        // measured twice; Zinc's only occasion has no period.
        const QStringList minima{
            QStringLiteral("Albumin|g/dL|4.2|05-Mar-2004|Afternoon"),
            QStringLiteral("Albumin|g/dL|4.2|05-Mar-2004|Morning"),
            QStringLiteral("Cholesterol|mg/dL|180|06-Mar-2004|Morning"),
            QStringLiteral("Glucose|mg/dL|88|05-Mar-2004|Afternoon"),
            QStringLiteral("Glucose|mg/dL|88|06-Mar-2004|Morning"),
        };
        QVERIFY(overviewtest::child<QRadioButton>(m_window, "Option1")->isChecked());
        QCOMPARE(gridRows(grid("DataGrid2")), minima);
        pressOk(QStringLiteral("05-Mar-2004"), QStringLiteral("05-Mar-2004"));
        const QStringList upperRows = gridRows(grid("DataGrid1"));
        QCOMPARE(gridRows(grid("DataGrid2")), minima);

        QTest::mouseClick(overviewtest::child<QRadioButton>(m_window, "Option2"), Qt::LeftButton);
        const QStringList maxima{
            QStringLiteral("Albumin|g/dL|4.2|05-Mar-2004|Afternoon"),
            QStringLiteral("Albumin|g/dL|4.2|05-Mar-2004|Morning"),
            QStringLiteral("Cholesterol|mg/dL|1234.56|05-Mar-2004|Morning"),
            QStringLiteral("Glucose|mg/dL|95.5|05-Mar-2004|Morning"),
        };
        QCOMPARE(gridRows(grid("DataGrid2")), maxima);
        QCOMPARE(gridRows(grid("DataGrid1")), upperRows);

        QTest::mouseClick(overviewtest::child<QRadioButton>(m_window, "Option1"), Qt::LeftButton);
        QCOMPARE(gridRows(grid("DataGrid2")), minima);
        QCOMPARE(gridRows(grid("DataGrid1")), upperRows);
        QVERIFY(m_ui.messages().isEmpty());
    }
};

QTEST_MAIN(TestStats)
#include "tst_stats.moc"
