#include "ErrorTrap.h"

#include "platform/Error.h"
#include "platform/Ui.h"

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

} // namespace vantor::overview
