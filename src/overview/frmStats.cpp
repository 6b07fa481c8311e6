#include "frmStats.h"

#include "ErrorTrap.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "store/ReferenceRange.h"
#include "widgets/DataControl.h"
#include "widgets/DataGrid.h"
#include "widgets/EnterKey.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vantor::overview {

namespace {

const QString SelectDates = QStringLiteral("Select Dates");

const QString Explanation = QStringLiteral(
    "The following statistical data is split into two parts. The first shows basic calculated "
    "values of all items over a specific period of time. The second shows minimum or maximum "
    "values (along with the date when the value occurred) of an item.");

const QString AllDatesSql = QStringLiteral(
    "SELECT Tests.Test, Tests.Units, Format(Avg([Result]),\"0.00\") AS Average, "
    "Min(Details.Result) AS Minimum, Max(Details.Result) AS Maximum\r\n"
    "FROM Tests INNER JOIN (Results INNER JOIN Details ON Results.ID = Details.ID) ON Tests.ID = "
    "Details.Test\r\n"
    "GROUP BY Tests.Test, Tests.Units;\r\n");

// The same table as AllDatesSql, for a file in which every value belongs to
// an occasion (as the program keeps it): each item's totals are then read in
// the order of the Details(Test, Result) index without looking up a single
// occasion, a few times faster on a long history. The average is the total
// over the count, so items that share a name and unit still average all
// their values together.
const QString AllDatesFromIndexSql = QStringLiteral(
    "SELECT Tests.Test, Tests.Units, Format(Sum(Totals.Total)/Sum(Totals.Counted),\"0.00\") AS "
    "Average, Min(Totals.Least) AS Minimum, Max(Totals.Greatest) AS Maximum "
    "FROM Tests INNER JOIN (SELECT Details.Test, Sum(Details.Result) AS Total, "
    "Count(Details.Result) AS Counted, Min(Details.Result) AS Least, Max(Details.Result) AS "
    "Greatest FROM Details GROUP BY Details.Test) AS Totals ON Tests.ID = Totals.Test "
    "GROUP BY Tests.Test, Tests.Units;");

// Whether some value has no occasion (a file written by another program, or
// before deleting an occasion also deleted its values): such values are left
// out of every statistic, which only the join with Results does.
bool hasValuesWithoutOccasion(engine::Connection& connection)
{
    engine::Recordset rs;
    rs.open(QStringLiteral("SELECT Count(*) FROM Details WHERE Details.ID Is Null Or Details.ID "
                           "Not In (SELECT Results.ID FROM Results)"),
            &connection, engine::CursorType::Static, engine::LockType::ReadOnly);
    return rs.valueAt(0, 0).toLongLong() > 0;
}

QString extremesSql(const QString& which)
{
    // which is "Min" or "Max": the saved query's column and the extreme sought.
    QString sql = QStringLiteral(
        "SELECT [Statistics Query].Test, [Statistics Query].Units, [Statistics Query].%1 as "
        "Result, Results.Date, Periods.Period "
        "FROM Tests INNER JOIN ((Results INNER JOIN Periods ON Results.Period = Periods.ID) "
        "INNER JOIN ([Statistics Query] INNER JOIN Details ON ([Statistics Query].%1 = "
        "Details.Result) AND ([Statistics Query].ID = Details.Test)) ON Results.ID = Details.ID) "
        "ON Tests.ID = Details.Test "
        "GROUP BY [Statistics Query].Test, [Statistics Query].Units, [Statistics Query].%1, "
        "Results.Date, Periods.Period;");
    return sql.arg(which);
}

// Runs a data control's record source again; its failure is thrown for the
// trap instead of going out through its error signal.
void refreshOrThrow(widgets::DataControl* control)
{
    std::optional<Error> failure;
    const auto connection = QObject::connect(control, &widgets::DataControl::error,
                                             [&failure](int number, const QString& description) {
                                                 failure.emplace(number, description);
                                             });
    const bool ok = control->refresh();
    QObject::disconnect(connection);
    if (!ok)
        throw failure.value_or(Error(Error::DatabaseError, QStringLiteral("Refresh failed")));
}

widgets::DataGrid* makeGrid(const char* name, widgets::DataControl* source, QWidget* parent)
{
    auto* grid = new widgets::DataGrid(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setReadOnly(true);
    grid->setAllowAddNew(false);
    grid->setDataSource(source);
    return grid;
}

// Columns as wide as their contents, and the room left shared among them so
// that the grid uses the window's width.
void fitColumns(widgets::DataGrid* grid)
{
    grid->resizeColumnsToContents();
    int used = 0;
    int shown = 0;
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
        if (!grid->isColumnHidden(c)) {
            used += grid->columnWidth(c);
            ++shown;
        }
    }
    const int room = grid->viewport()->width() - used;
    if (room > 0 && shown > 0) {
        int left = room;
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            if (grid->isColumnHidden(c))
                continue;
            const int extra = left / shown--;
            grid->setColumnWidth(c, grid->columnWidth(c) + extra);
            left -= extra;
        }
    }
}

// Fresh rows: fitted, and with no cell chosen for the user.
void showRows(widgets::DataGrid* grid)
{
    fitColumns(grid);
    grid->selectionModel()->clear();
}

widgets::DataControl* makeDataControl(const char* name, QWidget* parent)
{
    auto* control = new widgets::DataControl(parent);
    control->setObjectName(QLatin1String(name));
    control->setVisible(false);
    control->setConnectionString(store::ListConnection);
    control->setLockType(engine::LockType::ReadOnly);
    return control;
}

} // namespace

frmStats::frmStats(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmStats"));
    setWindowTitle(QStringLiteral("Statistics"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_explanation = new QLabel(this);
    m_explanation->setObjectName(QStringLiteral("Label1"));
    m_explanation->setWordWrap(true);
    m_inputs = new DateRangeInputs({QStringLiteral("From "), QStringLiteral("to"), false}, this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK1"));
    widgets::pressOnEnter(this, m_ok);

    m_statistics = makeDataControl("datPrimaryRS1", this);
    m_statisticsGrid = makeGrid("DataGrid1", m_statistics, this);
    widgets::RecordsetModel::DerivedColumn outOfRange;
    outOfRange.header = QStringLiteral("Out of range");
    outOfRange.data = [counts = m_outOfRange](const engine::Recordset& rs, int row,
                                              int role) -> QVariant {
        const QString item = platform::valueText(rs.valueAt(row, 0)).toLower();
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole || !counts->contains(item))
            return {};
        return QString::number(counts->value(item));
    };
    m_statisticsGrid->recordsetModel()->setDerivedColumns({outOfRange});

    auto* frame = new QGroupBox(QStringLiteral("Option:"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_min = new QRadioButton(QStringLiteral("Min"), frame);
    m_min->setObjectName(QStringLiteral("Option1"));
    m_max = new QRadioButton(QStringLiteral("Max"), frame);
    m_max->setObjectName(QStringLiteral("Option2"));
    auto* options = new QHBoxLayout(frame);
    options->addWidget(m_min);
    options->addWidget(m_max);
    options->addStretch(1);

    m_extremes = makeDataControl("datPrimaryRS2", this);
    m_extremesGrid = makeGrid("DataGrid2", m_extremes, this);
    m_extremesGrid->recordsetModel()->setColumnFormat(3, QStringLiteral("Medium Date"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_explanation);
    auto* dates = new QHBoxLayout;
    dates->addWidget(m_inputs, 1);
    dates->addWidget(m_ok);
    layout->addLayout(dates);
    layout->addWidget(m_statisticsGrid, 1);
    layout->addWidget(frame);
    layout->addWidget(m_extremesGrid, 1);

    m_statisticsGrid->viewport()->installEventFilter(this);
    m_extremesGrid->viewport()->installEventFilter(this);
    connect(m_ok, &QPushButton::clicked, this, &frmStats::computeStatistics);
    connect(m_min, &QRadioButton::clicked, this, &frmStats::showMinimum);
    connect(m_max, &QRadioButton::clicked, this, &frmStats::showMaximum);

    // Load: the presets, the statistics over all dates, the minimum view.
    m_inputs->load(SelectDates);
    trapErrors(
        [this] {
            engine::Connection connection;
            connection.open(store::ListConnection);
            countOutOfRange(connection, {}, {});
            m_statistics->setRecordSource(hasValuesWithoutOccasion(connection)
                                              ? AllDatesSql
                                              : AllDatesFromIndexSql);
            refreshOrThrow(m_statistics);
        },
        SelectDates);
    showRows(m_statisticsGrid);
    m_min->setChecked(true);
    showMinimum();
    m_explanation->setText(Explanation);
    resize(720, 600);
}

QString frmStats::statisticsSql(const QDate& from, const QDate& to)
{
    return QStringLiteral("SELECT Tests.Test, Tests.Units, Format(Avg([Result]),'0.00') AS "
                          "Average, Min(Details.Result) AS Minimum, Max(Details.Result) AS "
                          "Maximum ") +
           QStringLiteral("FROM Tests INNER JOIN (Results INNER JOIN Details ON Results.ID = "
                          "Details.ID) ON Tests.ID = Details.Test ") +
           QStringLiteral("WHERE (((Results.Date) Between ") + platform::sqlDateLiteral(from) +
           QStringLiteral(" And ") + platform::sqlDateLiteral(to) + QStringLiteral(")) ") +
           QStringLiteral("GROUP BY Tests.Test, Tests.Units;");
}

void frmStats::countOutOfRange(engine::Connection& connection, const QDate& from, const QDate& to)
{
    m_outOfRange->clear();
    const auto ranges = store::rangesByName(store::readReferenceRanges(connection));
    if (ranges.isEmpty())
        return;
    for (auto it = ranges.cbegin(); it != ranges.cend(); ++it)
        m_outOfRange->insert(it.key(), 0);
    // Each distinct value once with its count, and only values beyond a
    // limit: the index on (Test, Result) finds those without reading the
    // others. Whether one is flagged (its unit) is decided below, by the
    // rule every window uses.
    QString sql = QStringLiteral("SELECT Tests.Test, Details.Result, Details.Unit, Count(*) AS N "
                                 "FROM Tests INNER JOIN (Results INNER JOIN Details ON Results.ID "
                                 "= Details.ID) ON Tests.ID = Details.Test WHERE ((Tests.Low Is "
                                 "Not Null And Details.Result < Tests.Low) Or (Tests.High Is Not "
                                 "Null And Details.Result > Tests.High))");
    if (from.isValid() && to.isValid())
        sql += QStringLiteral(" And Results.Date Between ") + platform::sqlDateLiteral(from) +
               QStringLiteral(" And ") + platform::sqlDateLiteral(to);
    sql += QStringLiteral(" GROUP BY Tests.Test, Details.Result, Details.Unit");
    engine::Recordset values;
    values.open(sql, &connection, engine::CursorType::Static, engine::LockType::ReadOnly);
    for (int row = 0; row < values.recordCount(); ++row) {
        const QString item = platform::valueText(values.valueAt(row, 0));
        const store::ValueFlag flag = store::flagValue(ranges, item, values.valueAt(row, 1),
                                                       platform::valueText(values.valueAt(row, 2)));
        if (flag.flag == store::RangeFlag::Low || flag.flag == store::RangeFlag::High)
            (*m_outOfRange)[item.toLower()] += values.valueAt(row, 3).toInt();
    }
}

void frmStats::computeStatistics()
{
    if (!m_inputs->checkBothDates())
        return;
    trapErrors(
        [this] {
            const QDate from = m_inputs->fromDate();
            const QDate to = m_inputs->toDate();
            if (from > to) {
                platform::ui().beep();
                platform::showMessage(
                    QStringLiteral("The Date From date can't be later then the Date To date."),
                    platform::Icon::Exclamation, QStringLiteral("Invalid Date Range"));
                return;
            }
            bool empty = false;
            {
                const platform::BusyPointer busy;
                engine::Connection connection;
                connection.open(store::ListConnection);
                countOutOfRange(connection, from, to);
                m_statistics->setRecordSource(statisticsSql(from, to));
                refreshOrThrow(m_statistics);
                empty = m_statistics->recordset()->recordCount() == 0;
                showRows(m_statisticsGrid);
            }
            if (empty)
                DateRangeInputs::showNoRecordsFound();
        },
        SelectDates);
}

// A grid given another width shares it among its columns again.
bool frmStats::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        for (widgets::DataGrid* grid : {m_statisticsGrid, m_extremesGrid}) {
            if (watched == grid->viewport())
                fitColumns(grid);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmStats::showMinimum()
{
    showExtremes(extremesSql(QStringLiteral("Min")));
}

void frmStats::showMaximum()
{
    showExtremes(extremesSql(QStringLiteral("Max")));
}

void frmStats::showExtremes(const QString& sql)
{
    trapErrors(
        [this, &sql] {
            const platform::BusyPointer busy;
            m_extremes->setRecordSource(sql);
            refreshOrThrow(m_extremes);
            showRows(m_extremesGrid);
        },
        SelectDates);
}

} // namespace vantor::overview
