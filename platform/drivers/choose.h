// Which desktop backend shows the window: X11 when DISPLAY names a display, SDL2 otherwise or when
// X11 cannot open it (a Wayland session without XWayland). <PROGRAM>_BACKEND=x11 or =sdl asks
// for one of them alone. OpenDesktopWindow (extras.h) opens the one chosen.
#pragma once
#include "platform/drivers/backend.h"

// The opened backend at `scale` (0: the desktop's choice), or null when none could open.
const Backend* OpenDesktopBackend(int scale);
