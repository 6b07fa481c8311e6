#include "Ui.h"

#include "Error.h"

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

QString failureOf(const std::function<void()>& work)
{
    BusyPointer busy;
    try {
        work();
    } catch (const Error& error) {
        return error.description();
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    }
    return {};
}

} // namespace vantor::platform
