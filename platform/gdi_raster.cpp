// Pixel work on surfaces: rectangle fills and coverage blends, clipped before any pixel is touched.
#include "platform/gdi_raster.h"
#include <algorithm>
#include <cstring>

bool RectIsEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

RECT RectAnd(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (RectIsEmpty(r)) return RECT{0, 0, 0, 0};
    return r;
}

RECT ClampRect(long long left, long long top, long long right, long long bottom, const RECT& clip)
{
    RECT r{LONG(std::clamp<long long>(left, clip.left, clip.right)), LONG(std::clamp<long long>(top, clip.top, clip.bottom)),
           LONG(std::clamp<long long>(right, clip.left, clip.right)),
           LONG(std::clamp<long long>(bottom, clip.top, clip.bottom))};
    if (RectIsEmpty(r)) return RECT{0, 0, 0, 0};
    return r;
}

RECT SurfaceBounds(const Surface& s)
{
    if (!s.pixels || s.width <= 0 || s.height <= 0) return RECT{0, 0, 0, 0};
    return RECT{0, 0, s.width, s.height};
}

// The first row is filled by doubling copies and the others copied from it: memcpy is the
// fastest way this compiler has to write pixels, and a key press repaints the whole face.
void FillArea(const Surface& s, const RECT& area, std::uint32_t pixel)
{
    RECT r = RectAnd(area, SurfaceBounds(s));
    if (RectIsEmpty(r)) return;
    std::size_t width = std::size_t(r.right - r.left);
    std::uint32_t* first = s.pixels + std::size_t(r.top) * s.stride + r.left;
    first[0] = pixel;
    for (std::size_t done = 1; done < width;) {
        std::size_t n = std::min(done, width - done);
        std::memcpy(first + done, first, n * sizeof *first);
        done += n;
    }
    for (LONG y = r.top + 1; y < r.bottom; ++y) {
        std::memcpy(s.pixels + std::size_t(y) * s.stride + r.left, first, width * sizeof *first);
    }
}

namespace {

// 0x00RRGGBB spread into three 16-bit lanes, so one multiply blends all three channels.
std::uint64_t Spread(std::uint32_t p)
{
    return (std::uint64_t(p & 0xFF0000u) << 16) | (std::uint64_t(p & 0xFF00u) << 8) | (p & 0xFFu);
}

std::uint32_t Gather(std::uint64_t lanes)
{
    return std::uint32_t(((lanes >> 16) & 0xFF0000u) | ((lanes >> 8) & 0xFF00u) | (lanes & 0xFFu));
}

// Per channel (f * a + b * (255 - a) + 127) / 255, rounded as that integer division rounds. A
// lane holds at most 65152; x / 255 == (x + 1 + (x >> 8)) >> 8 for every x below 65535.
std::uint32_t Mix(std::uint32_t bg, std::uint32_t fg, unsigned a)
{
    constexpr std::uint64_t kLow = 0x000000FF00FF00FFull;
    constexpr std::uint64_t kOne = 0x0000000100010001ull;
    std::uint64_t x = Spread(fg) * a + Spread(bg) * (255 - a) + 127 * kOne;
    return Gather((x + kOne + ((x >> 8) & kLow)) >> 8 & kLow);
}

}  // namespace

void BlendCoverage(const Surface& s, const RECT& clip, long long x, long long y, const std::uint8_t* coverage,
                   int width, int height, int pitch, std::uint32_t color)
{
    if (!coverage || width <= 0 || height <= 0) return;
    RECT r = ClampRect(x, y, x + width, y + height, RectAnd(clip, SurfaceBounds(s)));
    for (LONG py = r.top; py < r.bottom; ++py) {
        const std::uint8_t* src = coverage + std::size_t(py - y) * pitch;
        std::uint32_t* row = s.pixels + std::size_t(py) * s.stride;
        for (LONG px = r.left; px < r.right; ++px) {
            unsigned a = src[px - x];
            if (a == 0) continue;
            row[px] = a == 255 ? color : Mix(row[px], color, a);
        }
    }
}
