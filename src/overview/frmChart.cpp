#include "frmChart.h"

#include "ChartControl.h"

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "store/ReferenceRange.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vantor::overview {

namespace {

double valueNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::Int:
        return value.toDouble();
    case QMetaType::QString:
        return platform::toDouble(value.toString());
    default:
        throw Error::typeMismatch();
    }
}

// Finds the number of a row or column by its text, adding it when new.
int numberOf(QHash<QString, int>& collection, int& counter, const QString& key, bool& added)
{
    added = !frmChart::KeyExists(collection, key);
    if (added)
        collection.insert(key, ++counter);
    return collection.value(key);
}

} // namespace

frmChart::frmChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmChart"));
    setWindowTitle(QStringLiteral("Results Chart"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_chart = new ChartControl(QStringLiteral("Results Chart"), this);
    m_chart->setObjectName(QStringLiteral("chtReport"));
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chart, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    resize(640, 420);

    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
}

QString frmChart::chartCommand(const ChartRequest& request)
{
    const QString query =
        QStringLiteral("SELECT Results.Date, Periods.Period, Tests.Test, Details.Result, "
                       "Tests.Units, Periods.ID ") +
        QStringLiteral("FROM Periods INNER JOIN (Tests INNER JOIN (Results INNER JOIN Details ON "
                       "Results.ID = Details.ID) ON Tests.ID = Details.Test) ON Periods.ID = "
                       "Results.Period ") +
        QStringLiteral("WHERE (((Results.Date) Between ") + platform::sqlDateLiteral(request.from) +
        QStringLiteral(" And ") + platform::sqlDateLiteral(request.to) +
        QStringLiteral(") AND ((Tests.ID) = ") + QString::number(request.item) +
        QStringLiteral(")) ") +
        QStringLiteral("ORDER BY Results.Date, Tests.Test, Results.Period, Periods.ID;");
    return QStringLiteral("SHAPE {") + query +
           QStringLiteral("} AS ChildCommand COMPUTE ChildCommand, AVG(ChildCommand.[Result]) AS "
                          "[Result] BY [Date]");
}

void frmChart::showResults(const ChartRequest& request)
{
    setWindowTitle(QStringLiteral("Chart Results for ") + request.itemName);
    try {
        engine::Connection connection;
        engine::Recordset rows;
        {
            const platform::BusyPointer busy;
            connection.open(store::ChartShapeConnection);
            rows.open(chartCommand(request), &connection);
            engine::Recordset item;
            item.open(QStringLiteral("SELECT Units FROM Tests WHERE ID = ") +
                          QString::number(request.item),
                      &connection);
            item.moveFirst();
            m_chart->setValueTitle(
                item.eof() ? QString() : platform::valueText(item.value(QStringLiteral("Units"))));
            showReferenceRange(connection, request);
        }
        if (rows.recordCount() == 0)
            throw Error(Error::NoCurrentRecord,
                        QStringLiteral("Sorry, there are no records which match that criteria."));
        FillChart(rows, QStringLiteral("Date"), QStringLiteral("Result"), QString());
        ShowSeriesMarkers(false);
    } catch (const Error& error) {
        ShowError(error);
    }
}

// The item's range behind the daily means. Values of the span recorded in
// another unit than the item's are averaged with the rest, so such a chart
// is not compared with the range at all.
void frmChart::showReferenceRange(engine::Connection& connection, const ChartRequest& request)
{
    const store::ReferenceRange range = store::readReferenceRanges(connection).value(request.item);
    bool comparable = !range.isEmpty();
    if (comparable) {
        engine::Recordset units;
        units.open(QStringLiteral("SELECT DISTINCT Details.Unit FROM Results INNER JOIN Details "
                                  "ON Results.ID = Details.ID WHERE Details.Test = ") +
                       QString::number(request.item) +
                       QStringLiteral(" AND Results.Date Between ") +
                       platform::sqlDateLiteral(request.from) + QStringLiteral(" And ") +
                       platform::sqlDateLiteral(request.to),
                   &connection);
        for (int row = 0; row < units.recordCount() && comparable; ++row)
            comparable = store::rangeFlag(0, range, platform::valueText(units.valueAt(row, 0))) !=
                         store::RangeFlag::NotCompared;
    }
    if (comparable)
        m_chart->setReferenceRange(range.low, range.high,
                                   QStringLiteral("Reference range ") + store::rangeText(range));
    else
        m_chart->setReferenceRange(std::nullopt, std::nullopt, QString());
}

void frmChart::FillChart(engine::Recordset& rows, const QString& categoryField,
                         const QString& valueField, const QString& seriesField)
{
    const bool severalSeries = !seriesField.isEmpty();
    QHash<QString, int> categories;
    QHash<QString, int> series;
    int rowCounter = 0;
    int columnCounter = 0;
    try {
        m_chart->setRepaint(false);
        if (m_chart->rowCount() > 0)
            m_chart->deleteRows(1, m_chart->rowCount());
        if (m_chart->columnCount() > 0)
            m_chart->deleteColumns(1, m_chart->columnCount());
        if (m_chart->columnLabelCount() > 0)
            m_chart->deleteColumnLabels(1, m_chart->columnLabelCount());
        if (m_chart->rowLabelCount() > 0)
            m_chart->deleteRowLabels(1, m_chart->rowLabelCount());
        m_chart->insertColumnLabels(1, 1);
        m_chart->insertRowLabels(1, 1);
        if (!severalSeries)
            m_chart->insertColumns(1, 1);

        for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
            bool added = false;
            const QString category =
                platform::valueText(NullToValue(rows.value(categoryField), false));
            const int row = numberOf(categories, rowCounter, category, added);
            if (added) {
                m_chart->insertRows(row, 1);
                m_chart->setRowLabel(row, 1, category);
            }
            int column = 1;
            if (severalSeries) {
                const QString name =
                    platform::valueText(NullToValue(rows.value(seriesField), false));
                column = numberOf(series, columnCounter, name, added);
                if (added) {
                    m_chart->insertColumns(column, 1);
                    m_chart->setColumnLabel(column, 1, name);
                }
            }
            m_chart->setData(row, column, valueNumber(NullToValue(rows.value(valueField), true)),
                             false);
        }
        m_chart->setRepaint(true);
    } catch (const Error& error) {
        m_chart->setRepaint(true);
        ShowError(error);
    }
}

void frmChart::ShowSeriesMarkers(bool show)
{
    for (int series = 1; series <= m_chart->seriesCount(); ++series)
        m_chart->setSeriesMarkerShown(series, show);
}

bool frmChart::KeyExists(const QHash<QString, int>& collection, const QString& key)
{
    return collection.contains(key);
}

QVariant frmChart::NullToValue(const QVariant& value, bool numeric)
{
    if (!value.isNull())
        return value;
    return numeric ? QVariant(0.0) : QVariant(QString());
}

void frmChart::ShowError(const Error& error)
{
    platform::showMessage(error.description(), platform::Icon::Exclamation);
}

} // namespace vantor::overview
