#include "ErrorTrap.h"

#include "engine/Connection.h"
#include "platform/Error.h"
#include "platform/ReplacingFile.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFileInfo>

#include <exception>

namespace vantor::overview {

bool trapErrors(const std::function<void()>& action, const QString& title)
{
    QString description;
    try {
        action();
        return true;
    } catch (const Error& error) {
        description = error.description();
    } catch (const std::exception& error) {
        description = QString::fromLocal8Bit(error.what());
    }
    platform::ui().beep();
    platform::showMessage(description, platform::Icon::Critical, title);
    return false;
}

bool checkExportTarget(const QString& fileName, const QString& connectionString,
                       const QString& title)
{
    QString database;
    {
        engine::Connection connection;
        connection.open(connectionString);
        database = connection.filePath();
    }
    platform::refuseDatabaseTarget(fileName, database);
    return mayReplace(fileName, title);
}

bool mayReplace(const QString& fileName, const QString& title)
{
    if (!QFileInfo::exists(fileName))
        return true;
    const QString question = QStringLiteral("The file \"%1\" already exists.\n"
                                            "Do you want to replace it?")
                                 .arg(QDir::toNativeSeparators(fileName));
    return platform::ui().messageBox(question, platform::Buttons::YesNo, platform::Icon::Question,
                                     title) == platform::Answer::Yes;
}

} // namespace vantor::overview
