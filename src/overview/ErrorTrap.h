#pragma once

#include <QString>

#include <functional>

namespace vantor::overview {

// The error trap of the overview windows' actions: runs the action, and when
// it throws, beeps and shows the error's own description with the critical
// icon under the window's title ("Select Dates", "Preview Report", "Export
// Error"). The window stays open. Returns false when the action failed.
bool trapErrors(const std::function<void()>& action, const QString& title);

// Before an export writes a file: refuses the database `connectionString`
// names (and its journal) as the target by throwing, and asks under `title`
// whether an existing file may be replaced. False when the user says No.
bool checkExportTarget(const QString& fileName, const QString& connectionString,
                       const QString& title);
// Asks under `title` whether the existing file may be replaced; true when
// there is no such file.
bool mayReplace(const QString& fileName, const QString& title);

} // namespace vantor::overview
