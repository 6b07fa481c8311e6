#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QKeyEvent;
class QMdiArea;
class QWidget;

namespace vantor::widgets {

// Alt+letter presses the button of the active child window whose caption
// underlines that letter, before the main window's menu bar sees the key.
// All child windows live in one top-level window, so their buttons and the
// menu titles would otherwise claim the same keys and none would win.
class ChildAccessKeys : public QObject
{
    Q_OBJECT

public:
    explicit ChildAccessKeys(QMdiArea* area);

    // The button of the active child window that the key presses; nullptr if none.
    QAbstractButton* buttonFor(const QKeyEvent& event) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QMdiArea> m_area;
    int m_swallowKey = 0; // the key press that follows a handled shortcut check
};

} // namespace vantor::widgets
