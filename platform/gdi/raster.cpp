// Pixel work on surfaces: rectangle fills and coverage blends, clipped before any pixel is touched.
#include "platform/gdi/raster.h"
#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

void BlendRowScalar(std::uint32_t* row, const std::uint8_t* coverage, int n, std::uint32_t color)
{
    for (int i = 0; i < n; ++i) {
        unsigned a = coverage[i];
        if (a == 0) continue;
        row[i] = a == 255 ? color : Mix(row[i], color, a);
    }
}

#if defined(__SSE2__)
// Four pixels at a time, each channel in a 16-bit lane, with the same rounding as Mix. Most of a
// caption's inked pixels are partly covered (anti-aliased edges), so this is where text costs.
void BlendRow(std::uint32_t* row, const std::uint8_t* coverage, int n, std::uint32_t color)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i fg = _mm_unpacklo_epi8(_mm_set1_epi32(int(color & 0x00FFFFFFu)), zero);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i half = _mm_set1_epi16(127);
    const __m128i one = _mm_set1_epi16(1);
    const __m128i spareByte = _mm_set1_epi32(int(0xFF000000u));
    const std::uint32_t solid = color & 0x00FFFFFFu;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        std::uint32_t four;
        std::memcpy(&four, coverage + i, sizeof four);
        if (four == 0) continue;
        if (four == 0xFFFFFFFFu) {
            row[i] = row[i + 1] = row[i + 2] = row[i + 3] = solid;
            continue;
        }
        const __m128i a8 = _mm_cvtsi32_si128(int(four));
        const __m128i a16 = _mm_unpacklo_epi8(a8, zero);       // a0 a1 a2 a3 as 16-bit
        const __m128i a32 = _mm_unpacklo_epi16(a16, a16);      // a0 a0 a1 a1 a2 a2 a3 a3
        const __m128i aLo = _mm_unpacklo_epi32(a32, a32);      // pixels 0 and 1, every lane
        const __m128i aHi = _mm_unpackhi_epi32(a32, a32);      // pixels 2 and 3
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        auto blend = [&](__m128i bg, __m128i a) {
            __m128i x = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(fg, a), _mm_mullo_epi16(bg, _mm_sub_epi16(full, a))), half);
            return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
        };
        __m128i out = _mm_packus_epi16(blend(_mm_unpacklo_epi8(px, zero), aLo), blend(_mm_unpackhi_epi8(px, zero), aHi));
        // Mix leaves the spare top byte 0, and an uncovered pixel keeps all four bytes.
        const __m128i uncovered = _mm_cmpeq_epi32(a32, zero);  // a pixel's lane is 0 when a is
        out = _mm_or_si128(_mm_andnot_si128(spareByte, out), _mm_and_si128(_mm_and_si128(px, spareByte), uncovered));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), out);
    }
    BlendRowScalar(row + i, coverage + i, n - i, color);
}
#else
void BlendRow(std::uint32_t* row, const std::uint8_t* coverage, int n, std::uint32_t color)
{
    BlendRowScalar(row, coverage, n, color);
}
#endif

}  // namespace

void BlendCoverage(const Surface& s, const RECT& clip, long long x, long long y, const std::uint8_t* coverage,
                   int width, int height, int pitch, std::uint32_t color)
{
    if (!coverage || width <= 0 || height <= 0) return;
    RECT r = ClampRect(x, y, x + width, y + height, RectAnd(clip, SurfaceBounds(s)));
    for (LONG py = r.top; py < r.bottom; ++py) {
        const std::uint8_t* src = coverage + std::size_t(py - y) * pitch + std::size_t(r.left - x);
        BlendRow(s.pixels + std::size_t(py) * s.stride + r.left, src, r.right - r.left, color);
    }
}
