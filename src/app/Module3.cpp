#include "Module3.h"

#include "DatabaseCompactor.h"
#include "platform/Error.h"
#include "platform/Ui.h"

#include <exception>

namespace vantor::app::Module3 {

using platform::Icon;
using platform::ui;

void CompactDB()
{
    const QString title = QStringLiteral("Compact Database");
    const QString question = QStringLiteral("This process may take a few minutes, "
                                            "depending on the speed of your computer. "
                                            "\r\n\r\nAre you sure you want to continue?");
    if (ui().messageBox(question, platform::Buttons::YesNo, Icon::Question, title) !=
        platform::Answer::Yes) {
        platform::showMessage(QStringLiteral("Compact action cancelled."), Icon::Information,
                              title);
        return;
    }

    QString failure;
    {
        platform::BusyPointer busy;
        try {
            const DatabaseCompactor compactor;
            compactor.removeLeftover();
            compactor.writeCopy();
            compactor.replaceSource();
        } catch (const Error& error) {
            failure = error.description();
        } catch (const std::exception& error) {
            failure = QString::fromLocal8Bit(error.what());
        }
    }

    ui().beep();
    if (!failure.isEmpty()) {
        platform::showMessage(failure, Icon::Critical, title);
        return;
    }
    platform::showMessage(QStringLiteral("Finished compacting the database."), Icon::Information,
                          title);
}

} // namespace vantor::app::Module3
