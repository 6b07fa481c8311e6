#pragma once

#include "vantor/Version.h"

#include <QString>

// Who the program is: shown by the splash window, the About box, message
// boxes without a title of their own, and used as the settings application.
namespace vantor::app::program {

inline const QString Title = QStringLiteral("Vantor");
inline const QString ProductName = QStringLiteral("Quellmark (Vantor)");
inline const QString MainCaption = QStringLiteral("Quellmark");
inline const QString Description =
    QStringLiteral("Database program for the storage and retrieval of medical test results.");

inline constexpr int Major = VANTOR_VERSION_MAJOR;
inline constexpr int Minor = VANTOR_VERSION_MINOR;
inline constexpr int Revision = VANTOR_VERSION_PATCH;

inline QString versionText()
{
    return QStringLiteral("Version %1.%2.%3").arg(Major).arg(Minor).arg(Revision);
}

} // namespace vantor::app::program
