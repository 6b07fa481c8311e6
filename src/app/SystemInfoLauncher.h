#pragma once

#include "MachineKeys.h"

#include <QList>
#include <QStringList>

#include <memory>

namespace vantor::app {

// Finds and starts the operating system's System Information program: first
// where the machine's settings say it is, then, on desktops without such an
// entry, one of the usual system information programs found on the PATH.
class SystemInfoLauncher
{
public:
    // A program and its arguments.
    using Command = QStringList;

    SystemInfoLauncher(std::shared_ptr<const MachineKeys> keys, QList<Command> desktopPrograms);
    static SystemInfoLauncher forThisSystem();

    // The command to run; empty when there is none.
    Command locate() const;
    // Starts it, or tells the user that there is none.
    void StartSysInfo() const;

    static inline const QString UnavailableText =
        QStringLiteral("System Information Is Unavailable At This Time");

private:
    std::shared_ptr<const MachineKeys> m_keys;
    QList<Command> m_desktopPrograms;
};

} // namespace vantor::app
