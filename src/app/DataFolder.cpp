#include "DataFolder.h"

#include "platform/Ui.h"
#include "store/ConnectionStrings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vantor::app {

QString chooseDataFolder(const QString& startFolder, const QString& namedFolder,
                         const QString& userDataFolder)
{
    const QDir start(startFolder);
    if (!namedFolder.isEmpty())
        return QDir::cleanPath(start.absoluteFilePath(namedFolder));
    // Anything under the name counts, so that a broken one is reported
    // rather than passed over for another file.
    if (QFileInfo::exists(start.absoluteFilePath(QLatin1String(store::DatabaseFileName))) ||
        userDataFolder.isEmpty())
        return start.absolutePath();
    return QDir::cleanPath(userDataFolder);
}

bool enterDataFolder(const QString& namedFolder)
{
    const QString folder =
        chooseDataFolder(QDir::currentPath(), namedFolder,
                         QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (QDir().mkpath(folder) && QDir::setCurrent(folder))
        return true;
    platform::showMessage(QStringLiteral("Vantor cannot use the folder \"%1\" for its database: "
                                         "it cannot be made or is not a folder.")
                              .arg(QDir::toNativeSeparators(folder)),
                          platform::Icon::Critical);
    return false;
}

} // namespace vantor::app
