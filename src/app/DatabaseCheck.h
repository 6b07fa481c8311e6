#pragma once

#include <QDir>

namespace vantor::app {

// Before any window opens: is there a results database in the working folder?
// When there is none, the user learns which file is missing where and how to
// make one, and may have one created on the spot. Nothing is created without
// the user's yes. Returns true when the program can go on.
bool ensureDatabase(const QDir& folder = QDir::current());

} // namespace vantor::app
