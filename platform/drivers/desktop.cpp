// The desktop window: the backend that shows the device screen on the user's desktop.
#include "platform/extras.h"
#include "platform/access/access_switch.h"
#include "platform/drivers/sdl/sdl.h"

namespace {

const Backend* g_desktop = nullptr;

}  // namespace

bool OpenDesktopWindow(int scale)
{
    const Backend& sdl = SdlBackend();
    if (!sdl.open(scale)) return false;
    g_desktop = &sdl;
    SetBackend(g_desktop);
    StartAccessibility();
    return true;
}

void CloseDesktopWindow()
{
    StopAccessibility();
    SetBackend(nullptr);
    if (g_desktop) g_desktop->close();
    g_desktop = nullptr;
}
