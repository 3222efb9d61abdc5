// Device contexts seen from the drawing code: where a DC's pixels are and what clips them.
#pragma once
#include "platform/gdi_objects.h"

struct DrawTarget {
    GdiDc* dc;
    Surface surface;
    RECT clip;     // surface pixels, inside the surface
    POINT origin;  // logical (0, 0) on the surface
};

// The DC's surface for drawing into; a memory DC's bitmap shared with the resource cache is
// copied first. False for a bad handle.
bool ResolveDrawTarget(HDC hdc, DrawTarget* target);
// The same for reading pixels only.
bool ResolveReadTarget(HDC hdc, DrawTarget* target);
