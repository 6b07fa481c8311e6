// vantor-screenshots DIR: pictures of the program's windows for a person to
// look at, on a fresh demo database. The main window at its first-run size
// with each window of its menus in turn (a window of its own alone), Edit with
// Details open, and the main window maximized. scripts/screenshots.sh runs it
// on the offscreen platform.

#include "ProgramWindows.h"
#include "platform/RecordingUi.h"
#include "store/Database.h"
#include "widgets/WindowRegistry.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

using namespace vantor;

namespace {

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

bool save(QWidget* widget, const QDir& folder, const QString& name)
{
    settle();
    const QString file = folder.filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(file)) {
        err() << "vantor-screenshots: could not write " << file << Qt::endl;
        return false;
    }
    QTextStream(stdout) << file << Qt::endl;
    return true;
}

void click(const QString& window, const char* button)
{
    if (QWidget* w = widgets::windows().find(window)) {
        if (auto* b = w->findChild<QAbstractButton*>(QLatin1String(button)))
            b->click();
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        err() << "usage: vantor-screenshots DIR" << Qt::endl;
        return 2;
    }
    const QDir folder(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    QTemporaryDir work;
    if (!folder.mkpath(QStringLiteral(".")) || !work.isValid() || !QDir::setCurrent(work.path())) {
        err() << "vantor-screenshots: no folder to work in" << Qt::endl;
        return 1;
    }
    // A first run: no placement of the user's own, no real message boxes.
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, work.filePath(QStringLiteral("settings")));
    platform::RecordingUi ui;
    platform::setUi(&ui);
    store::createDemoDatabase(QStringLiteral("vantor.mdb"));
    registerAllWindows();
    auto& windows = widgets::windows();

    auto* main = qobject_cast<QMainWindow*>(windows.show(QStringLiteral("frmMain")));
    bool ok = main && save(main, folder, QStringLiteral("frmMain"));
    for (QAction* menu : main->menuBar()->actions()) {
        for (QAction* command : menu->menu()->actions()) {
            const QString name = command->data().toString();
            if (name.isEmpty())
                continue;
            command->trigger();
            QWidget* window = windows.find(name);
            if (!window) {
                err() << "vantor-screenshots: " << name << " did not open" << Qt::endl;
                ok = false;
                continue;
            }
            const bool child = windows.kind(name) == widgets::WindowRegistry::Kind::Child;
            ok = save(child ? main : window->window(), folder, name) && ok;
            windows.closeAll(main);
        }
    }

    windows.show(QStringLiteral("frmEdit"));
    click(QStringLiteral("frmEdit"), "cmdLast");
    click(QStringLiteral("frmEdit"), "cmdDetails");
    ok = save(main, folder, QStringLiteral("main-edit-details")) && ok;
    main->showMaximized();
    ok = save(main, folder, QStringLiteral("main-edit-details-maximized")) && ok;

    for (const auto& message : ui.messages())
        err() << "message: " << message.title << ": " << message.text << Qt::endl;
    windows.closeAll();
    platform::setUi(nullptr);
    return ok ? 0 : 1;
}
