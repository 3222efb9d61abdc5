// Bit-block transfers between DCs and icon drawing with the AND mask.
// Knowingly lacks: raster operations that use a brush pattern, stretching.
#include <cstring>
#include <memory>
#include <vector>
#include "platform/gdi/bmp_ico_reader.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/raster.h"

namespace {

enum class Rop { Copy, Paint, And, Invert, DestInvert, Black, White, Unknown };

Rop RopOf(DWORD rop)
{
    switch (rop) {
    case SRCCOPY: return Rop::Copy;
    case SRCPAINT: return Rop::Paint;
    case SRCAND: return Rop::And;
    case SRCINVERT: return Rop::Invert;
    case DSTINVERT: return Rop::DestInvert;
    case BLACKNESS: return Rop::Black;
    case WHITENESS: return Rop::White;
    }
    return Rop::Unknown;
}

bool UsesSource(Rop r)
{
    return r == Rop::Copy || r == Rop::Paint || r == Rop::And || r == Rop::Invert;
}

std::uint32_t Apply(Rop r, std::uint32_t d, std::uint32_t s)
{
    switch (r) {
    case Rop::Copy: return s;
    case Rop::Paint: return d | s;
    case Rop::And: return d & s;
    case Rop::Invert: return d ^ s;
    case Rop::DestInvert: return ~d & 0x00FFFFFFu;
    case Rop::Black: return 0;
    case Rop::White: return 0x00FFFFFFu;
    case Rop::Unknown: break;
    }
    return d;
}

}  // namespace

namespace {

// ceil(a / b) for b > 0, either sign of a.
long long CeilDiv(long long a, long long b)
{
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// Destination surface pixel p (p >= base) takes source pixel sourceBase + (p - base) * sn / dn:
// equal scales copy pixel for pixel, a bitmap (scale 1) onto a screen at scale N repeats each
// pixel N times, the screen into a bitmap takes every Nth pixel. This is the span of p whose
// source pixel lies in [from, to).
void SourceSpan(long long base, long long sourceBase, long long sn, long long dn, long long from, long long to,
                long long* first, long long* last)
{
    if (sn == dn) {  // equal scales, nearly every blit: no division (they are slow)
        *first = base + (from - sourceBase);
        *last = base + (to - sourceBase);
        return;
    }
    *first = base + CeilDiv((from - sourceBase) * dn, sn);
    *last = base + CeilDiv((to - sourceBase) * dn, sn);
}

struct BlitGeometry {
    RECT area;                     // destination surface pixels to write
    long long baseX, baseY;        // destination surface pixel of logical (x, y)
    long long srcBaseX, srcBaseY;  // source surface pixel of logical (srcX, srcY)
    long long sn, dn;              // source and destination scales
};

long long SourceCoord(long long p, long long base, long long sourceBase, long long sn, long long dn)
{
    return sourceBase + (p - base) * sn / dn;
}

// Equal scales: every row is the source row shifted, with no per-pixel mapping to work out (the
// keys' bitmaps onto the face at scale 1, and every bitmap-to-bitmap copy).
void CopyRowsOneToOne(const DrawTarget& d, const DrawTarget& s, const BlitGeometry& g, Rop op)
{
    const RECT& a = g.area;
    const std::size_t w = std::size_t(a.right - a.left);
    const long long dx = g.srcBaseX - g.baseX, dy = g.srcBaseY - g.baseY;
    const std::size_t rows = std::size_t(a.bottom - a.top);
    auto src = [&](std::size_t r) {
        return s.surface.pixels + std::size_t(a.top + (long long)r + dy) * s.surface.stride + std::size_t(a.left + dx);
    };
    auto dst = [&](std::size_t r) { return d.surface.pixels + std::size_t(a.top + r) * d.surface.stride + a.left; };
    // Within one surface a source row above its destination must be read before it is written:
    // then the rows go bottom up, as memmove does with bytes.
    const bool bottomUp = s.surface.pixels == d.surface.pixels && dy < 0;
    for (std::size_t i = 0; i < rows; ++i) {
        std::size_t r = bottomUp ? rows - 1 - i : i;
        std::uint32_t* row = dst(r);
        const std::uint32_t* from = src(r);
        if (op == Rop::Copy) {
            std::memmove(row, from, w * sizeof *row);
        } else if (from >= row || from + w <= row) {
            for (std::size_t c = 0; c < w; ++c) row[c] = Apply(op, row[c], from[c]);
        } else {
            for (std::size_t c = w; c-- > 0;) row[c] = Apply(op, row[c], from[c]);
        }
    }
}

void CopyRows(const DrawTarget& d, const DrawTarget& s, const BlitGeometry& g, Rop op)
{
    if (g.sn == g.dn) {
        CopyRowsOneToOne(d, s, g, op);
        return;
    }
    const RECT& a = g.area;
    const int w = a.right - a.left;
    // Source pixel of each destination column, computed once.
    std::vector<std::size_t> column(static_cast<std::size_t>(w));
    long long srcLeft = SourceCoord(a.left, g.baseX, g.srcBaseX, g.sn, g.dn);
    for (int c = 0; c < w; ++c) column[c] = std::size_t(SourceCoord(a.left + c, g.baseX, g.srcBaseX, g.sn, g.dn) - srcLeft);
    long long srcTop = SourceCoord(a.top, g.baseY, g.srcBaseY, g.sn, g.dn);
    // Scales differ, so the surfaces do (one surface has one scale): nothing read is overwritten.
    const std::uint32_t* from = s.surface.pixels + std::size_t(srcTop) * s.surface.stride + std::size_t(srcLeft);
    const std::size_t fromStride = std::size_t(s.surface.stride);
    std::vector<std::uint32_t> line(static_cast<std::size_t>(w));
    long long lineOf = -1;  // the source row `line` holds
    for (LONG py = a.top; py < a.bottom; ++py) {
        long long sy = SourceCoord(py, g.baseY, g.srcBaseY, g.sn, g.dn) - srcTop;
        std::uint32_t* row = d.surface.pixels + std::size_t(py) * d.surface.stride + a.left;
        const std::uint32_t* src = from + std::size_t(sy) * fromStride;
        if (sy != lineOf) {
            for (int c = 0; c < w; ++c) line[c] = src[column[c]];
            lineOf = sy;
        }
        if (op == Rop::Copy) {
            std::memcpy(row, line.data(), std::size_t(w) * sizeof *row);  // the keys enlarged: one copy per row
        } else {
            for (int c = 0; c < w; ++c) row[c] = Apply(op, row[c], line[c]);
        }
    }
}

}  // namespace

// Pixels whose source lies outside the source DC (its bitmap, or its window's clip) stay as they
// were. Between DCs of different scales (a bitmap onto the scaled screen) each source pixel
// becomes a block of destination pixels, or the reverse: no filtering, no stretching.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop)
{
    Rop op = RopOf(rop);
    DrawTarget d;
    if (op == Rop::Unknown || !ResolveDrawTarget(dest, &d)) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    RECT area = LogicalToSurfaceRect(d, x, y, (long long)x + width, (long long)y + height, d.clip);
    if (!UsesSource(op)) {
        for (LONG py = area.top; py < area.bottom; ++py) {
            std::uint32_t* row = d.surface.pixels + std::size_t(py) * d.surface.stride;
            for (LONG px = area.left; px < area.right; ++px) row[px] = Apply(op, row[px], 0);
        }
        return TRUE;
    }
    DrawTarget s;
    if (!ResolveReadTarget(src, &s)) return FALSE;
    BlitGeometry g{};
    g.sn = s.scale;
    g.dn = d.scale;
    g.baseX = (long long)x * g.dn + d.origin.x;
    g.baseY = (long long)y * g.dn + d.origin.y;
    g.srcBaseX = (long long)srcX * g.sn + s.origin.x;
    g.srcBaseY = (long long)srcY * g.sn + s.origin.y;
    long long l, r, t, b;
    SourceSpan(g.baseX, g.srcBaseX, g.sn, g.dn, s.clip.left, s.clip.right, &l, &r);
    SourceSpan(g.baseY, g.srcBaseY, g.sn, g.dn, s.clip.top, s.clip.bottom, &t, &b);
    g.area = ClampRect(l, t, r, b, area);
    if (RectIsEmpty(g.area)) return TRUE;
    CopyRows(d, s, g, op);
    return TRUE;
}

// Each pixel becomes (background AND mask) XOR colour, so a set mask bit over black keeps the
// background and over a colour inverts it, as Win32 icons do. Drawn at 32 x 32 logical pixels,
// the 32-pixel image enlarged pixel by pixel on a scaled screen.
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon)
{
    constexpr int kIconSide = 32;
    GdiIcon* ic = LookupGdi<GdiIcon>(icon);
    DrawTarget t;
    if (!ic || !ic->images || !ResolveDrawTarget(hdc, &t)) return FALSE;
    const IconImage* img = PickIconImage(*ic->images, kIconSide);
    if (!img || img->width <= 0 || img->height <= 0) return FALSE;
    const long long side = (long long)kIconSide * t.scale;
    long long ox = (long long)x * t.scale + t.origin.x, oy = (long long)y * t.scale + t.origin.y;
    RECT area = ClampRect(ox, oy, ox + side, oy + side, t.clip);
    for (LONG py = area.top; py < area.bottom; ++py) {
        int sy = int((py - oy) * img->height / side);
        std::uint32_t* row = t.surface.pixels + std::size_t(py) * t.surface.stride;
        for (LONG px = area.left; px < area.right; ++px) {
            int sx = int((px - ox) * img->width / side);
            std::size_t i = std::size_t(sy) * img->width + sx;
            std::uint32_t keep = img->mask[i] ? 0x00FFFFFFu : 0;
            row[px] = (row[px] & keep) ^ img->color[i];
        }
    }
    return TRUE;
}
