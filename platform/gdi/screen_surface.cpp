// The device screen's framebuffer, at the rendering scale: N x N surface pixels per device
// pixel, white until something is drawn. The pixels are the screen's own, or a backend's window
// memory lent to it (then the screen is never copied to be shown). Knowingly lacks: a check that
// a lent buffer is still alive; its owner takes it back in time.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <vector>
#include "platform/gdi/surface.h"

namespace {

struct ScreenBuffer {
    int scale = 0;
    std::vector<std::uint32_t> pixels;  // empty while the pixels are lent
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

// The C library's wide fill stores many pixels an instruction (the compiler's loop stored one:
// a twentieth of a start's instructions at scale 2).
void FillWhite(std::uint32_t* pixels, std::size_t count)
{
    if constexpr (sizeof(wchar_t) == sizeof(std::uint32_t)) {
        std::wmemset(reinterpret_cast<wchar_t*>(pixels), static_cast<wchar_t>(0x00FFFFFF), count);
    } else {
        std::fill_n(pixels, count, 0x00FFFFFFu);
    }
}

void CopyPicture(const Surface& from, std::uint32_t* to, int toStride)
{
    for (int y = 0; y < from.height; ++y) {
        std::memmove(to + std::size_t(y) * std::size_t(toStride), from.pixels + std::size_t(y) * std::size_t(from.stride),
                     std::size_t(from.width) * sizeof(std::uint32_t));
    }
}

}  // namespace

bool SetScreenScale(int scale)
{
    if (scale < 1 || scale > kMaxScreenScale) return false;
    ScreenBuffer& b = Buffer();
    if (b.scale != scale) Allocate(b, scale);
    return true;
}

bool AdoptScreenPixels(std::uint32_t* pixels, int stride)
{
    Surface& current = ScreenSurface();
    if (!pixels || stride < current.width) return false;
    if (pixels != current.pixels) CopyPicture(current, pixels, stride);
    ScreenBuffer& b = Buffer();
    b.surface = Surface{pixels, current.width, current.height, stride};
    std::vector<std::uint32_t>().swap(b.pixels);  // clear() would keep the memory
    return true;
}

bool SetScreenScaleInto(int scale, std::uint32_t* pixels, int stride)
{
    const int width = kScreenWidth * scale, height = kScreenHeight * scale;
    if (scale < 1 || scale > kMaxScreenScale || !pixels || stride < width) return false;
    for (int y = 0; y < height; ++y) FillWhite(pixels + std::size_t(y) * std::size_t(stride), std::size_t(width));
    ScreenBuffer& b = Buffer();
    std::vector<std::uint32_t>().swap(b.pixels);
    b.scale = scale;
    b.surface = Surface{pixels, width, height, stride};
    return true;
}

void ReleaseScreenPixels()
{
    ScreenBuffer& b = Buffer();
    if (!ScreenPixelsAdopted()) return;
    const Surface lent = b.surface;
    b.pixels.resize(std::size_t(lent.width) * std::size_t(lent.height));
    b.surface = Surface{b.pixels.data(), lent.width, lent.height, lent.width};
    CopyPicture(lent, b.pixels.data(), lent.width);
}

bool ScreenPixelsAdopted()
{
    const ScreenBuffer& b = Buffer();
    return b.scale != 0 && b.pixels.empty();
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
