#include "DatabaseCheck.h"

#include "platform/Error.h"
#include "platform/Ui.h"
#include "store/Database.h"
#include "store/DatabaseFile.h"

#include <exception>

namespace vantor::app {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::ui;

bool ensureDatabase(const QDir& folder)
{
    const QString fileName = QStringLiteral("vantor.mdb");
    const QString path = folder.absoluteFilePath(fileName);
    // No window may open a file that is not a results database this program
    // can write: a newer version's, another program's, an empty one.
    const store::FileKind kind = store::classifyDatabase(path);
    if (kind.kind == store::FileKind::Results)
        return true;
    if (kind.kind != store::FileKind::Missing) {
        platform::showMessage(kind.message + QStringLiteral("\n\nVantor opens no window on it."),
                              Icon::Critical);
        return false;
    }

    const QString missing =
        QStringLiteral("Vantor keeps its results in the database file \"%1\", which is not in "
                       "the folder it was started from:\n%2\n\n"
                       "To make one yourself, run \"vantor-db create %1\" (an empty database) or "
                       "\"vantor-db demo %1\" (one with sample results) in that folder.\n\n"
                       "Do you want to create the database there now?")
            .arg(fileName, QDir::toNativeSeparators(folder.absolutePath()));
    ui().beep();
    if (ui().messageBox(missing, Buttons::YesNo, Icon::Question) != Answer::Yes)
        return false;

    const bool demo =
        ui().messageBox(QStringLiteral("Fill the new database with sample results, so that you "
                                       "can try every window at once?\n\n"
                                       "Choose No for an empty database."),
                        Buttons::YesNo, Icon::Question) == Answer::Yes;
    QString failure;
    {
        platform::BusyPointer busy;
        try {
            if (demo)
                store::createDemoDatabase(path);
            else
                store::createDatabase(path);
        } catch (const Error& error) {
            failure = error.description();
        } catch (const std::exception& error) {
            failure = QString::fromLocal8Bit(error.what());
        }
    }
    if (!failure.isEmpty()) {
        platform::showMessage(failure, Icon::Critical);
        return false;
    }
    return true;
}

} // namespace vantor::app
