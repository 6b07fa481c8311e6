#pragma once

#include "app/Module1.h"
#include "platform/RecordingUi.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTest>
#include <QWidget>

// What every shell test needs: the recorder as the seam, per-user settings
// kept in the test's own folder, and a way to see that no window was left.
namespace shelltest {

inline void isolateSettings()
{
    const QString folder = QDir::current().absoluteFilePath(QStringLiteral("settings"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, folder);
}

inline void clearSettings()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vantor"),
                       QStringLiteral("Vantor"));
    settings.clear();
    settings.sync();
}

inline void writeSetting(const QString& key, const QString& value)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vantor"),
                       QStringLiteral("Vantor"));
    settings.setValue(QStringLiteral("Settings/") + key, value);
}

inline QString readSetting(const QString& key)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vantor"),
                       QStringLiteral("Vantor"));
    return settings.value(QStringLiteral("Settings/") + key).toString();
}

// Closes whatever a test left open, then reports whether any window remains.
inline bool closeEverything()
{
    vantor::widgets::windows().closeAll();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->parentWidget())
            widget->close();
    }
    for (int i = 0; i < 50 && !QApplication::topLevelWidgets().isEmpty(); ++i)
        QTest::qWait(10);
    return QApplication::topLevelWidgets().isEmpty();
}

inline QWidget* topLevel(const QString& name)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    }
    return nullptr;
}

inline int visibleTopLevels(const QString& name)
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += widget->objectName() == name && widget->isVisible();
    return count;
}

// Saves a picture of the widget into the test's folder for a person to look at.
inline void screenshot(QWidget* widget, const QString& name)
{
    widget->grab().save(QDir::current().absoluteFilePath(name + QStringLiteral(".png")));
}

} // namespace shelltest
