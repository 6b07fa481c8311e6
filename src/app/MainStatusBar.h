#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

namespace vantor::app {

// The main window's status bar: "Status", today's date and the time of day,
// the last two kept current.
class MainStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit MainStatusBar(QWidget* parent = nullptr);

    // Reads the clock again; the timer calls this every second.
    void refresh();

private:
    QLabel* m_status;
    QLabel* m_date;
    QLabel* m_time;
    QTimer* m_timer;
};

} // namespace vantor::app
