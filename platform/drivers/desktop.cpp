// The desktop window: the backend that shows the device screen on the user's desktop.
#include "platform/extras.h"
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
    return true;
}

void CloseDesktopWindow()
{
    SetBackend(nullptr);
    if (g_desktop) g_desktop->close();
    g_desktop = nullptr;
}

void UseOffScreenWindow()
{
    SetBackend(&HeadlessBackend());
}
