#include "NavigationKeys.h"

#include "RecordNavigator.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace vantor::entry {

NavigationKeys::NavigationKeys(QWidget* window, RecordNavigator* navigator)
    : QObject(window), m_window(window), m_navigator(navigator)
{
    qApp->installEventFilter(this);
}

bool NavigationKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_window || !watched->isWidgetType())
        return false;
    // Only keys meant for this window: the window itself or one of its
    // controls, not an open combo popup or a message box over it.
    auto* target = static_cast<QWidget*>(watched);
    if (target != m_window && !m_window->isAncestorOf(target))
        return false;
    return handle(*static_cast<QKeyEvent*>(event));
}

bool NavigationKeys::handle(const QKeyEvent& event)
{
    if (!m_window || !m_navigator)
        return false;
    // Exactly Ctrl: Ctrl+Shift+Down is a plain Down.
    const Qt::KeyboardModifiers shifts =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool ctrlAlone = shifts == Qt::ControlModifier;
    switch (event.key()) {
    case Qt::Key_Escape:
        m_window->close();
        return true;
    case Qt::Key_End:
        m_navigator->moveLast();
        return true;
    case Qt::Key_Home:
        m_navigator->moveFirst();
        return true;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        if (ctrlAlone)
            m_navigator->moveFirst();
        else
            m_navigator->movePrevious();
        return true;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        if (ctrlAlone)
            m_navigator->moveLast();
        else
            m_navigator->moveNext();
        return true;
    default:
        return false;
    }
}

} // namespace vantor::entry
