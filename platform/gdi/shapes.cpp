// Rectangles, rectangle fills and reading single pixels, drawn in software with the DC's pen and brush.
// Knowingly lacks: pen styles other than solid, null and inside-frame.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include "platform/gdi/dc.h"
#include "platform/gdi/raster.h"

namespace {

// The classic system colours, for brushes given as COLOR_xxx + 1 the way window classes do.
constexpr COLORREF kSystemColors[] = {
    RGB(192, 192, 192), RGB(58, 110, 165), RGB(0, 0, 128), RGB(128, 128, 128), RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),
    RGB(192, 192, 192), RGB(192, 192, 192), RGB(128, 128, 128), RGB(0, 0, 128), RGB(255, 255, 255),
    RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0), RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(64, 64, 64), RGB(224, 224, 224), RGB(0, 0, 0), RGB(255, 255, 225),
};

// The brush's colour, or false for a hollow or unknown brush.
bool BrushColor(HBRUSH brush, COLORREF* color)
{
    std::uintptr_t v = reinterpret_cast<std::uintptr_t>(brush);
    if (v >= 1 && v <= std::size(kSystemColors)) {
        *color = kSystemColors[v - 1];
        return true;
    }
    GdiBrush* b = LookupGdi<GdiBrush>(brush);
    if (!b || b->hollow) return false;
    *color = b->color;
    return true;
}

// Every shape is made of these fills, so at scale N outlines, pens and lines come out exactly N
// times as large as at scale 1.
void FillLogical(const DrawTarget& t, long long l, long long top, long long r, long long b, COLORREF color)
{
    FillArea(t.surface, LogicalToSurfaceRect(t, l, top, r, b, t.clip), ColorToPixel(color));
}

// A pen of width w drawn along pixel c covers c - w/2 .. c - w/2 + w - 1: centred, with the
// extra pixel of an even width going up and to the left.
long long PenStart(long long c, int width)
{
    return c - width / 2;
}

// A pen's round join at a corner of a rectangle's outline: the w x w block at (x, y) whose
// inside lies towards (towardX, towardY), each +1 or -1. The sides cover the pixels level with the
// block's centre or inwards of it; the join's disc adds what lies within w / 2 of the centre, so
// only the outermost pixels are left out (for w = 3 the corner pixel; widths 1 and 2 keep all).
void FillRoundJoin(const DrawTarget& t, long long x, long long y, int w, int towardX, int towardY, COLORREF c)
{
    // Offsets and distances doubled, so that an even width's half-pixel centre stays whole.
    const long long kJoinReach = std::max(static_cast<long long>(w) * w - 2, 0LL);
    for (int j = 0; j < w; ++j) {
        for (int i = 0; i < w; ++i) {
            long long dx = 2 * i - (w - 1), dy = 2 * j - (w - 1);
            bool onSide = dx * towardX >= 0 || dy * towardY >= 0;
            if (onSide || dx * dx + dy * dy <= kJoinReach) FillLogical(t, x + i, y + j, x + i + 1, y + j + 1, c);
        }
    }
}

}  // namespace

// Rectangle(l, t, r, b), as Win32 draws it for the pens we have:
//  - the outline's path runs along columns l and r-1 and rows t and b-1 (right and bottom edges
//    exclusive); a pen of width w covers w pixels across each of these lines (PenStart). A pen
//    wider than 1 joins the sides round, as CreatePen's pens do (PS_JOIN_ROUND), where the
//    rectangle has room for the joins: width 3 leaves each corner's outermost pixel out. Width 1
//    covers exactly l..r-1 x t..b-1; width 3 reaches one pixel outside it.
//  - PS_INSIDEFRAME wider than 1 shrinks the path so the outline stays inside l..r-1 x t..b-1.
//  - the brush fills what lies inside the outline; a rectangle one or two pixels high has no inside.
//  - with PS_NULL there is no outline and the fill is one pixel smaller: l..r-2 x t..b-2.
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    DrawTarget t;
    if (!ResolveDrawTarget(hdc, &t)) return FALSE;
    long long l = std::min(left, right), r = std::max(left, right);
    long long tp = std::min(top, bottom), b = std::max(top, bottom);
    if (l == r || tp == b) return TRUE;
    GdiPen* pen = LookupGdi<GdiPen>(t.dc->pen);
    COLORREF fill;
    bool filled = BrushColor(t.dc->brush, &fill);
    if (!pen || pen->style == PS_NULL) {
        if (filled) FillLogical(t, l, tp, r - 1, b - 1, fill);
        return TRUE;
    }
    int w = pen->width;
    long long outerL, outerT, outerR, outerB;  // exclusive right and bottom
    if (pen->style == PS_INSIDEFRAME && w > 1) {
        outerL = l, outerT = tp, outerR = r, outerB = b;
    } else {
        outerL = PenStart(l, w), outerT = PenStart(tp, w);
        outerR = PenStart(r - 1, w) + w, outerB = PenStart(b - 1, w) + w;
    }
    long long innerL = outerL + w, innerT = outerT + w, innerR = outerR - w, innerB = outerB - w;
    if (filled && innerL < innerR && innerT < innerB) FillLogical(t, innerL, innerT, innerR, innerB, fill);
    COLORREF c = pen->color;
    if (outerR - outerL >= 2 * w && outerB - outerT >= 2 * w) {
        // The sides between the corners, then the corners as round joins.
        FillLogical(t, innerL, outerT, innerR, innerT, c);                                // top
        FillLogical(t, innerL, innerB, innerR, outerB, c);                                // bottom
        FillLogical(t, outerL, innerT, innerL, innerB, c);                                // left
        FillLogical(t, innerR, innerT, outerR, innerB, c);                                // right
        FillRoundJoin(t, outerL, outerT, w, 1, 1, c);
        FillRoundJoin(t, innerR, outerT, w, -1, 1, c);
        FillRoundJoin(t, outerL, innerB, w, 1, -1, c);
        FillRoundJoin(t, innerR, innerB, w, -1, -1, c);
        return TRUE;
    }
    FillLogical(t, outerL, outerT, outerR, std::min(innerT, outerB), c);                 // top
    FillLogical(t, outerL, std::max(innerB, outerT), outerR, outerB, c);                 // bottom
    FillLogical(t, outerL, outerT, std::min(innerL, outerR), outerB, c);                 // left
    FillLogical(t, std::max(innerR, outerL), outerT, outerR, outerB, c);                 // right
    return TRUE;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    DrawTarget t;
    if (!rect || !ResolveDrawTarget(hdc, &t)) return 0;
    COLORREF color;
    if (!BrushColor(brush, &color)) {
        bool known = LookupGdi<GdiBrush>(brush) != nullptr;
        return known ? 1 : 0;  // a hollow brush paints nothing, successfully
    }
    FillLogical(t, rect->left, rect->top, rect->right, rect->bottom, color);
    return 1;
}

// A logical pixel on a scaled screen is an N x N block: its top-left surface pixel is read.
COLORREF GetPixel(HDC hdc, int x, int y)
{
    DrawTarget t;
    if (!ResolveReadTarget(hdc, &t)) return CLR_INVALID;
    long long sx = (long long)x * t.scale + t.origin.x, sy = (long long)y * t.scale + t.origin.y;
    if (sx < t.clip.left || sx >= t.clip.right || sy < t.clip.top || sy >= t.clip.bottom) return CLR_INVALID;
    return PixelToColor(t.surface.pixels[std::size_t(sy) * t.surface.stride + std::size_t(sx)]);
}
