// Which desktop backend shows the window: X11 when DISPLAY names a display, SDL2 otherwise or when
// X11 cannot open it (a Wayland session without XWayland). QUORIX_BACKEND=x11 or =sdl asks for
// one of them alone.
#pragma once
#include "platform/drivers/backend.h"

// The opened backend at `scale` (0: the desktop's choice), or null when none could open.
const Backend* OpenDesktopBackend(int scale);
