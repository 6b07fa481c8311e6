// The results chart, driven from its dialog as a user drives it.

#include "OverviewFixture.h"

#include "engine/Connection.h"
#include "overview/ChartControl.h"
#include "overview/ChartListWindows.h"

#include <QPushButton>

using namespace vantor;
using namespace vantor::overview;
using platform::Icon;

namespace {

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

QStringList bars(const QWidget* window)
{
    return bars(overviewtest::child<ChartControl>(window, "chtReport"));
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
        registerChartAndListWindows();
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
        QFETCH(QStringList, bars);
        QWidget* window = viewChart(from, to, item);
        QVERIFY(window);
        overviewtest::screenshot(window, QStringLiteral("frmChart-") + item);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Chart Results for ") + item);
        QCOMPARE(::bars(window), bars);
        QCOMPARE(
            overviewtest::onlyMessage(m_ui),
            !bars.isEmpty()
                ? QStringLiteral("0 messages")
                : overviewtest::shown(
                      0, QStringLiteral("Vantor"), Icon::Exclamation,
                      QStringLiteral("Sorry, there are no records which match that criteria.")));
    }

    void viewChartAgainKeepsTheOpenChart()
    {
        const QString from = QStringLiteral("05-Mar-2004"), to = QStringLiteral("01-Apr-2004");
        QWidget* first = viewChart(from, to, QStringLiteral("Glucose"));
        QVERIFY(first);
        const QStringList glucose = bars(first);

        QWidget* again = viewChart(from, to, QStringLiteral("Cholesterol"));
        QCOMPARE(again, first);
        QCOMPARE(again->windowTitle(), QStringLiteral("Chart Results for Glucose"));
        QCOMPARE(bars(again), glucose);

        // Closed, the next View Chart draws the new inputs.
        first->close();
        QTRY_VERIFY(!widgets::windows().isLoaded(QStringLiteral("frmChart")));
        QWidget* fresh = viewChart(from, to, QStringLiteral("Cholesterol"));
        QVERIFY(fresh);
        QCOMPARE(fresh->windowTitle(), QStringLiteral("Chart Results for Cholesterol"));
        QCOMPARE(bars(fresh).size(), 3);
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
