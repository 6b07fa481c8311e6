#pragma once

#include <QHash>
#include <QList>
#include <QMdiArea>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace vantor::widgets {

// The program's windows, one instance per window class, known by the class
// name ("frmBrowse"). A window is created (its load routine runs) the first
// time it is asked for and brought forward on every later request; closing it
// discards it, and the next request loads it afresh. Child windows live in the
// main window's MDI area, all others are top-level.
//
// The registry remembers the load order, so that closing the main window can
// close the rest, the most recently loaded first.
class WindowRegistry : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Own, Child };
    // Creates the window with its controls and runs its load routine. A load
    // routine that refuses to open (after telling the user why) returns nullptr.
    using Factory = std::function<QWidget*()>;

    static WindowRegistry& instance();

    void registerWindow(const QString& name, Kind kind, Factory factory);
    void unregisterWindow(const QString& name);
    bool isRegistered(const QString& name) const;
    Kind kind(const QString& name) const;

    // Where child windows go; without one they open as windows of their own.
    void setMdiArea(QMdiArea* area);
    QMdiArea* mdiArea() const { return m_mdiArea; }

    // Loads the window if needed, without showing it: lets a caller fill in
    // a window before the user sees it. nullptr when unknown or refused.
    QWidget* load(const QString& name);
    // Loads the window if needed and brings it forward, never modal.
    QWidget* show(const QString& name);

    QWidget* find(const QString& name) const;
    bool isLoaded(const QString& name) const { return find(name) != nullptr; }
    // Names of the loaded windows, oldest first.
    QStringList loadOrder() const;

    // Closes every loaded window except `keep`, the most recently loaded first.
    // False when a window refused to close; the windows loaded before it stay.
    bool closeAll(const QWidget* keep = nullptr);

private:
    struct Entry
    {
        Kind kind = Kind::Own;
        Factory factory;
    };
    struct Loaded
    {
        QString name;
        QPointer<QWidget> window;    // what the factory made, named after its class
        QPointer<QWidget> frame;     // the MDI sub-window of a child, else the window
        const QObject* id = nullptr; // the window's address, still known while it dies
    };

    WindowRegistry() = default;
    qsizetype indexOf(const QString& name) const;
    void forget(const QObject* id);

    QHash<QString, Entry> m_entries;
    QList<Loaded> m_loaded;
    QPointer<QMdiArea> m_mdiArea;
};

inline WindowRegistry& windows()
{
    return WindowRegistry::instance();
}

} // namespace vantor::widgets
