// Device contexts: window DCs on the device screen, memory DCs over bitmaps, the objects
// selected into them and their text and background state.
#include "platform/gdi/dc.h"
#include "platform/gdi/raster.h"

namespace {

GdiDc DefaultDc(bool isWindow, POINT origin, RECT clip)
{
    GdiDc dc{};
    dc.isWindow = isWindow;
    dc.origin = origin;
    dc.clip = clip;
    dc.pen = static_cast<HPEN>(StockObject(BLACK_PEN));
    dc.brush = static_cast<HBRUSH>(StockObject(WHITE_BRUSH));
    dc.font = static_cast<HFONT>(StockObject(SYSTEM_FONT));
    dc.bitmap = isWindow ? nullptr : StockBitmap();
    dc.bkMode = OPAQUE;
    dc.bkColor = RGB(255, 255, 255);
    dc.textColor = RGB(0, 0, 0);
    return dc;
}

void Retain(const void* handle)
{
    if (GdiObject* o = LookupGdiObject(handle)) ++o->selections;
}

void Release(const void* handle)
{
    if (GdiObject* o = LookupGdiObject(handle)) --o->selections;
}

HDC AddDc(const GdiDc& dc)
{
    HDC hdc = static_cast<HDC>(AddGdiObject(GdiObject{GdiKind::Dc, false, 0, dc}));
    if (!hdc) return nullptr;
    Retain(dc.pen);
    Retain(dc.brush);
    Retain(dc.font);
    Retain(dc.bitmap);
    return hdc;
}

void RemoveDc(HDC hdc)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (!dc) return;
    Release(dc->pen);
    Release(dc->brush);
    Release(dc->font);
    Release(dc->bitmap);
    RemoveGdiObject(hdc);
}

// Puts `obj` in `slot` and returns what was there; selection counts follow.
template <class H> HGDIOBJ Swap(H& slot, HGDIOBJ obj)
{
    HGDIOBJ previous = slot;
    slot = static_cast<H>(obj);
    Retain(obj);
    Release(previous);
    return previous;
}

}  // namespace

HDC CreateWindowDC(POINT origin, const RECT& clip)
{
    RECT c = RectAnd(clip, RECT{0, 0, kScreenWidth, kScreenHeight});
    return AddDc(DefaultDc(true, origin, c));
}

void ReleaseWindowDC(HDC hdc)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (dc && dc->isWindow) RemoveDc(hdc);
}

HDC CreateCompatibleDC(HDC hdc)
{
    if (hdc && !LookupGdi<GdiDc>(hdc)) return nullptr;
    GetStockObject(WHITE_BRUSH);  // the stock set exists before the DC refers to it
    return AddDc(DefaultDc(false, POINT{0, 0}, RECT{0, 0, 1, 1}));
}

BOOL DeleteDC(HDC hdc)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (!dc || dc->isWindow) return FALSE;  // a window's DC goes back through ReleaseDC
    RemoveDc(hdc);
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index)
{
    if (!LookupGdi<GdiDc>(hdc)) return 0;
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case HORZRES: return kScreenWidth;
    case VERTRES: return kScreenHeight;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    }
    return 0;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    GdiObject* o = LookupGdiObject(obj);
    if (!dc || !o) return nullptr;
    switch (o->kind) {
    case GdiKind::Pen: return Swap(dc->pen, obj);
    case GdiKind::Brush: return Swap(dc->brush, obj);
    case GdiKind::Font: return Swap(dc->font, obj);
    case GdiKind::Bitmap:
        if (dc->isWindow) return nullptr;  // bitmaps go into memory DCs only
        if (obj == dc->bitmap) return obj;
        if (!o->stock && o->selections > 0) return nullptr;  // one DC at a time
        return Swap(dc->bitmap, obj);
    case GdiKind::Dc:
    case GdiKind::Icon: break;
    }
    return nullptr;
}

int SetBkMode(HDC hdc, int mode)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

COLORREF SetTextColor(HDC hdc, COLORREF color)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->textColor;
    dc->textColor = color & 0x00FFFFFF;
    return previous;
}

COLORREF SetBkColor(HDC hdc, COLORREF color)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->bkColor;
    dc->bkColor = color & 0x00FFFFFF;
    return previous;
}

static bool Resolve(HDC hdc, DrawTarget* target, bool writing)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (!dc || !target) return false;
    target->dc = dc;
    if (dc->isWindow) {
        // The DC keeps device pixels; the scale is applied here, so it is always the screen's own.
        const int n = ScreenScale();
        target->surface = ScreenSurface();
        target->scale = n;
        const RECT& c = dc->clip;
        target->clip = RectAnd(RECT{c.left * n, c.top * n, c.right * n, c.bottom * n}, SurfaceBounds(target->surface));
        target->origin = SurfacePoint{(long long)dc->origin.x * n, (long long)dc->origin.y * n};
        return true;
    }
    GdiBitmap* bmp = LookupGdi<GdiBitmap>(dc->bitmap);
    if (!bmp || !bmp->pixels) return false;
    if (writing && bmp->shared) {
        bmp->pixels = std::make_shared<PixelBuffer>(*bmp->pixels);
        bmp->shared = false;
    }
    PixelBuffer& p = *bmp->pixels;
    target->surface = Surface{p.pixels.data(), p.width, p.height, p.width};
    target->clip = SurfaceBounds(target->surface);
    target->origin = SurfacePoint{0, 0};
    target->scale = 1;
    return true;
}

RECT LogicalToSurfaceRect(const DrawTarget& t, long long left, long long top, long long right, long long bottom,
                          const RECT& clip)
{
    const long long n = t.scale;
    return ClampRect(left * n + t.origin.x, top * n + t.origin.y, right * n + t.origin.x, bottom * n + t.origin.y,
                     clip);
}

bool ResolveDrawTarget(HDC hdc, DrawTarget* target)
{
    return Resolve(hdc, target, true);
}

bool ResolveReadTarget(HDC hdc, DrawTarget* target)
{
    return Resolve(hdc, target, false);
}
