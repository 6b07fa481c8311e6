#include "SystemInfoLauncher.h"

#include "platform/Ui.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace vantor::app {

SystemInfoLauncher::SystemInfoLauncher(MachineSetting machineSetting,
                                       QList<Command> desktopPrograms)
    : m_machineSetting(std::move(machineSetting)), m_desktopPrograms(std::move(desktopPrograms))
{
}

SystemInfoLauncher SystemInfoLauncher::forThisSystem()
{
#if defined(Q_OS_WIN)
    return {[](const QString& key, const QString& name) {
                // Read only: the program never writes to the machine's settings.
                const QSettings settings(QStringLiteral("HKEY_LOCAL_MACHINE\\") + key,
                                         QSettings::NativeFormat);
                return settings.value(name).toString();
            },
            {}};
#else
    return {{},
            {{QStringLiteral("kinfocenter")},
             {QStringLiteral("hardinfo2")},
             {QStringLiteral("hardinfo")},
             {QStringLiteral("gnome-control-center"), QStringLiteral("info-overview")}}};
#endif
}

SystemInfoLauncher::Command SystemInfoLauncher::locate() const
{
    if (m_machineSetting) {
        const QString path = m_machineSetting(
            QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"));
        if (!path.isEmpty())
            return {path};
        const QString folder = m_machineSetting(
            QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"));
        if (!folder.isEmpty()) {
            const QString program = QDir(folder).filePath(QStringLiteral("MSINFO32.EXE"));
            if (QFileInfo(program).isFile())
                return {QDir::toNativeSeparators(program)};
        }
    }
    for (const Command& command : m_desktopPrograms) {
        const QString program = QStandardPaths::findExecutable(command.value(0));
        if (!program.isEmpty())
            return Command{program} + command.mid(1);
    }
    return {};
}

void SystemInfoLauncher::StartSysInfo() const
{
    const Command command = locate();
    if (command.isEmpty() || !platform::ui().startProgram(command.first(), command.mid(1)))
        platform::showMessage(UnavailableText, platform::Icon::None);
}

} // namespace vantor::app
