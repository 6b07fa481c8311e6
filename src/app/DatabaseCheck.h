#pragma once

#include <QDir>

namespace vantor::app {

// Before any window opens: is there a results database in the working folder?
// When there is none, the user learns which file is missing where and how to
// make one, and may have one created on the spot. Nothing is created without
// the user's yes; with a no the program runs without a database, and only
// the windows that need none work. Returns false only when the program
// cannot go on (the name is taken by something else, creating failed).
bool ensureDatabase(const QDir& folder = QDir::current());

// The database file the windows open: vantor.mdb in the working folder.
QString databaseFile(const QDir& folder = QDir::current());

// The calculator, the converter (which then has no items), the About box and
// the help work without a database; every other window reads one.
bool needsDatabase(const QString& windowName);

// Before a window opens from the menu: true when it needs no database or the
// database is there. Otherwise the user is told that there is none and how to
// make one, and may have it created now.
bool databaseForWindow(const QString& windowName, const QDir& folder = QDir::current());

} // namespace vantor::app
