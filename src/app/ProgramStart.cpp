#include "ProgramStart.h"

#include "frmAbout.h"
#include "frmHelp.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "widgets/WindowRegistry.h"

namespace vantor::app {

using widgets::WindowRegistry;

void registerShellWindows()
{
    WindowRegistry& windows = widgets::windows();
    windows.registerWindow(QStringLiteral("frmMain"), WindowRegistry::Kind::Own,
                           [] { return new frmMain; });
    windows.registerWindow(QStringLiteral("frmAbout"), WindowRegistry::Kind::Own,
                           [] { return new frmAbout; });
    windows.registerWindow(QStringLiteral("frmHelp"), WindowRegistry::Kind::Own,
                           [] { return frmHelp::load(); });
}

void Main()
{
    auto* splash = new frmSplash;
    splash->show();
    // Paint now: the splash is there to be seen while the rest loads.
    splash->repaint();
}

} // namespace vantor::app
