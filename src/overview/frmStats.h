#pragma once

#include "DateRangeInputs.h"

#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <memory>

namespace vantor::engine {
class Connection;
}

namespace vantor::widgets {
class DataControl;
class DataGrid;
} // namespace vantor::widgets

namespace vantor::overview {

// "Statistics": above, per test item its unit and the average, minimum and
// maximum of its results over a span of dates (all dates until OK is
// pressed); below, for each item, every occasion on which its minimum (or,
// with Max, its maximum) over all dates was measured.
class frmStats : public QWidget
{
    Q_OBJECT

public:
    explicit frmStats(QWidget* parent = nullptr);

    DateRangeInputs* inputs() const { return m_inputs; }

    // cmdOK1: the statistics of the chosen span in the upper table.
    void computeStatistics();
    // Option1 and Option2: the occasions of each item's minimum or maximum.
    void showMinimum();
    void showMaximum();

    static QString statisticsSql(const QDate& from, const QDate& to);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Counts the flagged values between from and to (all dates when null).
    void countOutOfRange(engine::Connection& connection, const QDate& from, const QDate& to);
    void showExtremes(const QString& sql);

    DateRangeInputs* m_inputs;
    QLabel* m_explanation;
    QPushButton* m_ok;
    widgets::DataControl* m_statistics;
    widgets::DataGrid* m_statisticsGrid;
    QRadioButton* m_min;
    QRadioButton* m_max;
    widgets::DataControl* m_extremes;
    widgets::DataGrid* m_extremesGrid;
    // Out of range: flagged values of the span by item name (lower case);
    // an item without a range has no entry.
    std::shared_ptr<QHash<QString, int>> m_outOfRange = std::make_shared<QHash<QString, int>>();
};

} // namespace vantor::overview
