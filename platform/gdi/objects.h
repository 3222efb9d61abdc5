// The layer's drawing objects and the handle table that validates every handle given to it.
// Handles carry a kind, a slot and a generation: a stale or forged handle is refused, never followed.
#pragma once
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>
#include "platform/gdi/surface.h"
#include "platform/win_gdi.h"

struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top-down, stride = width
};

struct IconImage;

constexpr int kMaxPenWidth = 256;

struct GdiPen {
    int style;
    int width;
    COLORREF color;
};

struct GdiBrush {
    COLORREF color;
    bool hollow;
};

struct RealizedFont;
struct GdiFont {
    LOGFONT logFont;
    std::shared_ptr<const RealizedFont> realized;  // filled on first use
    std::shared_ptr<const RealizedFont> scaled;    // for drawing on the screen at scaledAt > 1
    int scaledAt = 0;
};

struct GdiBitmap {
    std::shared_ptr<PixelBuffer> pixels;
    bool shared;  // pixels belong to the resource cache: copy before drawing into them
};

struct GdiDc {
    bool isWindow;
    POINT origin;  // where logical (0, 0) lands on the surface
    RECT clip;     // surface pixels
    HPEN pen;
    HBRUSH brush;
    HFONT font;
    HBITMAP bitmap;  // memory DCs only
    int bkMode;
    COLORREF bkColor;
    COLORREF textColor;
};

struct GdiIcon {
    std::shared_ptr<const std::vector<IconImage>> images;
    bool shared;  // from LoadIcon: lives as long as the program
};

enum class GdiKind : std::uint8_t { Pen = 1, Brush, Font, Bitmap, Dc, Icon };

struct GdiObject {
    GdiKind kind;
    bool stock;
    int selections;  // how many DCs hold this object selected
    std::variant<GdiPen, GdiBrush, GdiFont, GdiBitmap, GdiDc, GdiIcon> body;
};

// Adds an object; null when the table is full.
void* AddGdiObject(GdiObject object);
// The live object behind `handle`, or null for anything stale, forged or of another kind.
GdiObject* LookupGdiObject(const void* handle);
void RemoveGdiObject(const void* handle);

template <class T> T* LookupGdi(const void* handle)
{
    GdiObject* o = LookupGdiObject(handle);
    return o ? std::get_if<T>(&o->body) : nullptr;
}

// The decoded images of a live icon; null for anything else.
const std::vector<IconImage>* IconImagesOf(HICON icon);

// Stock objects of DC defaults; also the 1 x 1 bitmap a fresh memory DC holds.
HGDIOBJ StockObject(int index);
HBITMAP StockBitmap();
