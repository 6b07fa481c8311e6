#pragma once

namespace vantor::app {

// Makes the shell's own windows known to the window registry: the main
// window, the About box and the help window.
void registerShellWindows();

// The start: shows the splash window at once; the splash opens the main
// window when its time is up. The event loop does the rest.
void Main();

} // namespace vantor::app
