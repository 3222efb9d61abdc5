// Bit-block transfers between DCs and icon drawing with the AND mask.
// Knowingly lacks: raster operations that use a brush pattern, stretching.
#include <cstring>
#include <memory>
#include "platform/bmp_ico_reader.h"
#include "platform/gdi_dc.h"
#include "platform/gdi_raster.h"

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

// Pixels whose source lies outside the source DC (its bitmap, or its window's clip) stay as they were.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop)
{
    Rop op = RopOf(rop);
    DrawTarget d;
    if (op == Rop::Unknown || !ResolveDrawTarget(dest, &d)) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    long long dx = (long long)x + d.origin.x, dy = (long long)y + d.origin.y;
    RECT area = ClampRect(dx, dy, dx + width, dy + height, d.clip);
    if (!UsesSource(op)) {
        for (LONG py = area.top; py < area.bottom; ++py) {
            std::uint32_t* row = d.surface.pixels + std::size_t(py) * d.surface.stride;
            for (LONG px = area.left; px < area.right; ++px) row[px] = Apply(op, row[px], 0);
        }
        return TRUE;
    }
    DrawTarget s;
    if (!ResolveReadTarget(src, &s)) return FALSE;
    // source pixel = destination pixel + (offX, offY)
    long long offX = (long long)srcX + s.origin.x - dx, offY = (long long)srcY + s.origin.y - dy;
    RECT inSource = ClampRect(area.left + offX, area.top + offY, area.right + offX, area.bottom + offY, s.clip);
    if (RectIsEmpty(inSource)) return TRUE;
    int w = inSource.right - inSource.left, h = inSource.bottom - inSource.top;
    const std::uint32_t* from = s.surface.pixels + std::size_t(inSource.top) * s.surface.stride + inSource.left;
    std::size_t fromStride = std::size_t(s.surface.stride);
    // Source and destination may be the same pixels: then the source is copied out first.
    std::unique_ptr<std::uint32_t[]> copy;
    if (s.surface.pixels == d.surface.pixels) {
        copy.reset(new std::uint32_t[std::size_t(w) * h]);
        for (int r = 0; r < h; ++r) std::memcpy(copy.get() + std::size_t(r) * w, from + r * fromStride, std::size_t(w) * sizeof *from);
        from = copy.get();
        fromStride = std::size_t(w);
    }
    long long left = inSource.left - offX, top = inSource.top - offY;
    for (int r = 0; r < h; ++r) {
        std::uint32_t* row = d.surface.pixels + std::size_t(top + r) * d.surface.stride + left;
        const std::uint32_t* src = from + r * fromStride;
        if (op == Rop::Copy) {
            std::memcpy(row, src, std::size_t(w) * sizeof *row);  // the keys: one copy per row
        } else {
            for (int c = 0; c < w; ++c) row[c] = Apply(op, row[c], src[c]);
        }
    }
    return TRUE;
}

// Each pixel becomes (background AND mask) XOR colour, so a set mask bit over black keeps the
// background and over a colour inverts it, as Win32 icons do. Drawn at 32 x 32.
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon)
{
    constexpr int kIconSide = 32;
    GdiIcon* ic = LookupGdi<GdiIcon>(icon);
    DrawTarget t;
    if (!ic || !ic->images || !ResolveDrawTarget(hdc, &t)) return FALSE;
    const IconImage* img = PickIconImage(*ic->images, kIconSide);
    if (!img || img->width <= 0 || img->height <= 0) return FALSE;
    long long ox = (long long)x + t.origin.x, oy = (long long)y + t.origin.y;
    RECT area = ClampRect(ox, oy, ox + kIconSide, oy + kIconSide, t.clip);
    for (LONG py = area.top; py < area.bottom; ++py) {
        int sy = int((py - oy) * img->height / kIconSide);
        std::uint32_t* row = t.surface.pixels + std::size_t(py) * t.surface.stride;
        for (LONG px = area.left; px < area.right; ++px) {
            int sx = int((px - ox) * img->width / kIconSide);
            std::size_t i = std::size_t(sy) * img->width + sx;
            std::uint32_t keep = img->mask[i] ? 0x00FFFFFFu : 0;
            row[px] = (row[px] & keep) ^ img->color[i];
        }
    }
    return TRUE;
}
