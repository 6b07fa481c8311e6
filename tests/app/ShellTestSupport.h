#pragma once

#include "app/ProgramStart.h"
#include "platform/RecordingUi.h"
#include "support/TestSupport.h"
#include "widgets/WindowRegistry.h"

#include <QApplication>
#include <QSettings>
#include <QTest>
#include <QWidget>

// What every shell test needs: the recorder as the seam, per-user settings
// kept in the test's own folder, and a way to see that no window was left.
namespace shelltest {

using testsupport::closeEverything;
using testsupport::isolateSettings;

// The program's own settings, under the group its windows use.
inline std::unique_ptr<QSettings> settings()
{
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                QStringLiteral("Vantor"), QStringLiteral("Vantor"));
    settings->beginGroup(QStringLiteral("Settings"));
    return settings;
}

inline int visibleTopLevels(const QString& name)
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += widget->objectName() == name && widget->isVisible();
    return count;
}

} // namespace shelltest
