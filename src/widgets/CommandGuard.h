#pragma once

#include <QString>

#include <functional>

namespace vantor::widgets {

// Runs one user command (a menu choice, a button) and traps what it throws:
// the user sees the error's own description in a critical message box, and
// the program carries on. Returns false when the command failed.
bool runCommand(const std::function<void()>& command, const QString& title = {});

} // namespace vantor::widgets
