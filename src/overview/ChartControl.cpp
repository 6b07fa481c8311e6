#include "ChartControl.h"

#include "platform/Error.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>

#include <algorithm>

namespace vantor::overview {

namespace {

// From this many categories on, the date labels stand upright to stay readable.
constexpr int UprightLabelsFrom = 8;

} // namespace

ChartControl::ChartControl(const QString& title, QWidget* parent) : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    chart()->setTitle(title);
    chart()->setTitleFont(QFont(QStringLiteral("Tahoma"), 10));
    chart()->legend()->setVisible(false);
}

void ChartControl::checkIndex(int index, int count, const char* what)
{
    if (index < 1 || index > count)
        throw Error(Error::InvalidProcedureCall,
                    QStringLiteral("The chart has no %1 %2.").arg(QLatin1String(what)).arg(index));
}

void ChartControl::checkInsert(int index, int count, int size, const char* what)
{
    if (count < 0 || index < 1 || index > size + 1)
        throw Error(
            Error::InvalidProcedureCall,
            QStringLiteral("A %1 cannot be inserted at %2.").arg(QLatin1String(what)).arg(index));
}

void ChartControl::insertRows(int row, int count)
{
    checkInsert(row, count, rowCount(), "row");
    m_values.insert(row - 1, count, QList<std::optional<double>>(m_columnCount));
    for (QStringList& level : m_rowLabels)
        level.insert(row - 1, count, QString());
    changed();
}

void ChartControl::deleteRows(int row, int count)
{
    checkIndex(row, rowCount(), "row");
    count = std::clamp(count, 0, rowCount() - row + 1);
    m_values.remove(row - 1, count);
    for (QStringList& level : m_rowLabels)
        level.remove(row - 1, count);
    changed();
}

void ChartControl::insertColumns(int column, int count)
{
    checkInsert(column, count, m_columnCount, "column");
    for (auto& values : m_values)
        values.insert(column - 1, count, std::optional<double>());
    for (QStringList& level : m_columnLabels)
        level.insert(column - 1, count, QString());
    m_markers.insert(column - 1, count, true);
    m_columnCount += count;
    changed();
}

void ChartControl::deleteColumns(int column, int count)
{
    checkIndex(column, m_columnCount, "column");
    count = std::clamp(count, 0, m_columnCount - column + 1);
    for (auto& values : m_values)
        values.remove(column - 1, count);
    for (QStringList& level : m_columnLabels)
        level.remove(column - 1, count);
    m_markers.remove(column - 1, count);
    m_columnCount -= count;
    changed();
}

void ChartControl::insertRowLabels(int level, int count)
{
    checkInsert(level, count, rowLabelCount(), "row label level");
    m_rowLabels.insert(level - 1, count, QStringList(rowCount()));
    changed();
}

void ChartControl::deleteRowLabels(int level, int count)
{
    checkIndex(level, rowLabelCount(), "row label level");
    m_rowLabels.remove(level - 1, std::clamp(count, 0, rowLabelCount() - level + 1));
    changed();
}

void ChartControl::insertColumnLabels(int level, int count)
{
    checkInsert(level, count, columnLabelCount(), "column label level");
    m_columnLabels.insert(level - 1, count, QStringList(m_columnCount));
    changed();
}

void ChartControl::deleteColumnLabels(int level, int count)
{
    checkIndex(level, columnLabelCount(), "column label level");
    m_columnLabels.remove(level - 1, std::clamp(count, 0, columnLabelCount() - level + 1));
    changed();
}

void ChartControl::setRowLabel(int row, int level, const QString& text)
{
    checkIndex(row, rowCount(), "row");
    checkIndex(level, rowLabelCount(), "row label level");
    m_rowLabels[level - 1][row - 1] = text;
    changed();
}

QString ChartControl::rowLabel(int row, int level) const
{
    checkIndex(row, rowCount(), "row");
    checkIndex(level, rowLabelCount(), "row label level");
    return m_rowLabels.at(level - 1).at(row - 1);
}

void ChartControl::setColumnLabel(int column, int level, const QString& text)
{
    checkIndex(column, m_columnCount, "column");
    checkIndex(level, columnLabelCount(), "column label level");
    m_columnLabels[level - 1][column - 1] = text;
    changed();
}

QString ChartControl::columnLabel(int column, int level) const
{
    checkIndex(column, m_columnCount, "column");
    checkIndex(level, columnLabelCount(), "column label level");
    return m_columnLabels.at(level - 1).at(column - 1);
}

void ChartControl::setData(int row, int column, double value, bool isNull)
{
    checkIndex(row, rowCount(), "row");
    checkIndex(column, m_columnCount, "column");
    m_values[row - 1][column - 1] = isNull ? std::optional<double>() : value;
    changed();
}

std::optional<double> ChartControl::data(int row, int column) const
{
    checkIndex(row, rowCount(), "row");
    checkIndex(column, m_columnCount, "column");
    return m_values.at(row - 1).at(column - 1);
}

void ChartControl::setSeriesMarkerShown(int series, bool shown)
{
    checkIndex(series, m_columnCount, "series");
    m_markers[series - 1] = shown;
    changed();
}

bool ChartControl::isSeriesMarkerShown(int series) const
{
    checkIndex(series, m_columnCount, "series");
    return m_markers.at(series - 1);
}

void ChartControl::setRepaint(bool on)
{
    m_repaint = on;
    changed();
}

void ChartControl::changed()
{
    if (m_repaint)
        redraw();
}

void ChartControl::redraw()
{
    QChart* const c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    if (m_columnCount == 0 || m_values.isEmpty())
        return;

    auto* series = new QBarSeries;
    double low = 0;
    double high = 0;
    for (int column = 0; column < m_columnCount; ++column) {
        const QString name = m_columnLabels.isEmpty() ? QString() : m_columnLabels[0][column];
        auto* set = new QBarSet(name);
        for (const auto& row : std::as_const(m_values)) {
            // A cell without a value draws no bar.
            const double value = row.at(column).value_or(0.0);
            set->append(value);
            low = std::min(low, value);
            high = std::max(high, value);
        }
        // A bar set cannot hide its own labels: a hidden marker is written unseen.
        if (!m_markers.at(column))
            set->setLabelColor(Qt::transparent);
        series->append(set);
    }
    series->setLabelsVisible(std::find(m_markers.cbegin(), m_markers.cend(), true) !=
                             m_markers.cend());
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    c->addSeries(series);

    auto* categories = new QBarCategoryAxis;
    QStringList labels;
    for (int row = 0; row < rowCount(); ++row) {
        QString label = m_rowLabels.isEmpty() ? QString() : m_rowLabels[0][row];
        // The axis keeps one category per distinct text.
        if (label.isEmpty() || labels.contains(label))
            label = QStringLiteral("%1 (%2)").arg(label).arg(row + 1).trimmed();
        labels << label;
    }
    categories->append(labels);
    if (rowCount() >= UprightLabelsFrom)
        categories->setLabelsAngle(-90);
    c->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);

    auto* values = new QValueAxis;
    values->setRange(low, high > low ? high : low + 1);
    values->applyNiceNumbers();
    values->setLabelFormat(QStringLiteral("%g"));
    c->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);

    c->legend()->setVisible(m_columnCount > 1);
}

} // namespace vantor::overview
