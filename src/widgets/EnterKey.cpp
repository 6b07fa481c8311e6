#include "EnterKey.h"

#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace vantor::widgets {

namespace {

class EnterPresses : public QObject
{
public:
    EnterPresses(QWidget* window, QPushButton* button) : QObject(window), m_button(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool plain = key->modifiers() == Qt::NoModifier ||
                               key->modifiers() == Qt::KeypadModifier;
            if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                m_button && m_button->isEnabled() && m_button->isVisible()) {
                m_button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QPushButton> m_button;
};

} // namespace

void pressOnEnter(QWidget* window, QPushButton* button)
{
    button->setDefault(true);
    window->installEventFilter(new EnterPresses(window, button));
}

} // namespace vantor::widgets
