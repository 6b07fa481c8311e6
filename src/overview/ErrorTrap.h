#pragma once

#include <QString>

#include <functional>

namespace vantor::overview {

// The error trap of the overview windows' actions: runs the action, and when
// it throws, beeps and shows the error's own description with the critical
// icon under the window's title ("Select Dates", "Preview Report", "Export
// Error"). The window stays open. Returns false when the action failed.
bool trapErrors(const std::function<void()>& action, const QString& title);

} // namespace vantor::overview
