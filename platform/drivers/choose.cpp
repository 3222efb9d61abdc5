// Which desktop backend shows the window (see choose.h). An unknown QUORIX_BACKEND is said once
// and the usual order is tried.
#include "platform/drivers/choose.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "platform/drivers/sdl/sdl.h"
#include "platform/drivers/x11/x11.h"

namespace {

const Backend* TryOpen(const Backend& backend, int scale)
{
    return backend.open(scale) ? &backend : nullptr;
}

}  // namespace

const Backend* OpenDesktopBackend(int scale)
{
    const char* asked = std::getenv("QUORIX_BACKEND");
    if (asked && std::strcmp(asked, "x11") == 0) return TryOpen(X11Backend(), scale);
    if (asked && std::strcmp(asked, "sdl") == 0) return TryOpen(SdlBackend(), scale);
    if (asked && *asked) {
        std::fprintf(stderr, "%s: QUORIX_BACKEND='%s' is neither x11 nor sdl; choosing as if unset\n",
                     program_invocation_short_name, asked);
    }
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        if (const Backend* x11 = TryOpen(X11Backend(), scale)) return x11;
    }
    return TryOpen(SdlBackend(), scale);
}
