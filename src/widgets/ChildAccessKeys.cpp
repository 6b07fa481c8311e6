#include "ChildAccessKeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace vantor::widgets {

ChildAccessKeys::ChildAccessKeys(QMdiArea* area) : QObject(area), m_area(area)
{
    qApp->installEventFilter(this);
}

QAbstractButton* ChildAccessKeys::buttonFor(const QKeyEvent& event) const
{
    if (!m_area || event.modifiers() != Qt::AltModifier || event.key() == Qt::Key_Alt)
        return nullptr;
    QMdiSubWindow* sub = m_area->activeSubWindow();
    if (!sub || !sub->widget() || !sub->isVisible() || sub->isMinimized())
        return nullptr;
    const QKeySequence pressed(event.key() | Qt::AltModifier);
    const auto buttons = sub->widget()->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (button->isVisibleTo(sub) && button->isEnabled() &&
            QKeySequence::mnemonic(button->text()) == pressed)
            return button;
    }
    return nullptr;
}

bool ChildAccessKeys::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    // Only keys typed in the main window, not in a window of its own or a message box.
    auto* target = qobject_cast<QWidget*>(watched);
    if (!m_area || !target || target->window() != m_area->window())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress) {
        // The press that follows a handled check must not reach the focused
        // control; only that one press.
        const bool swallow = m_swallowKey != 0 && key->key() == m_swallowKey &&
                             (key->modifiers() & Qt::AltModifier);
        m_swallowKey = 0;
        return swallow;
    }
    QAbstractButton* button = buttonFor(*key);
    if (!button)
        return false;
    // Accepted, the check keeps the key from the menu bar's shortcuts.
    key->accept();
    m_swallowKey = key->key();
    button->setFocus(Qt::ShortcutFocusReason);
    button->click();
    return true;
}

} // namespace vantor::widgets
