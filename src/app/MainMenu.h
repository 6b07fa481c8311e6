#pragma once

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;

namespace vantor::app {

// The main window's menu bar. Each command opens its window through the
// window registry; a command whose window nobody has registered yet stays
// disabled, and comes alive the moment its window is registered.
class MainMenu : public QObject
{
    Q_OBJECT

public:
    explicit MainMenu(QMainWindow* window);

private:
    void addWindowCommand(QMenu* menu, const QString& name, const QString& caption,
                          const QString& windowName);
    void updateCommand(const QString& windowName);

    QMenuBar* m_bar;
};

} // namespace vantor::app
