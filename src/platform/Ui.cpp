#include "Ui.h"

#include "RecordingUi.h"

namespace vantor::platform {

namespace {
Ui* g_ui = nullptr;
int g_busyDepth = 0;

Ui& fallback()
{
    static RecordingUi recorder;
    return recorder;
}
} // namespace

Ui& ui()
{
    return g_ui ? *g_ui : fallback();
}

void setUi(Ui* seam)
{
    g_ui = seam;
}

BusyPointer::BusyPointer()
{
    if (g_busyDepth++ == 0)
        ui().setBusy(true);
}

BusyPointer::~BusyPointer()
{
    if (--g_busyDepth == 0)
        ui().setBusy(false);
}

} // namespace vantor::platform
