#pragma once

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;

namespace vantor::app {

// The main window's menu bar. Each command opens its window through the
// window registry (the window's name is the action's data); every window is
// registered before the main window opens (registerAllWindows).
class MainMenu : public QObject
{
    Q_OBJECT

public:
    explicit MainMenu(QMainWindow* window);

private:
    void addWindowCommand(QMenu* menu, const QString& name, const QString& caption,
                          const QString& windowName);

    QMenuBar* m_bar;
};

} // namespace vantor::app
