#pragma once

#include <QDate>
#include <QHash>
#include <QPushButton>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace vantor {
class Error;
namespace engine {
class Connection;
class Recordset;
} // namespace engine
} // namespace vantor

namespace vantor::overview {

class ChartControl;

// What the chart shows: one item's results over a span of dates.
struct ChartRequest
{
    QDate from;
    QDate to;
    qint32 item = 0;
    QString itemName;
};

// "Results Chart": the daily averages of one test item over a span of
// dates, one point per date on which the item was measured. The window draws
// once, when it opens; a chart of other inputs needs a fresh window.
class frmChart : public QWidget
{
    Q_OBJECT

public:
    explicit frmChart(QWidget* parent = nullptr);

    ChartControl* chart() const { return m_chart; }

    // Reads the item's values of the span and draws them. A failure, or a
    // span without values, is told to the user and leaves the chart empty.
    void showResults(const ChartRequest& request);

    // Rebuilds the chart's table from a recordset: a row per distinct text of
    // categoryField (in the order of first appearance), a column per distinct
    // text of seriesField (one column when it is empty), and in each cell the
    // value of valueField. Failures are shown; the chart keeps what was
    // filled so far.
    void FillChart(engine::Recordset& rows, const QString& categoryField, const QString& valueField,
                   const QString& seriesField);
    void ShowSeriesMarkers(bool show);

    static bool KeyExists(const QHash<QString, int>& collection, const QString& key);
    // A null becomes 0 (numeric) or an empty text; other values pass unchanged.
    static QVariant NullToValue(const QVariant& value, bool numeric);
    static void ShowError(const Error& error);

    // The shape command of the chart: the item's values of the span, and per
    // date their average as Result.
    static QString chartCommand(const ChartRequest& request);

private:
    void showReferenceRange(engine::Connection& connection, const ChartRequest& request);

    ChartControl* m_chart;
    QPushButton* m_close;
};

} // namespace vantor::overview
