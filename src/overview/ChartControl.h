#pragma once

#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QValueAxis>
#include <QtNumeric>

#include <optional>

namespace vantor::overview {

// The chart control: a table of values (rows are categories, columns are
// series, each with labels) drawn under a fixed title. Rows,
// columns and label levels count from 1, as the chart's data grid does.
//
// The row labels are dates: each series is drawn as a line with point
// markers over a date axis, so a gap of a month looks like a month. The
// value axis spans the values with a margin rather than starting at zero,
// the date labels are thinned to what fits the plot's width, and resting the
// pointer on the line shows the nearest point's date and value. Series of
// more points than the plot has pixels are thinned for drawing only.
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

    // A value at a cell; with isNull set the cell holds no value.
    void setData(int row, int column, double value, bool isNull);
    std::optional<double> data(int row, int column) const;

    // The title of the value axis (the unit of the values).
    void setValueTitle(const QString& title);

    // The drawn series, one per column, and their markers (the value written
    // at each point).
    int seriesCount() const { return m_columnCount; }
    void setSeriesMarkerShown(int series, bool shown);

    // The reference range of the values: a shaded band behind the series,
    // named in the legend, and the points outside it drawn again in a
    // contrasting colour. Either limit may be missing; none clears it.
    void setReferenceRange(std::optional<double> low, std::optional<double> high,
                           const QString& name);

    void setRepaint(bool on);

    // The date and value of a series' point (0-based, in date order), as the
    // pointer shows it; and the text shown for the last hover.
    QString pointText(int series, int index) const;
    QString hoverText() const { return m_hoverText; }

private:
    static QList<QPointF> forDrawing(const QList<QPointF>& points, int pixels);
    static double dayTime(const QDate& date);
    int plotWidth() const;
    void fitAxes();
    void hover(int series, const QPointF& point, bool state);
    static void checkIndex(int index, int count, const char* what);
    static void checkInsert(int index, int count, int size, const char* what);
    void changed();

    // Drawing the table: the lines, the axes' ranges, the reference band.
    struct Extent
    {
        double low = qInf(); // of the values
        double high = -qInf();
        double first = qInf(); // of the dates
        double last = -qInf();
    };
    void redraw();
    void clearPlot();
    QList<double> rowTimes() const;
    QList<QLineSeries*> makeLines(const QList<double>& times, Extent& extent);
    double setRanges(Extent& extent, QDateTimeAxis* dates, QValueAxis* values) const;
    void addBand(double left, double right, QDateTimeAxis* dates, QValueAxis* values);
    void addOutsidePoints(QDateTimeAxis* dates, QValueAxis* values);

    // m_values[row][column]; an empty optional is a cell without a value.
    QList<QList<std::optional<double>>> m_values;
    int m_columnCount = 0;
    QList<QStringList> m_rowLabels;    // per level, one label per row
    QList<QStringList> m_columnLabels; // per level, one label per column
    QList<bool> m_markers;             // per column
    bool m_repaint = true;
    QString m_valueTitle;
    std::optional<double> m_low;
    std::optional<double> m_high;
    QString m_rangeName;
    QList<QList<QPointF>> m_points; // per series, every point in date order
    QDateTimeAxis* m_dateAxis = nullptr;
    QString m_hoverText;
};

} // namespace vantor::overview
