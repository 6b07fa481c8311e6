#pragma once

#include <QChartView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vantor::overview {

// The chart control: a table of values (rows are categories, columns are
// series, each with labels) drawn as a bar chart under a fixed title. Rows,
// columns and label levels count from 1, as the chart's data grid does.
//
// While repainting is off, changes only touch the table; switching it on
// draws the table once. Filling a chart of many rows thus costs one drawing.
class ChartControl : public QChartView
{
    Q_OBJECT

public:
    explicit ChartControl(const QString& title, QWidget* parent = nullptr);

    int rowCount() const { return int(m_values.size()); }
    int columnCount() const { return m_columnCount; }
    int rowLabelCount() const { return int(m_rowLabels.size()); }
    int columnLabelCount() const { return int(m_columnLabels.size()); }

    void insertRows(int row, int count);
    void deleteRows(int row, int count);
    void insertColumns(int column, int count);
    void deleteColumns(int column, int count);
    // Label levels: each level holds one label per row (or column).
    void insertRowLabels(int level, int count);
    void deleteRowLabels(int level, int count);
    void insertColumnLabels(int level, int count);
    void deleteColumnLabels(int level, int count);

    void setRowLabel(int row, int level, const QString& text);
    QString rowLabel(int row, int level) const;
    void setColumnLabel(int column, int level, const QString& text);
    QString columnLabel(int column, int level) const;

    // A value at a cell; with isNull set the cell holds no value.
    void setData(int row, int column, double value, bool isNull);
    std::optional<double> data(int row, int column) const;

    // The drawn series, one per column, and their markers (the value written
    // on each bar).
    int seriesCount() const { return m_columnCount; }
    void setSeriesMarkerShown(int series, bool shown);
    bool isSeriesMarkerShown(int series) const;

    void setRepaint(bool on);
    bool repaintEnabled() const { return m_repaint; }

private:
    static void checkIndex(int index, int count, const char* what);
    static void checkInsert(int index, int count, int size, const char* what);
    void changed();
    void redraw();

    // m_values[row][column]; an empty optional is a cell without a value.
    QList<QList<std::optional<double>>> m_values;
    int m_columnCount = 0;
    QList<QStringList> m_rowLabels;    // per level, one label per row
    QList<QStringList> m_columnLabels; // per level, one label per column
    QList<bool> m_markers;             // per column
    bool m_repaint = true;
};

} // namespace vantor::overview
