#include "ConverterWindows.h"

#include "frmAgents.h"

#include "widgets/WindowRegistry.h"

namespace vantor::convert {

void registerConverterWindows()
{
    widgets::windows().registerWindow(QStringLiteral("frmAgents"),
                                      widgets::WindowRegistry::Kind::Own,
                                      [] { return new frmAgents; });
}

} // namespace vantor::convert
