#include "DatabaseCommands.h"

#include "platform/Error.h"
#include "platform/Ui.h"
#include "store/DatabaseBackup.h"
#include "store/DatabaseCompactor.h"

#include <QDate>
#include <QDir>

namespace vantor::app {

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

    const QString failure = platform::failureOf([] {
        const store::DatabaseCompactor compactor;
        compactor.removeLeftover();
        compactor.compact();
    });

    ui().beep();
    if (!failure.isEmpty()) {
        platform::showMessage(failure, Icon::Critical, title);
        return;
    }
    platform::showMessage(QStringLiteral("Finished compacting the database."), Icon::Information,
                          title);
}

void BackupDB()
{
    const QString title = QStringLiteral("Back Up Database");
    const QString proposed = QDir::home().filePath(
        QStringLiteral("vantor-backup-%1.mdb").arg(ui().today().toString(Qt::ISODate)));
    const QString target = ui().saveFileName(title, QDir::toNativeSeparators(proposed),
                                             QStringLiteral("Databases (*.mdb);;All files (*)"));
    if (target.isEmpty())
        return;

    const QString failure = platform::failureOf([&target] {
        store::backUpDatabase(store::DatabaseCompactor().sourcePath(),
                              QDir::fromNativeSeparators(target));
    });
    ui().beep();
    if (!failure.isEmpty()) {
        platform::showMessage(failure, Icon::Critical, title);
        return;
    }
    platform::showMessage(QStringLiteral("The database was backed up to \"%1\".")
                              .arg(QDir::toNativeSeparators(target)),
                          Icon::Information, title);
}

} // namespace vantor::app
