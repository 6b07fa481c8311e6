// The results chart, driven from its dialog as a user drives it.

#include "OverviewFixture.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "overview/ChartControl.h"
#include "overview/ChartListWindows.h"
#include "overview/frmChart.h"
#include "widgets/DataCombo.h"

#include <QPushButton>
#include <QTemporaryDir>

using namespace vantor;
using namespace vantor::overview;
using platform::Icon;
using platform::RecordingUi;

namespace {

void choose(QWidget* window, const char* list, const QString& text)
{
    auto* combo = overviewtest::child<widgets::DataCombo>(window, list);
    QVERIFY(combo);
    const int i = combo->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

// The chart's table as the user reads it: "label=value" per category.
QStringList bars(const ChartControl* chart)
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

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dailyAverages_data();
    void dailyAverages();
    void spanWithoutValuesLeavesTheChartEmpty();
    void viewChartAgainKeepsTheOpenChart();
    void fillChartWithSeveralSeries();
    void screenshot();

private:
    QWidget* viewChart(const QString& from, const QString& to, const QString& item);

    QTemporaryDir m_dir;
    QString m_oldCwd;
    RecordingUi m_ui;
    QWidget* m_dialog = nullptr;
};

void TestChart::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    platform::setUi(&m_ui);
    registerChartAndListWindows();
}

void TestChart::init()
{
    m_ui.clear();
    overviewtest::makeKnownDatabase();
}

void TestChart::cleanup()
{
    QVERIFY(overviewtest::closeEverything());
    QVERIFY(!m_ui.isBusy());
    QCOMPARE(engine::Connection::openConnectionCount(), 0);
}

// Opens the dialog (or takes the open one), picks the inputs and presses
// View Chart; returns the chart window.
QWidget* TestChart::viewChart(const QString& from, const QString& to, const QString& item)
{
    m_dialog = widgets::windows().show(QStringLiteral("dlgChart"));
    if (!m_dialog)
        return nullptr;
    choose(m_dialog, "DataCombo1", from);
    choose(m_dialog, "DataCombo2", to);
    choose(m_dialog, "ItemCombo", item);
    auto* button = overviewtest::child<QPushButton>(m_dialog, "cmdOK");
    if (!button || button->text() != QStringLiteral("View Chart"))
        return nullptr;
    button->click();
    return widgets::windows().find(QStringLiteral("frmChart"));
}

void TestChart::dailyAverages_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QStringList>("bars");
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
    // clang-format on
}

void TestChart::dailyAverages()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, item);
    QFETCH(QStringList, bars);

    QWidget* window = viewChart(from, to, item);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Chart Results for ") + item);
    auto* chart = overviewtest::child<ChartControl>(window, "chtReport");
    QCOMPARE(::bars(chart), bars);
    QCOMPARE(chart->chart()->title(), QStringLiteral("Results Chart"));
    QVERIFY(!chart->isSeriesMarkerShown(1));
    QVERIFY(m_ui.messages().isEmpty());
}

void TestChart::spanWithoutValuesLeavesTheChartEmpty()
{
    // Albumin has values on 5 March only.
    QWidget* window = viewChart(QStringLiteral("06-Mar-2004"), QStringLiteral("01-Apr-2004"),
                                QStringLiteral("Albumin"));
    QVERIFY(window);
    QCOMPARE(overviewtest::child<ChartControl>(window, "chtReport")->rowCount(), 0);
    QCOMPARE(m_ui.messages().size(), 1);
    const auto& message = m_ui.messages().first();
    QCOMPARE(message.text,
             QStringLiteral("Sorry, there are no records which match that criteria."));
    QCOMPARE(message.icon, Icon::Exclamation);
    QCOMPARE(message.title, QStringLiteral("Vantor"));
    QVERIFY(window->isVisible());
}

void TestChart::viewChartAgainKeepsTheOpenChart()
{
    QWidget* first = viewChart(QStringLiteral("05-Mar-2004"), QStringLiteral("01-Apr-2004"),
                               QStringLiteral("Glucose"));
    QVERIFY(first);
    const QStringList glucose = bars(overviewtest::child<ChartControl>(first, "chtReport"));

    QWidget* again = viewChart(QStringLiteral("05-Mar-2004"), QStringLiteral("01-Apr-2004"),
                               QStringLiteral("Cholesterol"));
    QCOMPARE(again, first);
    QCOMPARE(again->windowTitle(), QStringLiteral("Chart Results for Glucose"));
    QCOMPARE(bars(overviewtest::child<ChartControl>(again, "chtReport")), glucose);

    // Closed, the next View Chart draws the new inputs.
    first->close();
    QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmChart")));
    QWidget* fresh = viewChart(QStringLiteral("05-Mar-2004"), QStringLiteral("01-Apr-2004"),
                               QStringLiteral("Cholesterol"));
    QVERIFY(fresh);
    QCOMPARE(fresh->windowTitle(), QStringLiteral("Chart Results for Cholesterol"));
    QCOMPARE(overviewtest::child<ChartControl>(fresh, "chtReport")->rowCount(), 3);
}

void TestChart::fillChartWithSeveralSeries()
{
    // Rows by test, so each date comes once per series; a series per test, a null value,
    // and a chart that held other rows before.
    engine::Connection connection;
    connection.open(QStringLiteral("Data Source=vantor.mdb"));
    engine::Recordset rows;
    rows.open(QStringLiteral("SELECT Results.Date, Tests.Test, IIf(Details.Result > 1000, Null, "
                             "Details.Result) AS Result "
                             "FROM Tests INNER JOIN (Results INNER JOIN Details ON Results.ID = "
                             "Details.ID) ON Tests.ID = Details.Test "
                             "WHERE Tests.Test In ('Glucose', 'Cholesterol') "
                             "ORDER BY Tests.Test, Results.Date, Results.Period"),
              &connection);
    frmChart window;
    ChartControl* chart = window.chart();
    chart->insertRows(1, 5);
    window.FillChart(rows, QStringLiteral("Date"), QStringLiteral("Result"),
                     QStringLiteral("Test"));
    QCOMPARE(chart->columnCount(), 2);
    QCOMPARE(chart->columnLabel(1, 1), QStringLiteral("Cholesterol"));
    QCOMPARE(chart->columnLabel(2, 1), QStringLiteral("Glucose"));
    // A day's later value in one series replaces the earlier one; a null counts as 0.
    QCOMPARE(bars(chart),
             (QStringList{QStringLiteral("3/5/2004=0=88"), QStringLiteral("3/6/2004=180=88"),
                          QStringLiteral("4/1/2004=200=-")}));
    QVERIFY(chart->repaintEnabled());
    QVERIFY(m_ui.messages().isEmpty());

    // A value field that is missing: the error is shown and repainting comes back.
    rows.requery();
    window.FillChart(rows, QStringLiteral("Date"), QStringLiteral("Nothing"), QString());
    QCOMPARE(m_ui.messages().size(), 1);
    QCOMPARE(m_ui.messages().first().icon, Icon::Exclamation);
    QVERIFY(chart->repaintEnabled());
}

void TestChart::screenshot()
{
    // Enough dates for the labels to stand upright.
    overviewtest::execute(
        "INSERT INTO Results (ID, Date, Period) VALUES (7, '2004-03-12', 1), (8, '2004-03-15', 2),"
        " (9, '2004-03-19', 1), (10, '2004-03-22', 1), (11, '2004-03-26', 2), (12, '2004-03-29', "
        "1);"
        "INSERT INTO Details (ID, Test, Result, Unit) VALUES (7, 1, 102, 'mg/dL'),"
        " (8, 1, 79.5, 'mg/dL'), (9, 1, 91, 'mg/dL'), (10, 1, 110, 'mg/dL'),"
        " (11, 1, 97.25, 'mg/dL'), (12, 1, 84, 'mg/dL');");
    QWidget* window = viewChart(QStringLiteral("05-Mar-2004"), QStringLiteral("01-Apr-2004"),
                                QStringLiteral("Glucose"));
    QVERIFY(window);
    window->resize(720, 480);
    QTest::qWait(50);
    overviewtest::screenshot(window, QStringLiteral("frmChart"));
    overviewtest::screenshot(m_dialog, QStringLiteral("dlgChart"));
}

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
