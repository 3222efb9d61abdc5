// The device screen's framebuffer, at the rendering scale: N x N surface pixels per device
// pixel, white until something is drawn.
#include <algorithm>
#include <cmath>
#include <vector>
#include "platform/surface.h"

namespace {

struct ScreenBuffer {
    int scale = 0;
    std::vector<std::uint32_t> pixels;
    Surface surface{nullptr, 0, 0, 0};
};

ScreenBuffer& Buffer()
{
    static ScreenBuffer buffer;
    return buffer;
}

void Allocate(ScreenBuffer& b, int scale)
{
    const int width = kScreenWidth * scale, height = kScreenHeight * scale;
    b.pixels.assign(std::size_t(width) * std::size_t(height), 0x00FFFFFFu);
    b.scale = scale;
    b.surface = Surface{b.pixels.data(), width, height, width};
}

}  // namespace

bool SetScreenScale(int scale)
{
    if (scale < 1 || scale > kMaxScreenScale) return false;
    ScreenBuffer& b = Buffer();
    if (b.scale != scale) Allocate(b, scale);
    return true;
}

int ScreenScale()
{
    ScreenBuffer& b = Buffer();
    if (b.scale == 0) Allocate(b, 1);
    return b.scale;
}

Surface& ScreenSurface()
{
    ScreenBuffer& b = Buffer();
    if (b.scale == 0) Allocate(b, 1);
    return b.surface;
}

// A desktop of 96 dots per inch shows the device screen at its own size; twice that density
// twice as large, and so on, as long as the window still fits.
int ScaleForDensity(double dpi, int largestFitting)
{
    int fit = std::clamp(largestFitting, 1, kMaxScreenScale);
    if (!std::isfinite(dpi) || dpi <= 0) return fit;
    double wanted = std::round(dpi / 96.0);
    if (wanted < 1) return 1;
    return wanted >= fit ? fit : int(wanted);
}
