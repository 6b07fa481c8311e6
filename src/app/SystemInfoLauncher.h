#pragma once

#include <QList>
#include <QStringList>

#include <functional>

namespace vantor::app {

// Finds and starts the operating system's System Information program: first
// where the machine's settings say it is (the registry on Windows), then one
// of the usual system information programs found on the PATH.
class SystemInfoLauncher
{
public:
    // A program and its arguments.
    using Command = QStringList;
    // The text of a machine-wide setting ("SOFTWARE\Microsoft\...", value
    // name); empty when it is not there.
    using MachineSetting = std::function<QString(const QString& key, const QString& name)>;

    SystemInfoLauncher(MachineSetting machineSetting, QList<Command> desktopPrograms);
    static SystemInfoLauncher forThisSystem();

    // The command to run; empty when there is none.
    Command locate() const;
    // Starts it, or tells the user that there is none.
    void StartSysInfo() const;

    static inline const QString UnavailableText =
        QStringLiteral("System Information Is Unavailable At This Time");

private:
    MachineSetting m_machineSetting;
    QList<Command> m_desktopPrograms;
};

} // namespace vantor::app
