#include "ChartControl.h"

#include "platform/Error.h"

#include "platform/Conversions.h"
#include "platform/Format.h"
#include "store/ReferenceRange.h"

#include <QAreaSeries>
#include <QChart>
#include <QCursor>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>

namespace vantor::overview {

namespace {

// The dates under the plot, in the four-digit medium form of the lists.
const QString DateLabelFormat = QStringLiteral("dd-MMM-yyyy");
constexpr double MsPerDay = 24.0 * 60 * 60 * 1000;
// Pixels per point from which the points are marked.
constexpr int MarkerSpacing = 6;

} // namespace

ChartControl::ChartControl(const QString& title, QWidget* parent) : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    chart()->setTitle(title);
    chart()->setTitleFont(QFont(QStringLiteral("Tahoma"), 10));
    chart()->legend()->setVisible(false);
    setMouseTracking(true);
    // The labels and markers that fit depend on the plot's width, known once
    // the chart has laid itself out.
    connect(chart(), &QChart::plotAreaChanged, this, &ChartControl::fitAxes);
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

void ChartControl::setValueTitle(const QString& title)
{
    m_valueTitle = title;
    changed();
}

// The plot's width in pixels, or an estimate from the view while the chart
// has not been laid out yet.
int ChartControl::plotWidth() const
{
    const int plot = int(chart()->plotArea().width());
    return plot > 10 ? plot : std::max(100, width() - 120);
}

void ChartControl::clearPlot()
{
    QChart* const c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    m_points.clear();
    m_dateAxis = nullptr;
}

// The time of each row from its label; rows whose label is no date have no
// place on a time axis (NaN).
QList<double> ChartControl::rowTimes() const
{
    QList<double> times;
    for (int row = 0; row < rowCount(); ++row) {
        const QString label = m_rowLabels.isEmpty() ? QString() : m_rowLabels[0][row];
        const QDate date = label.isEmpty() ? QDate() : platform::toDate(label);
        times << (date.isValid() ? dayTime(date) : qQNaN());
    }
    return times;
}

// One line a column, its points in date order (kept in m_points); extent
// grows to take in every point.
QList<QLineSeries*> ChartControl::makeLines(const QList<double>& times, Extent& extent)
{
    const int pixels = plotWidth();
    QList<QLineSeries*> lines;
    for (int column = 0; column < m_columnCount; ++column) {
        QList<QPointF> points;
        for (int row = 0; row < rowCount(); ++row) {
            const std::optional<double> value = m_values.at(row).at(column);
            if (!value || qIsNaN(times.at(row)))
                continue;
            points << QPointF(times.at(row), *value);
            extent.low = std::min(extent.low, *value);
            extent.high = std::max(extent.high, *value);
        }
        std::sort(points.begin(), points.end(),
                  [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
        if (!points.isEmpty()) {
            extent.first = std::min(extent.first, points.first().x());
            extent.last = std::max(extent.last, points.last().x());
        }

        auto* line = new QLineSeries;
        line->setName(m_columnLabels.isEmpty() ? QString() : m_columnLabels[0][column]);
        line->replace(forDrawing(points, pixels));
        line->setMarkerSize(7);
        line->setPointLabelsVisible(m_markers.at(column));
        line->setPointLabelsFormat(QStringLiteral("@yPoint"));
        line->setPointLabelsClipping(false);
        lines << line;
        connect(line, &QLineSeries::hovered, this,
                [this, column](const QPointF& point, bool state) { hover(column, point, state); });
        m_points << points;
    }
    return lines;
}

// The value axis spans the data and the band with a margin, so that small
// changes of a value that never nears zero stay visible; the date axis keeps
// the first and last point off the frame. Returns the date margin; an empty
// extent becomes a plot over today.
double ChartControl::setRanges(Extent& extent, QDateTimeAxis* dates, QValueAxis* values) const
{
    // The band in view, so that the values are seen against both its limits.
    if (extent.low <= extent.high) {
        for (const std::optional<double>& limit : {m_low, m_high}) {
            if (limit) {
                extent.low = std::min(extent.low, *limit);
                extent.high = std::max(extent.high, *limit);
            }
        }
    }
    if (extent.low > extent.high) {
        // No value to draw: an empty plot over today.
        extent.low = 0;
        extent.high = 1;
        extent.first = extent.last = dayTime(QDate::currentDate());
    }
    const double spread = extent.high - extent.low;
    const double margin = spread > 0 ? spread * 0.1 : std::max(std::abs(extent.high) * 0.05, 1.0);
    values->setRange(extent.low - margin, extent.high + margin);
    values->applyNiceNumbers();
    // Half a day at least either side; a lone day gets a day either side, so
    // that its date stands under it.
    const double dayMargin = extent.last > extent.first
                                 ? std::max((extent.last - extent.first) * 0.02, MsPerDay / 2)
                                 : MsPerDay;
    dates->setRange(QDateTime::fromMSecsSinceEpoch(qint64(extent.first - dayMargin)),
                    QDateTime::fromMSecsSinceEpoch(qint64(extent.last + dayMargin)));
    return dayMargin;
}

// The reference band from left to right; a missing limit leaves it open to
// that edge of the plot.
void ChartControl::addBand(double left, double right, QDateTimeAxis* dates, QValueAxis* values)
{
    const double bottom = m_low.value_or(values->min());
    const double top = m_high.value_or(values->max());
    auto* lower = new QLineSeries;
    lower->append({QPointF(left, bottom), QPointF(right, bottom)});
    auto* upper = new QLineSeries;
    upper->append({QPointF(left, top), QPointF(right, top)});
    auto* area = new QAreaSeries(upper, lower);
    // The area draws its edges but does not own them.
    upper->setParent(area);
    lower->setParent(area);
    area->setName(m_rangeName);
    area->setObjectName(QStringLiteral("referenceRange"));
    area->setBrush(QColor(0x4C, 0xAF, 0x50, 0x40));
    area->setPen(QPen(QColor(0x4C, 0xAF, 0x50, 0x90), 1, Qt::DashLine));
    chart()->addSeries(area);
    area->attachAxis(dates);
    area->attachAxis(values);
}

// The points outside the reference range, drawn again in red. Each is an
// item of its own in the scene, so like the line they are thinned to the
// lowest and highest of each pixel column: the most extreme stay in sight.
void ChartControl::addOutsidePoints(QDateTimeAxis* dates, QValueAxis* values)
{
    auto* outside = new QScatterSeries;
    outside->setName(QStringLiteral("Outside the range"));
    outside->setObjectName(QStringLiteral("outsideRange"));
    outside->setColor(QColor(0xC0, 0x00, 0x00));
    outside->setBorderColor(QColor(0xC0, 0x00, 0x00));
    outside->setMarkerSize(9);
    const int pixels = plotWidth();
    for (const QList<QPointF>& points : std::as_const(m_points)) {
        QList<QPointF> beyond; // in date order, as the line's points are
        for (const QPointF& point : points) {
            const store::RangeFlag flag =
                store::rangeFlag(point.y(), m_low, m_high, QString(), QString());
            if (flag == store::RangeFlag::Low || flag == store::RangeFlag::High)
                beyond << point;
        }
        outside->append(forDrawing(beyond, pixels));
    }
    chart()->addSeries(outside);
    outside->attachAxis(dates);
    outside->attachAxis(values);
}

void ChartControl::redraw()
{
    clearPlot();
    if (m_columnCount == 0 || m_values.isEmpty())
        return;
    QChart* const c = chart();
    auto* dates = new QDateTimeAxis;
    dates->setFormat(DateLabelFormat);
    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.10g"));
    values->setTitleText(m_valueTitle);
    c->addAxis(dates, Qt::AlignBottom);
    c->addAxis(values, Qt::AlignLeft);
    m_dateAxis = dates;

    Extent extent;
    // Added once the axes are known: the band goes first, so it lies behind.
    const QList<QLineSeries*> lines = makeLines(rowTimes(), extent);
    const double dayMargin = setRanges(extent, dates, values);
    const bool band = m_low || m_high;
    if (band)
        addBand(extent.first - dayMargin, extent.last + dayMargin, dates, values);
    for (QLineSeries* line : lines) {
        c->addSeries(line);
        line->attachAxis(dates);
        line->attachAxis(values);
        if (line->name().isEmpty())
            for (QLegendMarker* marker : c->legend()->markers(line))
                marker->setVisible(false);
    }
    if (band)
        addOutsidePoints(dates, values);

    c->legend()->setVisible(m_columnCount > 1 || band);
    fitAxes();
}

void ChartControl::setReferenceRange(std::optional<double> low, std::optional<double> high,
                                     const QString& name)
{
    m_low = low;
    m_high = high;
    m_rangeName = name;
    changed();
}

// As many date labels as fit side by side, with room between them.
void ChartControl::fitAxes()
{
    if (!m_dateAxis)
        return;
    const QFontMetrics metrics(m_dateAxis->labelsFont());
    int widest = 0;
    for (int month = 1; month <= 12; ++month)
        widest = std::max(
            widest, metrics.horizontalAdvance(QDate(2000, month, 28).toString(DateLabelFormat)));
    const int labelWidth = widest + metrics.averageCharWidth() * 3;
    // Never two labels on one day: the label would repeat its date.
    const qint64 days = m_dateAxis->min().daysTo(m_dateAxis->max());
    const int ticks = std::clamp(plotWidth() / std::max(labelWidth, 1), 2,
                                 int(std::clamp<qint64>(days + 1, 2, 12)));
    if (m_dateAxis->tickCount() != ticks)
        m_dateAxis->setTickCount(ticks);
    // Markers while they stay apart; a lone day always shows its point.
    int s = 0;
    for (QAbstractSeries* drawn : chart()->series()) {
        auto* line = qobject_cast<QLineSeries*>(drawn);
        if (line && s < m_points.size())
            line->setPointsVisible(m_points.at(s++).size() * MarkerSpacing <= plotWidth());
    }
}

// Points beyond two per pixel only slow the drawing down: each pixel column
// keeps its lowest and highest value, in date order. The table keeps all.
QList<QPointF> ChartControl::forDrawing(const QList<QPointF>& points, int pixels)
{
    if (points.size() <= 2 * pixels || points.size() < 3)
        return points;
    QList<QPointF> drawn;
    drawn.reserve(2 * pixels + 2);
    const double first = points.first().x();
    const double width = (points.last().x() - first) / pixels;
    int start = 0;
    while (start < points.size()) {
        const int bucket = int((points.at(start).x() - first) / width);
        int end = start;
        int lowest = start;
        int highest = start;
        while (end < points.size() && int((points.at(end).x() - first) / width) == bucket) {
            if (points.at(end).y() < points.at(lowest).y())
                lowest = end;
            if (points.at(end).y() > points.at(highest).y())
                highest = end;
            ++end;
        }
        drawn << points.at(std::min(lowest, highest));
        if (lowest != highest)
            drawn << points.at(std::max(lowest, highest));
        start = end;
    }
    return drawn;
}

double ChartControl::dayTime(const QDate& date)
{
    // Noon: no change of clocks moves a point onto the neighbouring day.
    return double(QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch());
}

QString ChartControl::pointText(int series, int index) const
{
    const QPointF point = m_points.at(series).at(index);
    const QDate date = QDateTime::fromMSecsSinceEpoch(qint64(point.x())).date();
    QString text =
        platform::mediumDate(date) + QStringLiteral(": ") + QLocale().toString(point.y(), 'g', 10);
    if (!m_valueTitle.isEmpty())
        text += u' ' + m_valueTitle;
    return text;
}

// The date and value of the point nearest to where the pointer rests.
void ChartControl::hover(int series, const QPointF& point, bool state)
{
    if (!state || series >= m_points.size() || m_points.at(series).isEmpty()) {
        QToolTip::hideText();
        m_hoverText.clear();
        return;
    }
    const QList<QPointF>& points = m_points.at(series);
    const auto after = std::lower_bound(points.cbegin(), points.cend(), point.x(),
                                        [](const QPointF& p, double x) { return p.x() < x; });
    qsizetype index = after - points.cbegin();
    if (index == points.size() ||
        (index > 0 && point.x() - points.at(index - 1).x() < after->x() - point.x()))
        --index;
    m_hoverText = pointText(series, int(index));
    QToolTip::showText(QCursor::pos(), m_hoverText, this);
}

} // namespace vantor::overview
