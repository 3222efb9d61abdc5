// Pixel work on surfaces, always inside a clip rectangle: fills, blends and copies.
// Coordinates here are surface pixels; callers translate logical coordinates first.
#pragma once
#include <cstdint>
#include "platform/gdi/surface.h"

inline std::uint32_t ColorToPixel(COLORREF c)
{
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

inline COLORREF PixelToColor(std::uint32_t p)
{
    return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

bool RectIsEmpty(const RECT& r);
RECT RectAnd(const RECT& a, const RECT& b);
// A rectangle of 64-bit coordinates cut to `clip`: hostile coordinates cannot overflow.
RECT ClampRect(long long left, long long top, long long right, long long bottom, const RECT& clip);
RECT SurfaceBounds(const Surface& s);

void FillArea(const Surface& s, const RECT& area, std::uint32_t pixel);
// Blends `color` by 8-bit coverage; the coverage bitmap's (0, 0) lands on (x, y).
void BlendCoverage(const Surface& s, const RECT& clip, long long x, long long y, const std::uint8_t* coverage,
                   int width, int height, int pitch, std::uint32_t color);
