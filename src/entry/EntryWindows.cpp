#include "EntryWindows.h"

#include "ListWindow.h"
#include "frmBrowse.h"
#include "frmDelete.h"
#include "frmDetails.h"
#include "frmEdit.h"

#include "widgets/WindowRegistry.h"

namespace vantor::entry {

void registerEntryWindows()
{
    using widgets::WindowRegistry;
    auto& registry = widgets::windows();
    registry.registerWindow(QStringLiteral("frmPeriods"), WindowRegistry::Kind::Child,
                            createPeriodsWindow);
    registry.registerWindow(QStringLiteral("frmTests"), WindowRegistry::Kind::Child,
                            createTestsWindow);
    registry.registerWindow(QStringLiteral("frmEdit"), WindowRegistry::Kind::Child,
                            [] { return new frmEdit; });
    registry.registerWindow(QStringLiteral("frmDetails"), WindowRegistry::Kind::Child,
                            createDetailsWindow);
    registry.registerWindow(QStringLiteral("frmBrowse"), WindowRegistry::Kind::Child,
                            [] { return new frmBrowse; });
    registry.registerWindow(QStringLiteral("frmDelete"), WindowRegistry::Kind::Own,
                            createDeleteWindow);
}

} // namespace vantor::entry
