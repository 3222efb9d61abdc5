// Device contexts seen from the drawing code: where a DC's pixels are and what clips them.
#pragma once
#include "platform/gdi/objects.h"

// A point on a surface; wide, since a window may sit anywhere and the scale multiplies its place.
struct SurfacePoint {
    long long x;
    long long y;
};

struct DrawTarget {
    GdiDc* dc;
    Surface surface;
    RECT clip;     // surface pixels, inside the surface
    SurfacePoint origin;  // logical (0, 0) on the surface
    int scale;     // surface pixels per logical pixel: the screen's rendering scale, 1 for bitmaps
};

// Logical [left, right) x [top, bottom) on the target's surface, cut to `clip` (surface pixels).
RECT LogicalToSurfaceRect(const DrawTarget& t, long long left, long long top, long long right, long long bottom,
                          const RECT& clip);

// The DC's surface for drawing into; a memory DC's bitmap shared with the resource cache is
// copied first. False for a bad handle.
bool ResolveDrawTarget(HDC hdc, DrawTarget* target);
// The same for reading pixels only.
bool ResolveReadTarget(HDC hdc, DrawTarget* target);
