#pragma once

#include <QWidget>

class QTimer;

namespace vantor::app {

// The start-up window: product name and version for a moment, then the main
// window takes over and the splash goes away.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget* parent = nullptr);

private:
    void Timer1_Timer();

    QTimer* m_timer;
};

} // namespace vantor::app
