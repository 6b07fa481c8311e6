#include "WindowRegistry.h"

#include "ChildAccessKeys.h"

#include "platform/Ui.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include <algorithm>

namespace vantor::widgets {

WindowRegistry& WindowRegistry::instance()
{
    static WindowRegistry registry;
    return registry;
}

void WindowRegistry::registerWindow(const QString& name, Kind kind, Factory factory)
{
    m_entries.insert(name, Entry{kind, std::move(factory)});
}

void WindowRegistry::unregisterWindow(const QString& name)
{
    m_entries.remove(name);
}

bool WindowRegistry::isRegistered(const QString& name) const
{
    return m_entries.contains(name);
}

WindowRegistry::Kind WindowRegistry::kind(const QString& name) const
{
    return m_entries.value(name).kind;
}

void WindowRegistry::setMdiArea(QMdiArea* area)
{
    m_mdiArea = area;
    if (area && !area->findChild<ChildAccessKeys*>(QString(), Qt::FindDirectChildrenOnly)) {
        new ChildAccessKeys(area);
        // A child window larger than the area is reached by scrolling.
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

namespace {

bool isFixedSize(const QWidget* window)
{
    return window->minimumSize() == window->maximumSize();
}

// A child window opens inside the area: shrunk to fit when it can be resized,
// at the top left when it cannot fit (the area then scrolls to the rest).
void placeInArea(QMdiSubWindow* sub, const QMdiArea* area)
{
    const QSize room = area->viewport()->size();
    if (room.isEmpty())
        return;
    QSize size = sub->size();
    if (!isFixedSize(sub->widget()))
        size = size.boundedTo(room).expandedTo(sub->minimumSizeHint());
    sub->resize(size);
    if (size.width() > room.width() || size.height() > room.height()) {
        sub->move(0, 0);
        return;
    }
    QPoint at = sub->pos();
    at.setX(std::clamp(at.x(), 0, room.width() - size.width()));
    at.setY(std::clamp(at.y(), 0, room.height() - size.height()));
    sub->move(at);
}

// Puts the keyboard focus in the window, so that its keys work at once.
void focusInside(QWidget* window)
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == window || window->isAncestorOf(focus)))
        return;
    QWidget* target = window->focusWidget();
    if (!target || !target->isVisible()) {
        target = window->nextInFocusChain();
        while (target != window && !(window->isAncestorOf(target) && target->isVisible() &&
                                     target->isEnabled() && (target->focusPolicy() & Qt::TabFocus)))
            target = target->nextInFocusChain();
    }
    target->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace

qsizetype WindowRegistry::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_loaded.size(); ++i) {
        if (m_loaded.at(i).name == name)
            return i;
    }
    return -1;
}

QWidget* WindowRegistry::find(const QString& name) const
{
    const qsizetype i = indexOf(name);
    return i < 0 ? nullptr : m_loaded.at(i).window.data();
}

QStringList WindowRegistry::loadOrder() const
{
    QStringList names;
    for (const Loaded& loaded : m_loaded)
        names.append(loaded.name);
    return names;
}

void WindowRegistry::forget(const QObject* id)
{
    qsizetype i = 0;
    while (i < m_loaded.size() && m_loaded.at(i).id != id)
        ++i;
    if (i == m_loaded.size())
        return;
    const Loaded loaded = m_loaded.takeAt(i);
    // A child whose content went away must not leave an empty frame behind.
    if (loaded.frame && loaded.frame != loaded.window)
        loaded.frame->deleteLater();
}

QWidget* WindowRegistry::load(const QString& name)
{
    if (QWidget* existing = find(name))
        return existing;
    const auto entry = m_entries.constFind(name);
    if (entry == m_entries.constEnd() || !entry->factory)
        return nullptr;

    // Keep the factory alive even if the load routine re-registers the name.
    const Entry current = *entry;
    // A window that reads many rows as it loads shows the hourglass meanwhile.
    QWidget* window = nullptr;
    {
        const platform::BusyPointer busy;
        window = current.factory();
    }
    if (!window)
        return nullptr;
    // A load routine may itself have asked for the window (it should not, but
    // one instance is the rule).
    if (QWidget* existing = find(name)) {
        if (existing != window)
            window->deleteLater();
        return existing;
    }

    window->setObjectName(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QWidget* frame = window;
    if (current.kind == Kind::Child && m_mdiArea) {
        // A window that sized itself keeps that size inside its frame.
        const bool sized = window->testAttribute(Qt::WA_Resized);
        const QSize wanted = window->size();
        // A window of fixed size gets no resize border and no maximize button.
        const Qt::WindowFlags flags =
            isFixedSize(window) ? Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                                      Qt::MSWindowsFixedSizeDialogHint
                                : Qt::WindowFlags();
        QMdiSubWindow* sub = m_mdiArea->addSubWindow(window, flags);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        if (sized)
            sub->resize(wanted.grownBy(sub->contentsMargins()));
        if (isFixedSize(window))
            sub->setFixedSize(sub->size());
        sub->setObjectName(name + QStringLiteral("Frame"));
        frame = sub;
    } else if (window->parentWidget() && !window->isWindow()) {
        window->setParent(nullptr);
    }

    m_loaded.append(Loaded{name, window, frame, window});
    connect(window, &QObject::destroyed, this, [this, window] { forget(window); });
    if (frame != window)
        connect(frame, &QObject::destroyed, this, [this, window] { forget(window); });
    return window;
}

QWidget* WindowRegistry::show(const QString& name)
{
    QWidget* window = load(name);
    if (!window)
        return nullptr;
    const qsizetype i = indexOf(name);
    QWidget* frame = m_loaded.at(i).frame ? m_loaded.at(i).frame.data() : window;

    const bool first = !frame->isVisible() && !frame->isMinimized();
    if (frame->isMinimized())
        frame->showNormal();
    else
        frame->show();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) {
        window->show();
        if (m_mdiArea) {
            if (first)
                placeInArea(sub, m_mdiArea);
            m_mdiArea->setActiveSubWindow(sub);
        }
        if (QWidget* top = m_mdiArea ? m_mdiArea->window() : nullptr)
            top->activateWindow();
        focusInside(window);
    } else {
        frame->raise();
        frame->activateWindow();
        focusInside(window);
    }
    return window;
}

bool WindowRegistry::closeAll(const QWidget* keep)
{
    // Look for the newest window afresh each time: closing one window may
    // close others with it.
    for (;;) {
        qsizetype i = m_loaded.size() - 1;
        while (i >= 0 && (!m_loaded.at(i).window || m_loaded.at(i).window == keep))
            --i;
        if (i < 0)
            return true;
        const Loaded loaded = m_loaded.at(i);
        QWidget* frame = loaded.frame ? loaded.frame.data() : loaded.window.data();
        if (!frame->close())
            return false;
        // Deletion follows later; the window is gone for the program now.
        forget(loaded.id);
    }
}

} // namespace vantor::widgets
