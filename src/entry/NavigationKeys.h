#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

namespace vantor::entry {

class RecordNavigator;

// The keys of a record window, seen by the window before any of its controls
// (an application-wide filter that keeps only the window's own widgets):
// Escape closes the window; Home and End go to the first and last record; Up
// and Page Up go back one record, Down and Page Down forward one, and with
// Ctrl alone (no Shift or Alt beside it) to the first or last record. A key
// that moves is not passed on to the control that has the focus.
class NavigationKeys : public QObject
{
    Q_OBJECT

public:
    NavigationKeys(QWidget* window, RecordNavigator* navigator);

    // What a key press does to the window; false for a key it does not use.
    bool handle(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    QPointer<RecordNavigator> m_navigator;
};

} // namespace vantor::entry
