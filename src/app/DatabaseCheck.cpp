#include "DatabaseCheck.h"

#include "platform/Error.h"
#include "platform/Ui.h"
#include "store/ConnectionStrings.h"
#include "store/Database.h"
#include "store/DatabaseFile.h"
#include "store/Migration.h"

#include <QFileInfo>


namespace vantor::app {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::ui;

namespace {

enum class Outcome { Created, Declined, Failed };

// Tells which file is missing where and how to make one, asks `question`, and
// creates the database on a yes (with sample results, if the user wants).
Outcome offerDatabase(const QDir& folder, const QString& situation, const QString& question)
{
    const QString fileName = QLatin1String(store::DatabaseFileName);
    const QString missing =
        situation +
        QStringLiteral("Vantor keeps its results in the database file \"%1\" in the folder:\n%2\n\n"
                       "To make one yourself, run \"vantor-db create %1\" (an empty database) or "
                       "\"vantor-db demo %1\" (one with sample results) in that folder.\n\n")
            .arg(fileName, QDir::toNativeSeparators(folder.absolutePath())) +
        question;
    ui().beep();
    if (ui().messageBox(missing, Buttons::YesNo, Icon::Question) != Answer::Yes)
        return Outcome::Declined;

    const bool demo =
        ui().messageBox(QStringLiteral("Fill the new database with sample results, so that you "
                                       "can try every window at once?\n\n"
                                       "Choose No for an empty database."),
                        Buttons::YesNo, Icon::Question) == Answer::Yes;
    const QString failure = platform::failureOf([&] {
        if (demo)
            store::createDemoDatabase(databaseFile(folder));
        else
            store::createDatabase(databaseFile(folder));
    });
    if (!failure.isEmpty()) {
        platform::showMessage(failure, Icon::Critical);
        return Outcome::Failed;
    }
    return Outcome::Created;
}

} // namespace

QString databaseFile(const QDir& folder)
{
    return folder.absoluteFilePath(QLatin1String(store::DatabaseFileName));
}

bool ensureDatabase(const QDir& folder)
{
    // No window may open a file that is not a results database this program
    // can write: a newer version's, another program's, an empty one.
    const store::FileKind kind = store::classifyDatabase(databaseFile(folder));
    if (kind.kind == store::FileKind::Results) {
        // An older file gains what it lacks before any window reads it.
        store::migrateDatabase(databaseFile(folder));
        return true;
    }
    if (kind.kind != store::FileKind::Missing) {
        platform::showMessage(kind.message + QStringLiteral("\n\nVantor opens no window on it."),
                              Icon::Critical);
        return false;
    }
    return offerDatabase(folder, QStringLiteral("There is no results database yet.\n\n"),
                         QStringLiteral("Do you want to create the database there now?\n\n"
                                        "With No, Vantor starts without a database: the medical "
                                        "calculator and the help work, the data windows stay "
                                        "empty until there is one.")) != Outcome::Failed;
}

bool needsDatabase(const QString& windowName)
{
    static const QStringList withoutDatabase = {
        QStringLiteral("frmMedCalc"), QStringLiteral("frmAgents"), QStringLiteral("frmAbout"),
        QStringLiteral("frmHelp")};
    return !withoutDatabase.contains(windowName);
}

bool databaseForWindow(const QString& windowName, const QDir& folder)
{
    if (!needsDatabase(windowName) || QFileInfo(databaseFile(folder)).isFile())
        return true;
    return offerDatabase(folder,
                         QStringLiteral("There is no results database, so this window has "
                                        "nothing to show.\n\n"),
                         QStringLiteral("Do you want to create the database there now?")) ==
           Outcome::Created;
}

} // namespace vantor::app
