// The handle table of drawing objects, the stock objects, and the object calls that need no DC.
// Knowingly lacks: pattern and hatch brushes, extended pens, GetObject for pens and brushes.
#include "platform/gdi/objects.h"
#include <cstring>
#include <memory>
#include <vector>
#include "platform/gdi/stats.h"

namespace {

constexpr unsigned kKindBits = 4;
constexpr unsigned kIndexBits = 20;
constexpr std::uint32_t kMaxSlots = 1u << 16;  // far above what a drawing program keeps alive
constexpr std::uintptr_t kGenerationMask = (std::uintptr_t(1) << (sizeof(std::uintptr_t) * 8 - kKindBits - kIndexBits)) - 1;

struct Slot {
    std::uintptr_t generation = 1;
    bool live = false;
    GdiObject object{};
};

constexpr std::uint32_t kChunkBits = 8;
constexpr std::uint32_t kChunkSlots = 1u << kChunkBits;

// Slots live in fixed chunks: a slot never moves, and finding one is two loads (every drawing
// call looks up its DC and objects, so this is on the path of every paint).
struct Table {
    std::vector<std::unique_ptr<Slot[]>> chunks;
    std::uint32_t used = 1;  // slot 0 is never handed out
    std::vector<std::uint32_t> freeSlots;
    GdiObjectCounts counts{};

    Slot& At(std::uint32_t index) { return chunks[index >> kChunkBits][index & (kChunkSlots - 1)]; }
};

// Constant-initialised: it exists before, and outlives, every static that might hold a handle.
constinit Table g_table;

Table& TheTable()
{
    return g_table;
}

int* CountFor(GdiObjectCounts& c, GdiKind kind)
{
    switch (kind) {
    case GdiKind::Pen: return &c.pens;
    case GdiKind::Brush: return &c.brushes;
    case GdiKind::Font: return &c.fonts;
    case GdiKind::Bitmap: return &c.bitmaps;
    case GdiKind::Dc: return &c.dcs;
    case GdiKind::Icon: return nullptr;
    }
    return nullptr;
}

void* EncodeHandle(std::uint32_t index, std::uintptr_t generation, GdiKind kind)
{
    std::uintptr_t v = ((generation & kGenerationMask) << (kKindBits + kIndexBits)) |
                       (std::uintptr_t(index) << kKindBits) | std::uintptr_t(kind);
    return reinterpret_cast<void*>(v);
}

std::uint32_t SlotIndex(const void* handle)
{
    return std::uint32_t((reinterpret_cast<std::uintptr_t>(handle) >> kKindBits) & ((1u << kIndexBits) - 1));
}

Slot* DecodeHandle(const void* handle)
{
    std::uintptr_t v = reinterpret_cast<std::uintptr_t>(handle);
    std::uintptr_t kind = v & ((1u << kKindBits) - 1);
    std::uintptr_t index = (v >> kKindBits) & ((1u << kIndexBits) - 1);
    std::uintptr_t generation = v >> (kKindBits + kIndexBits);
    Table& t = TheTable();
    if (index == 0 || index >= t.used) return nullptr;
    Slot& s = t.At(static_cast<std::uint32_t>(index));
    if (!s.live || (s.generation & kGenerationMask) != generation) return nullptr;
    if (std::uintptr_t(s.object.kind) != kind) return nullptr;
    return &s;
}

LOGFONT StockFontDescription()
{
    LOGFONT lf{};
    lf.lfHeight = -12;  // 9 points at 96 dpi
    lf.lfWeight = FW_NORMAL;
    return lf;
}

struct StockSet {
    HGDIOBJ objects[18] = {};
    HBITMAP bitmap = nullptr;
};

HGDIOBJ AddStock(GdiKind kind, decltype(GdiObject::body) body)
{
    return AddGdiObject(GdiObject{kind, true, 0, std::move(body)});
}

const StockSet& Stock()
{
    static const StockSet set = [] {
        StockSet s;
        s.objects[WHITE_BRUSH] = AddStock(GdiKind::Brush, GdiBrush{RGB(255, 255, 255), false});
        s.objects[LTGRAY_BRUSH] = AddStock(GdiKind::Brush, GdiBrush{RGB(192, 192, 192), false});
        s.objects[GRAY_BRUSH] = AddStock(GdiKind::Brush, GdiBrush{RGB(128, 128, 128), false});
        s.objects[DKGRAY_BRUSH] = AddStock(GdiKind::Brush, GdiBrush{RGB(64, 64, 64), false});
        s.objects[BLACK_BRUSH] = AddStock(GdiKind::Brush, GdiBrush{RGB(0, 0, 0), false});
        s.objects[NULL_BRUSH] = AddStock(GdiKind::Brush, GdiBrush{0, true});
        s.objects[WHITE_PEN] = AddStock(GdiKind::Pen, GdiPen{PS_SOLID, 1, RGB(255, 255, 255)});
        s.objects[BLACK_PEN] = AddStock(GdiKind::Pen, GdiPen{PS_SOLID, 1, RGB(0, 0, 0)});
        s.objects[NULL_PEN] = AddStock(GdiKind::Pen, GdiPen{PS_NULL, 1, 0});
        s.objects[SYSTEM_FONT] = AddStock(GdiKind::Font, GdiFont{StockFontDescription(), nullptr, nullptr, 0});
        s.objects[DEFAULT_GUI_FONT] = s.objects[SYSTEM_FONT];
        // A fresh memory DC holds a 1 x 1 monochrome bitmap: one black pixel.
        auto mono = std::make_shared<PixelBuffer>();
        mono->width = mono->height = 1;
        mono->pixels.assign(1, 0);
        s.bitmap = static_cast<HBITMAP>(AddStock(GdiKind::Bitmap, GdiBitmap{mono, false}));
        return s;
    }();
    return set;
}

}  // namespace

void* AddGdiObject(GdiObject object)
{
    Table& t = TheTable();
    std::uint32_t index;
    if (!t.freeSlots.empty()) {
        index = t.freeSlots.back();
        t.freeSlots.pop_back();
    } else {
        if (t.used >= kMaxSlots) return nullptr;
        if ((t.used >> kChunkBits) >= t.chunks.size()) t.chunks.push_back(std::make_unique<Slot[]>(kChunkSlots));
        index = t.used++;
    }
    Slot& s = t.At(index);
    s.live = true;
    s.object = std::move(object);
    if (!s.object.stock) {
        if (int* c = CountFor(t.counts, s.object.kind)) ++*c;
    }
    return EncodeHandle(index, s.generation, s.object.kind);
}

GdiObject* LookupGdiObject(const void* handle)
{
    Slot* s = DecodeHandle(handle);
    return s ? &s->object : nullptr;
}

void RemoveGdiObject(const void* handle)
{
    Slot* s = DecodeHandle(handle);
    if (!s) return;
    Table& t = TheTable();
    if (!s->object.stock) {
        if (int* c = CountFor(t.counts, s->object.kind)) --*c;
    }
    s->live = false;
    s->object = GdiObject{};
    ++s->generation;  // every handle to the old object is stale from now on
    t.freeSlots.push_back(SlotIndex(handle));
}

HGDIOBJ StockObject(int index)
{
    if (index < 0 || index >= int(std::size(Stock().objects))) return nullptr;
    return Stock().objects[index];
}

HBITMAP StockBitmap()
{
    return Stock().bitmap;
}

GdiObjectCounts GetGdiObjectCounts()
{
    Stock();  // the stock set is not counted, but make sure creating it never shows up as a change
    return TheTable().counts;
}

HGDIOBJ GetStockObject(int index)
{
    return StockObject(index);
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    Stock();
    if (style != PS_SOLID && style != PS_NULL && style != PS_INSIDEFRAME) style = PS_SOLID;
    // Width 0 and negative widths draw one pixel wide, as a cosmetic pen does.
    if (width < 1) width = 1;
    if (width > kMaxPenWidth) width = kMaxPenWidth;
    return static_cast<HPEN>(AddGdiObject(GdiObject{GdiKind::Pen, false, 0, GdiPen{style, width, color & 0x00FFFFFF}}));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    Stock();
    return static_cast<HBRUSH>(AddGdiObject(GdiObject{GdiKind::Brush, false, 0, GdiBrush{color & 0x00FFFFFF, false}}));
}

HFONT CreateFontIndirect(const LOGFONT* lf)
{
    Stock();
    if (!lf) return nullptr;
    GdiFont font{*lf, nullptr, nullptr, 0};
    font.logFont.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(AddGdiObject(GdiObject{GdiKind::Font, false, 0, std::move(font)}));
}

BOOL DeleteObject(HGDIOBJ obj)
{
    GdiObject* o = LookupGdiObject(obj);
    if (!o) return FALSE;
    if (o->stock) return TRUE;  // stock objects outlive every request to delete them
    if (o->kind == GdiKind::Dc || o->kind == GdiKind::Icon) return FALSE;
    if (o->selections > 0) return FALSE;  // still selected into a DC
    RemoveGdiObject(obj);
    return TRUE;
}

int GetObject(HGDIOBJ obj, int size, LPVOID out)
{
    GdiObject* o = LookupGdiObject(obj);
    if (!o) return 0;
    if (auto* b = std::get_if<GdiBitmap>(&o->body)) {
        if (!out) return int(sizeof(BITMAP));
        if (size < int(sizeof(BITMAP))) return 0;
        BITMAP bm{};
        bm.bmWidth = b->pixels->width;
        bm.bmHeight = b->pixels->height;
        bm.bmWidthBytes = b->pixels->width * 4;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = 32;
        std::memcpy(out, &bm, sizeof bm);
        return int(sizeof bm);
    }
    if (auto* f = std::get_if<GdiFont>(&o->body)) {
        if (!out) return int(sizeof(LOGFONT));
        if (size < int(sizeof(LOGFONT))) return 0;
        std::memcpy(out, &f->logFont, sizeof(LOGFONT));
        return int(sizeof(LOGFONT));
    }
    return 0;
}
