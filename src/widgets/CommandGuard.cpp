#include "CommandGuard.h"

#include "platform/Error.h"
#include "platform/Ui.h"

#include <exception>

namespace vantor::widgets {

bool runCommand(const std::function<void()>& command, const QString& title)
{
    QString description;
    try {
        command();
        return true;
    } catch (const Error& error) {
        description = error.description();
    } catch (const std::exception& error) {
        description = QString::fromLocal8Bit(error.what());
    }
    platform::showMessage(description, platform::Icon::Critical, title);
    return false;
}

} // namespace vantor::widgets
