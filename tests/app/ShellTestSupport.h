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
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, folder);
        QSettings::setPath(format, QSettings::SystemScope, folder);
    }
}

// The program's own settings, under the group its windows use.
inline std::unique_ptr<QSettings> settings()
{
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                QStringLiteral("Vantor"), QStringLiteral("Vantor"));
    settings->beginGroup(QStringLiteral("Settings"));
    return settings;
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

inline int visibleTopLevels(const QString& name)
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += widget->objectName() == name && widget->isVisible();
    return count;
}

} // namespace shelltest
