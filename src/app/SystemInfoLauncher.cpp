#include "SystemInfoLauncher.h"

#include "platform/Ui.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vantor::app {

SystemInfoLauncher::SystemInfoLauncher(std::shared_ptr<const MachineKeys> keys,
                                       QList<Command> desktopPrograms)
    : m_keys(std::move(keys)), m_desktopPrograms(std::move(desktopPrograms))
{
}

SystemInfoLauncher SystemInfoLauncher::forThisSystem()
{
    QList<Command> desktop;
#if !defined(Q_OS_WIN)
    desktop = {{QStringLiteral("kinfocenter")},
               {QStringLiteral("hardinfo2")},
               {QStringLiteral("hardinfo")},
               {QStringLiteral("gnome-control-center"), QStringLiteral("info-overview")}};
#endif
    return {MachineKeys::system(), desktop};
}

SystemInfoLauncher::Command SystemInfoLauncher::locate() const
{
    if (m_keys) {
        const std::optional<QString> path =
            GetKeyValue(*m_keys, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                        QStringLiteral("PATH"));
        if (path && !path->isEmpty())
            return {*path};
        const std::optional<QString> folder =
            GetKeyValue(*m_keys, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                        QStringLiteral("MSINFO"));
        if (folder && !folder->isEmpty()) {
            const QString program = QDir(*folder).filePath(QStringLiteral("MSINFO32.EXE"));
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
