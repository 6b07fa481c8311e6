#pragma once

#include <QString>

namespace vantor::app {

// Which folder holds the database, given the folder the program was started
// from, the folder named by --data (empty when none) and the per-user data
// folder. A named folder wins; then a start folder that holds a vantor.mdb;
// otherwise the data folder. A relative name is taken from the start folder.
QString chooseDataFolder(const QString& startFolder, const QString& namedFolder,
                         const QString& userDataFolder);

// Makes the chosen folder (created when missing) the working folder, where
// every window finds vantor.mdb. Says why through the seam and returns false
// when the folder cannot be made or entered.
bool enterDataFolder(const QString& namedFolder);

} // namespace vantor::app
