// The statistics window, driven as a user drives it.

#include "OverviewFixture.h"

#include "overview/frmStats.h"
#include "widgets/DataCombo.h"
#include "widgets/DataGrid.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace vantor;
using namespace vantor::overview;
using platform::Icon;
using platform::RecordingUi;

namespace {

// A grid's rows as the user reads them, one text per row, cells joined by "|".
QStringList gridRows(const widgets::DataGrid* grid)
{
    QStringList rows;
    const QAbstractItemModel* model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

const QStringList AllDates{
    QStringLiteral("Albumin|g/dL|4.20|4.2|4.2"),
    QStringLiteral("Cholesterol|mg/dL|538.19|180|1234.56"),
    QStringLiteral("Glucose|mg/dL|90.50|88|95.5"),
    QStringLiteral("Zinc|µg/dL|12.00|12|12"),
};

} // namespace

class TestStats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensOnAllDatesAndMinima();
    void span_data();
    void span();
    void reversedDatesKeepTheTable();
    void minMaxChangesOnlyTheLowerTable();
    void screenshot();

private:
    frmStats* open();
    void choose(const QString& from, const QString& to);
    void pressOk();

    QTemporaryDir m_dir;
    QString m_oldCwd;
    RecordingUi m_ui;
    frmStats* m_window = nullptr;
};

void TestStats::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    platform::setUi(&m_ui);
}

void TestStats::init()
{
    m_ui.clear();
    overviewtest::makeKnownDatabase();
}

void TestStats::cleanup()
{
    QVERIFY(overviewtest::closeEverything());
    QVERIFY(!m_ui.isBusy());
}

frmStats* TestStats::open()
{
    m_window = new frmStats;
    m_window->show();
    return m_window;
}

void TestStats::choose(const QString& from, const QString& to)
{
    m_window->inputs()->fromList()->setBoundText(from);
    m_window->inputs()->toList()->setBoundText(to);
}

void TestStats::pressOk()
{
    QTest::mouseClick(overviewtest::child<QPushButton>(m_window, "cmdOK1"), Qt::LeftButton);
}

void TestStats::opensOnAllDatesAndMinima()
{
    open();
    auto* upper = overviewtest::child<widgets::DataGrid>(m_window, "DataGrid1");
    auto* lower = overviewtest::child<widgets::DataGrid>(m_window, "DataGrid2");
    QCOMPARE(gridRows(upper), AllDates);
    QVERIFY(overviewtest::child<QRadioButton>(m_window, "Option1")->isChecked());
    // Glucose's minimum was measured twice; Zinc's only occasion has no period.
    const QStringList minima{
        QStringLiteral("Albumin|g/dL|4.2|05-Mar-04|Afternoon"),
        QStringLiteral("Albumin|g/dL|4.2|05-Mar-04|Morning"),
        QStringLiteral("Cholesterol|mg/dL|180|06-Mar-04|Morning"),
        QStringLiteral("Glucose|mg/dL|88|05-Mar-04|Afternoon"),
        QStringLiteral("Glucose|mg/dL|88|06-Mar-04|Morning"),
    };
    QCOMPARE(gridRows(lower), minima);
    QCOMPARE(overviewtest::child<QLabel>(m_window, "Label1")->text().left(40),
             QStringLiteral("The following statistical data is split "));
    QVERIFY(m_ui.messages().isEmpty());
}

void TestStats::span_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("oldest to newest") << "05-Mar-2004"
                                      << "01-Apr-2004" << AllDates;
    // One day; the items without results in it are absent.
    QTest::newRow("one day") << "05-Mar-2004"
                             << "05-Mar-2004"
                             << QStringList{
                                    QStringLiteral("Albumin|g/dL|4.20|4.2|4.2"),
                                    QStringLiteral("Cholesterol|mg/dL|1234.56|1234.56|1234.56"),
                                    QStringLiteral("Glucose|mg/dL|91.75|88|95.5")};
    QTest::newRow("another day") << "06-Mar-2004"
                                 << "06-Mar-2004"
                                 << QStringList{QStringLiteral("Cholesterol|mg/dL|180.00|180|180"),
                                                QStringLiteral("Glucose|mg/dL|88.00|88|88")};
    // A value of an occasion without a period still counts here.
    QTest::newRow("occasion without period")
        << "09-Mar-2004"
        << "09-Mar-2004" << QStringList{QStringLiteral("Zinc|µg/dL|12.00|12|12")};
    QTest::newRow("day without values") << "08-Mar-2004"
                                        << "08-Mar-2004" << QStringList();
}

void TestStats::span()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, rows);
    open();
    choose(from, to);
    pressOk();
    QCOMPARE(gridRows(overviewtest::child<widgets::DataGrid>(m_window, "DataGrid1")), rows);
    if (!rows.isEmpty()) {
        QVERIFY(m_ui.messages().isEmpty());
        return;
    }
    QCOMPARE(overviewtest::onlyMessage(m_ui),
             overviewtest::shown(
                 1, QStringLiteral("No Records Found"), Icon::Information,
                 QStringLiteral("Sorry, there are no records which match that criteria.")));
    QVERIFY(!m_ui.isBusy());
}

void TestStats::reversedDatesKeepTheTable()
{
    open();
    choose(QStringLiteral("06-Mar-2004"), QStringLiteral("06-Mar-2004"));
    pressOk();
    auto* upper = overviewtest::child<widgets::DataGrid>(m_window, "DataGrid1");
    const QStringList before = gridRows(upper);
    choose(QStringLiteral("01-Apr-2004"), QStringLiteral("05-Mar-2004"));
    pressOk();
    QCOMPARE(gridRows(upper), before);
    QCOMPARE(overviewtest::onlyMessage(m_ui),
             overviewtest::shown(
                 1, QStringLiteral("Invalid Date Range"), Icon::Exclamation,
                 QStringLiteral("The Date From date can't be later then the Date To date.")));
}

void TestStats::minMaxChangesOnlyTheLowerTable()
{
    open();
    choose(QStringLiteral("05-Mar-2004"), QStringLiteral("05-Mar-2004"));
    pressOk();
    auto* upper = overviewtest::child<widgets::DataGrid>(m_window, "DataGrid1");
    auto* lower = overviewtest::child<widgets::DataGrid>(m_window, "DataGrid2");
    const QStringList upperRows = gridRows(upper);
    const QStringList minima = gridRows(lower);

    QTest::mouseClick(overviewtest::child<QRadioButton>(m_window, "Option2"), Qt::LeftButton);
    // The lower table covers all dates, whatever the lists show.
    const QStringList maxima{
        QStringLiteral("Albumin|g/dL|4.2|05-Mar-04|Afternoon"),
        QStringLiteral("Albumin|g/dL|4.2|05-Mar-04|Morning"),
        QStringLiteral("Cholesterol|mg/dL|1234.56|05-Mar-04|Morning"),
        QStringLiteral("Glucose|mg/dL|95.5|05-Mar-04|Morning"),
    };
    QCOMPARE(gridRows(lower), maxima);
    QCOMPARE(gridRows(upper), upperRows);
    QCOMPARE(lower->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Result"));

    QTest::mouseClick(overviewtest::child<QRadioButton>(m_window, "Option1"), Qt::LeftButton);
    QCOMPARE(gridRows(lower), minima);
    QCOMPARE(gridRows(upper), upperRows);
    QVERIFY(m_ui.messages().isEmpty());
}

void TestStats::screenshot()
{
    open();
    m_window->resize(720, 560);
    QTest::qWait(20);
    overviewtest::screenshot(m_window, QStringLiteral("frmStats"));
}

QTEST_MAIN(TestStats)
#include "tst_stats.moc"
