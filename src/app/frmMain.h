#pragma once

#include <QMainWindow>

class QMdiArea;

namespace vantor::app {

// The main window: the menu bar that reaches every function, the MDI area for
// the data windows, and the status bar. It remembers where it was closed, and
// closing it closes every other window of the program.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    QMdiArea* mdiArea() const { return m_mdiArea; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void restorePlacement();
    void fitOuterSize();

    QMdiArea* m_mdiArea;
    QSize m_outerSize; // the restored size, frame included
    bool m_outerSizeFitted = false;
};

} // namespace vantor::app
