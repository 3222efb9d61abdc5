// Which desktop backend shows the window (see choose.h). An unknown choice is said once
// and the usual order is tried.
#include "platform/drivers/choose.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "platform/access/access_switch.h"
#include "platform/drivers/sdl/sdl.h"
#include "platform/kernel/host_dirs.h"
#include "platform/drivers/x11/x11.h"

namespace {

const Backend* g_desktop = nullptr;

const Backend* TryOpen(const Backend& backend, int scale)
{
    return backend.open(scale) ? &backend : nullptr;
}

}  // namespace

const Backend* OpenDesktopBackend(int scale)
{
    const char* asked = ProgramVariable("BACKEND");
    if (asked && std::strcmp(asked, "x11") == 0) return TryOpen(X11Backend(), scale);
    if (asked && std::strcmp(asked, "sdl") == 0) return TryOpen(SdlBackend(), scale);
    if (asked && *asked) {
        std::fprintf(stderr, "%s: %s='%s' is neither x11 nor sdl; choosing as if unset\n", program_invocation_short_name,
                     ProgramVariableName("BACKEND").c_str(), asked);
    }
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        if (const Backend* x11 = TryOpen(X11Backend(), scale)) return x11;
    }
    return TryOpen(SdlBackend(), scale);
}

bool OpenDesktopWindow(int scale)
{
    g_desktop = OpenDesktopBackend(scale);
    if (!g_desktop) return false;
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

void UseOffScreenWindow()
{
    SetBackend(&HeadlessBackend());
}
