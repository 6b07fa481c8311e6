// The results chart, driven from its dialog as a user drives it.

#include "OverviewFixture.h"

#include "engine/Connection.h"
#include "overview/ChartControl.h"
#include "overview/OverviewWindows.h"
#include "overview/frmChart.h"
#include "platform/Format.h"

#include <QAreaSeries>
#include <QDateTimeAxis>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QValueAxis>

using namespace vantor;
using namespace vantor::overview;
using platform::Icon;

namespace {

// The chart's table as the user reads it: "label=value" per point.
QStringList points(const ChartControl* chart)
{
    QStringList rows;
    for (int row = 1; row <= chart->rowCount(); ++row) {
        QStringList cells{chart->rowLabel(row, 1)};
        for (int column = 1; column <= chart->columnCount(); ++column) {
            const std::optional<double> value = chart->data(row, column);
            cells << (value ? QString::number(*value) : QStringLiteral("-"));
        }
        rows << cells.join(u'=');
    }
    return rows;
}

QStringList points(const QWidget* window)
{
    return points(overviewtest::child<ChartControl>(window, "chtReport"));
}

// Sodium on `days` consecutive days from 1 January 1950, 135 to 143 mmol/L.
void addSodium(int days)
{
    const QByteArray sql =
        "INSERT INTO Tests (ID, Test, Units) VALUES (10, 'Sodium', 'mmol/L');"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        QByteArray::number(days - 1) +
        ") INSERT INTO Results (ID, Date, Period, Remarks) "
        "SELECT 1000 + i, date('1950-01-01', '+' || i || ' days'), 1, '' FROM n;"
        "INSERT INTO Details (ID, Test, Result, Unit) "
        "SELECT ID, 10, 135 + (ID * 7) % 9, 'mmol/L' FROM Results WHERE ID >= 1000;";
    overviewtest::execute(sql.constData());
}

// The labels under the plot, as drawn.
QList<QGraphicsTextItem*> dateLabels(const ChartControl* chart)
{
    QList<QGraphicsTextItem*> labels;
    const double plotBottom =
        chart->chart()->mapToScene(chart->chart()->plotArea()).boundingRect().bottom();
    for (QGraphicsItem* item : chart->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (text && text->isVisible() && !text->toPlainText().isEmpty() &&
            text->sceneBoundingRect().top() >= plotBottom - 1)
            labels << text;
    }
    std::sort(labels.begin(), labels.end(), [](const auto* a, const auto* b) {
        return a->sceneBoundingRect().left() < b->sceneBoundingRect().left();
    });
    return labels;
}

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

    overviewtest::Session m_s;
    platform::RecordingUi& m_ui = m_s.ui;

    // Opens the dialog (or takes the open one), picks the inputs and presses
    // View Chart; returns the chart window.
    QWidget* viewChart(const QString& from, const QString& to, const QString& item)
    {
        QWidget* dialog = widgets::windows().show(QStringLiteral("dlgChart"));
        if (!dialog)
            return nullptr;
        overviewtest::choose(dialog, "DataCombo1", from);
        overviewtest::choose(dialog, "DataCombo2", to);
        overviewtest::choose(dialog, "ItemCombo", item);
        overviewtest::child<QPushButton>(dialog, "cmdOK")->click();
        return widgets::windows().find(QStringLiteral("frmChart"));
    }

private slots:
    void initTestCase()
    {
        m_s.start();
        registerOverviewWindows();
    }
    void init() { m_s.reset(); }
    void cleanup()
    {
        QVERIFY(m_s.finish());
        QCOMPARE(engine::Connection::openConnectionCount(), 0);
    }

    void dailyAverages_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("points");
        // clang-format off
        // Glucose was measured twice on 5 March (Morning and Afternoon).
        QTest::newRow("two occasions on one day") << "05-Mar-2004" << "06-Mar-2004" << "Glucose"
            << QStringList{QStringLiteral("3/5/2004=91.75"), QStringLiteral("3/6/2004=88")};
        QTest::newRow("one day") << "06-Mar-2004" << "06-Mar-2004" << "Glucose"
            << QStringList{QStringLiteral("3/6/2004=88")};
        QTest::newRow("dates far apart, oldest first") << "05-Mar-2004" << "01-Apr-2004"
            << "Cholesterol" << QStringList{QStringLiteral("3/5/2004=1234.56"),
                                            QStringLiteral("3/6/2004=180"),
                                            QStringLiteral("4/1/2004=200")};
        // Albumin has values on 5 March only: an empty chart and a message.
        QTest::newRow("span without values") << "06-Mar-2004" << "01-Apr-2004" << "Albumin"
            << QStringList();
        // clang-format on
    }
    void dailyAverages()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, item);
        QFETCH(QStringList, points);
        QWidget* window = viewChart(from, to, item);
        QVERIFY(window);
        overviewtest::screenshot(window, QStringLiteral("frmChart-") + item);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Chart Results for ") + item);
        QCOMPARE(::points(window), points);
        QCOMPARE(
            overviewtest::onlyMessage(m_ui),
            !points.isEmpty()
                ? QStringLiteral("0 messages")
                : overviewtest::shown(
                      0, QStringLiteral("Vantor"), Icon::Exclamation,
                      QStringLiteral("Sorry, there are no records which match that criteria.")));
    }

    // The item's range as a band behind the line, named in the legend, and
    // the days outside it drawn again in their own colour. Cholesterol's 200
    // equals its limit: inside.
    void referenceRangeBand()
    {
        overviewtest::execute("UPDATE Tests SET Low = 150, High = 200 WHERE Test = 'Cholesterol';");
        QWidget* window = viewChart(QStringLiteral("05-Mar-2004"), QStringLiteral("01-Apr-2004"),
                                    QStringLiteral("Cholesterol"));
        QVERIFY(window);
        window->resize(640, 420);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        overviewtest::screenshot(window, QStringLiteral("frmChart-range"));
        const QChart* chart = overviewtest::child<ChartControl>(window, "chtReport")->chart();
        const QList<QAbstractSeries*> series = chart->series();
        QCOMPARE(series.size(), 3);
        auto* band = qobject_cast<QAreaSeries*>(series.at(0)); // first: drawn behind
        QVERIFY(band);
        QCOMPARE(band->name(), QStringLiteral("Reference range 150 \u2013 200 mg/dL"));
        QCOMPARE(band->lowerSeries()->at(0).y(), 150.0);
        QCOMPARE(band->upperSeries()->at(0).y(), 200.0);
        QVERIFY(qobject_cast<QLineSeries*>(series.at(1)));
        auto* outside = qobject_cast<QScatterSeries*>(series.at(2));
        QVERIFY(outside);
        QCOMPARE(outside->count(), 1);
        QCOMPARE(outside->at(0).y(), 1234.56);
        QVERIFY(chart->legend()->isVisible());
        QCOMPARE(overviewtest::onlyMessage(m_ui), QStringLiteral("0 messages"));

        // A value of the span in another unit: no comparison, no band.
        window->close();
        QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmChart")));
        overviewtest::execute(
            "INSERT INTO Details (ID, Test, Result, Unit) VALUES (3, 2, 4.6, 'mmol/L');");
        window = viewChart(QStringLiteral("05-Mar-2004"), QStringLiteral("01-Apr-2004"),
                           QStringLiteral("Cholesterol"));
        QVERIFY(window);
        const QList<QAbstractSeries*> plain =
            overviewtest::child<ChartControl>(window, "chtReport")->chart()->series();
        QCOMPARE(plain.size(), 1);
        QVERIFY(qobject_cast<QLineSeries*>(plain.at(0)));
    }

    // Long histories: every date label whole, side by side and on screen, at
    // the first-run size and maximized; the value axis fits the values.
    void readableOverLongSpans_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<QSize>("size");
        for (const int days : {1, 20, 145, 25000}) {
            QTest::addRow("%d days, first-run size", days) << days << QSize(648, 448);
            QTest::addRow("%d days, maximized", days) << days << QSize(1280, 860);
        }
    }
    void readableOverLongSpans()
    {
        QFETCH(int, days);
        QFETCH(QSize, size);
        addSodium(days);
        QElapsedTimer clock;
        clock.start();
        QWidget* window = viewChart(QStringLiteral("01-Jan-1950"),
                                    platform::mediumDate(QDate(1950, 1, 1).addDays(days - 1)),
                                    QStringLiteral("Sodium"));
        QVERIFY(window);
        window->resize(size);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCoreApplication::processEvents(); // the chart lays itself out
        const QImage picture = window->grab().toImage();
        const qint64 ms = clock.elapsed();
        qInfo("%d days: %lld ms to read, draw and paint", days, ms);
        QVERIFY2(ms < 3000, qPrintable(QString::number(ms)));
        overviewtest::screenshot(window,
                                 QStringLiteral("frmChart-%1days-%2").arg(days).arg(size.width()));
        QVERIFY(overviewtest::onlyMessage(m_ui) == QStringLiteral("0 messages"));

        auto* chart = overviewtest::child<ChartControl>(window, "chtReport");
        QCOMPARE(chart->rowCount(), days); // the table keeps every day
        clock.restart();
        chart->setRepaint(false);
        chart->setRepaint(true);
        chart->grab();
        const qint64 drawMs = clock.elapsed();
        qInfo("%d days: %lld ms to draw again", days, drawMs);
        QVERIFY2(drawMs < 1000, qPrintable(QString::number(drawMs)));

        const QList<QGraphicsTextItem*> labels = dateLabels(chart);
        QVERIFY2(labels.size() >= 2, qPrintable(QString::number(labels.size())));
        static const QRegularExpression date(QStringLiteral("^\\d{2}-[A-Z][a-z]{2}-\\d{4}$"));
        const QRectF view = chart->mapToScene(chart->viewport()->rect()).boundingRect();
        QStringList texts;
        for (int i = 0; i < labels.size(); ++i) {
            texts << labels[i]->toPlainText();
            const QRectF box = labels[i]->sceneBoundingRect();
            QVERIFY2(date.match(labels[i]->toPlainText()).hasMatch(),
                     qPrintable(labels[i]->toPlainText()));
            QVERIFY2(view.contains(box), qPrintable(labels[i]->toPlainText()));
            if (i > 0)
                QVERIFY2(labels[i - 1]->sceneBoundingRect().right() < box.left(),
                         qPrintable(labels[i]->toPlainText()));
        }
        // Each label names another day.
        texts.removeDuplicates();
        QCOMPARE(texts.size(), labels.size());

        const auto values = chart->chart()->axes(Qt::Vertical);
        QCOMPARE(values.size(), 1);
        const auto* axis = qobject_cast<QValueAxis*>(values.first());
        QVERIFY(axis);
        QCOMPARE(axis->titleText(), QStringLiteral("mmol/L"));
        // The values span at least half the axis: 135 to 143 does not look flat.
        QVERIFY(axis->min() <= 135 && axis->max() >= 143);
        const double spanned = days == 1 ? 0 : 143 - 135;
        QVERIFY2(days == 1 || spanned / (axis->max() - axis->min()) >= 0.5,
                 qPrintable(QStringLiteral("%1..%2").arg(axis->min()).arg(axis->max())));

        // A single day still shows its point.
        const auto* line = qobject_cast<QLineSeries*>(chart->chart()->series().value(0));
        QVERIFY(line);
        if (days == 1)
            QVERIFY(line->pointsVisible() && line->count() == 1);
        // Thinned for drawing when points outnumber the pixels, never below one per pixel.
        QVERIFY(line->count() <= std::max(days, 2 * int(chart->chart()->plotArea().width()) + 2));
        QVERIFY(!picture.isNull());
    }

    // Thousands of days outside the range draw as quickly as the line: each
    // pixel column keeps its lowest and highest, so the extremes stay.
    void manyDaysOutsideTheRange()
    {
        addSodium(25000);
        overviewtest::execute("UPDATE Tests SET Low = 137, High = 141 WHERE Test = 'Sodium';");
        QElapsedTimer clock;
        clock.start();
        QWidget* window = viewChart(QStringLiteral("01-Jan-1950"),
                                    platform::mediumDate(QDate(1950, 1, 1).addDays(24999)),
                                    QStringLiteral("Sodium"));
        QVERIFY(window);
        window->resize(648, 448);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCoreApplication::processEvents();
        QVERIFY(!window->grab().isNull());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        overviewtest::screenshot(window, QStringLiteral("frmChart-outside-25000days"));
        const QChart* chart = overviewtest::child<ChartControl>(window, "chtReport")->chart();
        auto* outside = qobject_cast<QScatterSeries*>(chart->series().value(2));
        QVERIFY(outside);
        // No more than two a pixel column of a plot no wider than the window.
        QVERIFY2(outside->count() <= 2 * window->width(),
                 qPrintable(QString::number(outside->count())));
        double lowest = 1e9;
        double highest = -1e9;
        for (const QPointF& point : outside->points()) {
            QVERIFY2(point.y() < 137 || point.y() > 141, qPrintable(QString::number(point.y())));
            lowest = std::min(lowest, point.y());
            highest = std::max(highest, point.y());
        }
        QCOMPARE(lowest, 135.0);
        QCOMPARE(highest, 143.0);
    }

    // Resting the pointer near a point shows that point's date and value.
    void hoverShowsDateAndValue()
    {
        addSodium(20);
        QWidget* window = viewChart(QStringLiteral("01-Jan-1950"), QStringLiteral("20-Jan-1950"),
                                    QStringLiteral("Sodium"));
        QVERIFY(window);
        window->resize(648, 448);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto* chart = overviewtest::child<ChartControl>(window, "chtReport");
        auto* line = qobject_cast<QLineSeries*>(chart->chart()->series().value(0));
        QVERIFY(line);
        // The 10th day: ID 1009, 135 + (1009 * 7) % 9 = 135 + 7.
        const QPointF point = line->at(9);
        const QPoint at = chart->mapFromScene(
            chart->chart()->mapToScene(chart->chart()->mapToPosition(point, line)));
        QTest::mouseMove(chart->viewport(), at + QPoint(1, 0));
        QTRY_COMPARE(chart->hoverText(), QStringLiteral("10-Jan-1950: 142 mmol/L"));
    }

    void firstItemWithoutValuesAsksForAnItem_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("opens");
        QTest::newRow("chart") << "dlgChart"
                               << "frmChart";
        QTest::newRow("item list") << "dlgList"
                                   << "frmList";
    }
    void firstItemWithoutValuesAsksForAnItem()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, opens);
        // Aardvark sorts first and has no values: the preset chooses nothing.
        QWidget* window = widgets::windows().show(dialog);
        QVERIFY(window);
        if (auto* result = window->findChild<QLineEdit*>(QStringLiteral("txtResult")))
            QTest::keyClicks(result, QStringLiteral("5"));
        QTest::mouseClick(overviewtest::child<QPushButton>(window, "cmdOK"), Qt::LeftButton);
        QVERIFY(!widgets::windows().isLoaded(opens));
        QCOMPARE(overviewtest::onlyMessage(m_ui),
                 overviewtest::shown(1, QStringLiteral("Select Dates"), Icon::Critical,
                                     QStringLiteral("Please choose a test item.")));
    }

    void viewChartAgainKeepsTheOpenChart()
    {
        const QString from = QStringLiteral("05-Mar-2004"), to = QStringLiteral("01-Apr-2004");
        QWidget* first = viewChart(from, to, QStringLiteral("Glucose"));
        QVERIFY(first);
        const QStringList glucose = points(first);

        QWidget* again = viewChart(from, to, QStringLiteral("Cholesterol"));
        QCOMPARE(again, first);
        QCOMPARE(again->windowTitle(), QStringLiteral("Chart Results for Glucose"));
        QCOMPARE(points(again), glucose);

        // Closed, the next View Chart draws the new inputs.
        first->close();
        QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmChart")));
        QWidget* fresh = viewChart(from, to, QStringLiteral("Cholesterol"));
        QVERIFY(fresh);
        QCOMPARE(fresh->windowTitle(), QStringLiteral("Chart Results for Cholesterol"));
        QCOMPARE(points(fresh).size(), 3);
    }

    // With a series field each of its texts gets a column and a line of its
    // own, named in the legend; a date without that series' value stays empty.
    void severalSeries()
    {
        engine::Connection connection;
        connection.open(QStringLiteral("Data Source=vantor.mdb"));
        engine::Recordset rows;
        rows.open(
            QStringLiteral("SELECT Results.Date, Tests.Test, Details.Result FROM (Details "
                           "INNER JOIN Results ON Details.ID = Results.ID) INNER JOIN Tests "
                           "ON Details.Test = Tests.ID WHERE Results.Period = 1 AND Tests.Test "
                           "IN ('Glucose', 'Cholesterol') ORDER BY Results.Date, Tests.Test"),
            &connection);
        auto* window = new frmChart;
        window->resize(640, 420);
        window->show();
        window->FillChart(rows, QStringLiteral("Date"), QStringLiteral("Result"),
                          QStringLiteral("Test"));
        QVERIFY(m_ui.messages().isEmpty());

        const ChartControl* chart = window->chart();
        const auto day = [](int month, int dayOfMonth) {
            return platform::valueText(QDate(2004, month, dayOfMonth));
        };
        QCOMPARE(points(chart), (QStringList{day(3, 5) + QStringLiteral("=1234.56=95.5"),
                                             day(3, 6) + QStringLiteral("=180=88"),
                                             day(4, 1) + QStringLiteral("=200=-")}));
        QStringList names;
        for (QAbstractSeries* series : chart->chart()->series())
            names << series->name();
        QCOMPARE(names, (QStringList{QStringLiteral("Cholesterol"), QStringLiteral("Glucose")}));
        QVERIFY(chart->chart()->legend()->isVisible());
        QTest::qWait(200); // laid out and painted for the picture
        overviewtest::screenshot(window, QStringLiteral("frmChart-series"));
        window->close();
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
