// Pixel surfaces shared by the window core, the drawing code and the backends.
#pragma once
#include <cstdint>
#include "platform/win_types.h"

// 0x00RRGGBB pixels, row-major; stride counts pixels.
struct Surface {
    std::uint32_t* pixels;
    int width;
    int height;
    int stride;
};

// The device screen the windows are drawn on: 240 x 320 at 96 dpi.
constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr int kNavBarHeight = 26;
constexpr int kMenuBarHeight = 26;

Surface& ScreenSurface();

// A device context for painting a window on the screen: logical (0, 0) lands on `origin`
// (screen pixels) and nothing is drawn outside `clip` (screen pixels, already cut to the screen).
HDC CreateWindowDC(POINT origin, const RECT& clip);
void ReleaseWindowDC(HDC hdc);
