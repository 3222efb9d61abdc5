// Pixel surfaces shared by the window core, the drawing code and the backends.
#pragma once
#include <cstdint>
#include "platform/extras.h"

// 0x00RRGGBB pixels, row-major; stride counts pixels.
struct Surface {
    std::uint32_t* pixels;
    int width;
    int height;
    int stride;
};

// The device screen (its size and scale are in extras.h): every window DC multiplies its
// coordinates by the rendering scale where it draws.
Surface& ScreenSurface();
// Draws the screen straight into a buffer someone else owns (a backend's window memory, so that
// the screen is not kept twice): `pixels` holds the surface's height rows of `stride` (>= width)
// pixels, and takes the current picture. False, changing nothing, for a null buffer or a stride
// narrower than the surface. The owner must call ReleaseScreenPixels before the buffer goes away;
// a new scale also ends it.
bool AdoptScreenPixels(std::uint32_t* pixels, int stride);
// SetScreenScale straight into a buffer someone else owns, as AdoptScreenPixels lends it, for a
// backend whose window memory exists before anything is drawn: the screen is never allocated
// and copied. The buffer is made white. False, changing nothing, for a bad scale or buffer.
bool SetScreenScaleInto(int scale, std::uint32_t* pixels, int stride);
// Back to a buffer of the screen's own, keeping the picture; nothing when none is adopted.
void ReleaseScreenPixels();
bool ScreenPixelsAdopted();
// The scale for a desktop of `dpi` dots per inch: round(dpi / 96), at least 1 and at most
// `largestFitting`; `largestFitting` itself when the density is unknown (0, negative, not finite).
int ScaleForDensity(double dpi, int largestFitting);

// A device context for painting a window on the screen: logical (0, 0) lands on `origin`
// (device pixels) and nothing is drawn outside `clip` (device pixels, cut to the screen here).
// Both are multiplied by the rendering scale when the DC draws.
HDC CreateWindowDC(POINT origin, const RECT& clip);
void ReleaseWindowDC(HDC hdc);
