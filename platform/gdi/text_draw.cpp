// Text: measuring, metrics, ExtTextOut and DrawText in the DC's font, colours and background mode.
// Glyphs are anti-aliased coverage blended in the text colour. Layout and measurement use the
// scale-1 font; on a scaled screen the glyphs come from the font rasterised at that scale.
// Knowingly lacks: text alignment modes (x, y is always the cell's top-left), underline and
// strike-out, tab expansion, the underline of a prefixed "&" character.
#include <algorithm>
#include <vector>
#include "platform/gdi/fonts/font_cache.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/raster.h"
#include "platform/gdi/text_observer.h"
#include "platform/kernel/text_utf16.h"

namespace {

constexpr std::size_t kMaxTextUnits = 1u << 20;  // how far a terminated string is looked at
constexpr UINT kMaxExtTextUnits = 8192;         // ExtTextOut's own limit

GdiFont* SelectedFont(const GdiDc& dc)
{
    GdiFont* f = LookupGdi<GdiFont>(dc.font);
    return f ? f : LookupGdi<GdiFont>(StockObject(SYSTEM_FONT));
}

// The font text is measured and laid out in: always the scale-1 font, so positions, extents and
// metrics are the same at every rendering scale.
std::shared_ptr<const RealizedFont> DcFont(const GdiDc& dc)
{
    GdiFont* f = SelectedFont(dc);
    if (!f) return nullptr;
    if (!f->realized) f->realized = RealizeFont(f->logFont);
    return f->realized;
}

// The font glyphs are drawn in on the target: rasterised at the target's scale.
std::shared_ptr<const RealizedFont> DrawingFont(const DrawTarget& t)
{
    if (t.scale == 1) return DcFont(*t.dc);
    GdiFont* f = SelectedFont(*t.dc);
    if (!f) return nullptr;
    if (!f->scaled || f->scaledAt != t.scale) {
        f->scaled = RealizeFontScaled(f->logFont, t.scale);
        f->scaledAt = t.scale;
    }
    return f->scaled;
}

long long RunWidth(const RealizedFont& font, const std::u32string& text)
{
    long long w = 0;
    for (char32_t c : text) w += RenderGlyph(font, c)->advance;
    return w;
}

// Draws one line with its cell's top-left at logical (x, y), clipped to `clip` (surface pixels).
// `advances`, when given, replaces each code point's advance. Each glyph starts at N times its
// scale-1 pen position on N times the scale-1 baseline and is drawn from `drawing`, the font
// rasterised at scale N: the text is sharp at any scale and still sits exactly where the layout
// (done at scale 1) put it. Its ink keeps to N times its scale-1 black box (hinting at another
// size can move an edge by a fraction of a pixel), so what GetGlyphOutline measured holds at
// every scale.
void DrawRun(const DrawTarget& t, const RealizedFont& layout, const RealizedFont& drawing, long long x, long long y,
             const std::u32string& text, const RECT& clip, const std::vector<long long>* advances)
{
    const long long n = t.scale;
    long long penX = x;
    long long baseline = (y + layout.ascent) * n + t.origin.y;
    std::uint32_t color = ColorToPixel(t.dc->textColor);
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto g = RenderGlyph(drawing, text[i]);
        auto laidOut = &layout == &drawing ? g : RenderGlyph(layout, text[i]);
        long long penLeft = penX * n + t.origin.x;
        RECT glyphClip = clip;
        if (n > 1) {
            long long top = baseline - (long long)laidOut->top * n;
            glyphClip = ClampRect(penLeft + (long long)laidOut->left * n, top,
                                  penLeft + ((long long)laidOut->left + laidOut->width) * n,
                                  top + (long long)laidOut->height * n, clip);
        }
        BlendCoverage(t.surface, glyphClip, penLeft + g->left, baseline - g->top, g->coverage.data(), g->width,
                      g->height, g->width, color);
        penX += advances ? (*advances)[i] : laidOut->advance;
    }
}

RECT LogicalToSurface(const DrawTarget& t, const RECT& r)
{
    return LogicalToSurfaceRect(t, r.left, r.top, r.right, r.bottom, t.clip);
}

void FillBackground(const DrawTarget& t, const RECT& clip, long long l, long long top, long long r, long long b)
{
    FillArea(t.surface, LogicalToSurfaceRect(t, l, top, r, b, clip), ColorToPixel(t.dc->bkColor));
}

}  // namespace

BOOL GetTextExtentPoint32(HDC hdc, LPCWSTR text, int length, SIZE* size)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (!dc || !size || (!text && length != 0)) return FALSE;
    std::size_t n = length < 0 ? TerminatedLength(text, kMaxTextUnits) : std::size_t(length);
    auto font = DcFont(*dc);
    if (!font) return FALSE;
    long long w = RunWidth(*font, DecodeUtf16(text, n));
    size->cx = LONG(std::min<long long>(w, 0x7FFFFFFF));
    size->cy = font->Height();
    return TRUE;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (!dc || !tm) return FALSE;
    auto font = DcFont(*dc);
    if (!font) return FALSE;
    *tm = TEXTMETRIC{};
    tm->tmHeight = font->Height();
    tm->tmAscent = font->ascent;
    tm->tmDescent = font->descent;
    tm->tmInternalLeading = font->internalLeading;
    tm->tmExternalLeading = 0;
    tm->tmAveCharWidth = font->aveCharWidth;
    tm->tmMaxCharWidth = font->maxCharWidth;
    tm->tmWeight = font->weight;
    return TRUE;
}

namespace {

bool IsIdentity(const MAT2& m)
{
    auto is = [](const FIXED& f, SHORT value) { return f.fract == 0 && f.value == value; };
    return is(m.eM11, 1) && is(m.eM12, 0) && is(m.eM21, 0) && is(m.eM22, 1);
}

}  // namespace

DWORD GetGlyphOutline(HDC hdc, UINT ch, UINT format, GLYPHMETRICS* gm, DWORD /*bufferSize*/, LPVOID /*buffer*/,
                      const MAT2* mat)
{
    GdiDc* dc = LookupGdi<GdiDc>(hdc);
    if (!dc || !gm || !mat || format != GGO_METRICS || !IsIdentity(*mat)) return GDI_ERROR;
    if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return GDI_ERROR;
    auto font = DcFont(*dc);
    if (!font) return GDI_ERROR;
    auto g = RenderGlyph(*font, char32_t(ch));
    bool blank = g->width == 0 || g->height == 0;
    *gm = GLYPHMETRICS{};
    gm->gmBlackBoxX = blank ? 1 : UINT(g->width);
    gm->gmBlackBoxY = blank ? 1 : UINT(g->height);
    gm->gmptGlyphOrigin = blank ? POINT{0, 0} : POINT{g->left, g->top};
    gm->gmCellIncX = SHORT(std::clamp(g->advance, -0x7FFF, 0x7FFF));
    return 0;
}

namespace {

TextDrawnObserver g_textDrawn = nullptr;

LONG ClampToLong(long long v)
{
    return LONG(std::clamp<long long>(v, -0x7FFFFFFF, 0x7FFFFFFF));
}

// Tells the observer about a line of text at [left, right) x [top, bottom), cut to `clip` when
// there is one (all logical coordinates).
void TellTextDrawn(HDC hdc, long long left, long long top, long long right, long long bottom, const RECT* clip,
                   const WCHAR* text, std::size_t length)
{
    if (!g_textDrawn || length == 0) return;
    if (clip) {
        left = std::max<long long>(left, clip->left);
        top = std::max<long long>(top, clip->top);
        right = std::min<long long>(right, clip->right);
        bottom = std::min<long long>(bottom, clip->bottom);
    }
    if (right <= left || bottom <= top) return;
    RECT bounds{ClampToLong(left), ClampToLong(top), ClampToLong(right), ClampToLong(bottom)};
    g_textDrawn(hdc, bounds, text, length);
}

}  // namespace

void SetTextDrawnObserver(TextDrawnObserver observer)
{
    g_textDrawn = observer;
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* clip, LPCWSTR text, UINT length, const int* dx)
{
    DrawTarget t;
    if (!ResolveDrawTarget(hdc, &t)) return FALSE;
    if ((!text && length != 0) || length > kMaxExtTextUnits) return FALSE;
    auto font = DcFont(*t.dc);
    auto drawing = DrawingFont(t);
    if (!font || !drawing) return FALSE;
    RECT area = t.clip;
    if (clip && (options & ETO_CLIPPED)) area = LogicalToSurface(t, *clip);
    if (clip && (options & ETO_OPAQUE)) {
        FillArea(t.surface, LogicalToSurface(t, *clip), ColorToPixel(t.dc->bkColor));
    }
    std::vector<std::size_t> unitOf;
    std::u32string run = DecodeUtf16(text, length, &unitOf);
    std::vector<long long> advances;
    if (dx) {
        // One advance per UTF-16 unit: a surrogate pair moves by both of its entries.
        for (std::size_t i = 0; i < run.size(); ++i) {
            std::size_t end = i + 1 < run.size() ? unitOf[i + 1] : length;
            long long a = 0;
            for (std::size_t u = unitOf[i]; u < end; ++u) a += dx[u];
            advances.push_back(a);
        }
    }
    long long width = 0;
    if (dx) {
        for (long long a : advances) width += a;
    } else {
        width = RunWidth(*font, run);
    }
    if (t.dc->bkMode == OPAQUE) FillBackground(t, area, x, y, x + width, (long long)y + font->Height());
    DrawRun(t, *font, *drawing, x, y, run, area, dx ? &advances : nullptr);
    TellTextDrawn(hdc, x, y, x + width, (long long)y + font->Height(), clip && (options & ETO_CLIPPED) ? clip : nullptr,
                  text, length);
    return TRUE;
}

namespace {

// "&x" shows x (its underline is not drawn); "&&" shows one "&".
std::u16string StripPrefixes(std::u16string_view s)
{
    std::u16string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size()) ++i;
        else if (s[i] == u'&') continue;
        out += s[i];
    }
    return out;
}

std::vector<std::u32string> SplitLines(const std::u32string& text)
{
    std::vector<std::u32string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

bool BreaksAnywhere(char32_t c)
{
    return c >= 0x2E80;  // CJK text breaks between any two characters
}

// Breaks a line to `width` at spaces, or between CJK characters; a word wider than the
// line stays whole.
void WrapLine(const RealizedFont& font, const std::u32string& line, long long width, std::vector<std::u32string>* out)
{
    std::size_t start = 0;
    while (start < line.size()) {
        long long w = 0;
        std::size_t end = start, lastBreak = start;
        for (; end < line.size(); ++end) {
            long long a = RenderGlyph(font, line[end])->advance;
            if (w + a > width && end > start && line[end] != U' ') break;
            w += a;
            if (line[end] == U' ' || BreaksAnywhere(line[end]) || (end + 1 < line.size() && BreaksAnywhere(line[end + 1]))) {
                lastBreak = end + 1;
            }
        }
        if (end < line.size() && lastBreak > start) end = lastBreak;
        std::u32string piece = line.substr(start, end - start);
        while (!piece.empty() && piece.back() == U' ') piece.pop_back();
        out->push_back(piece);
        start = end;
        while (start < line.size() && line[start] == U' ') ++start;
    }
    if (line.empty()) out->push_back(line);
}

}  // namespace

// One line of text is placed by DT_CENTER/DT_RIGHT and DT_VCENTER/DT_BOTTOM even without
// DT_SINGLELINE; several lines stack from the top. Returns the height of the text, or with
// DT_VCENTER/DT_BOTTOM the offset from the rectangle's top to the text's bottom.
int DrawText(HDC hdc, LPCWSTR text, int length, RECT* rect, UINT format)
{
    DrawTarget t;
    if (!rect || !text || !ResolveDrawTarget(hdc, &t)) return 0;
    auto font = DcFont(*t.dc);
    auto drawing = DrawingFont(t);
    if (!font || !drawing) return 0;
    std::size_t n = length < 0 ? TerminatedLength(text, kMaxTextUnits) : std::size_t(length);
    std::u16string units(text, n);
    if (!(format & DT_NOPREFIX)) units = StripPrefixes(units);
    std::u32string all = DecodeUtf16(units.data(), units.size());
    std::vector<std::u32string> lines;
    if (format & DT_SINGLELINE) {
        std::u32string one;
        for (char32_t c : all) {
            if (c != U'\r' && c != U'\n') one += c;
        }
        lines.push_back(one);
    } else if (format & DT_WORDBREAK) {
        for (const auto& l : SplitLines(all)) WrapLine(*font, l, (long long)rect->right - rect->left, &lines);
    } else {
        lines = SplitLines(all);
    }
    const long long lineHeight = font->Height();
    const long long total = lineHeight * (long long)lines.size();
    long long widest = 0;
    std::vector<long long> widths;
    for (const auto& l : lines) {
        widths.push_back(RunWidth(*font, l));
        widest = std::max(widest, widths.back());
    }
    if (format & DT_CALCRECT) {
        rect->right = LONG(std::min<long long>((long long)rect->left + widest, 0x7FFFFFFF));
        rect->bottom = LONG(std::min<long long>((long long)rect->top + total, 0x7FFFFFFF));
        return int(std::min<long long>(total, 0x7FFFFFFF));
    }
    long long top = rect->top;
    bool placedVertically = lines.size() == 1 && (format & (DT_VCENTER | DT_BOTTOM));
    if (placedVertically && (format & DT_BOTTOM)) top = (long long)rect->bottom - total;
    else if (placedVertically) top = ((long long)rect->top + rect->bottom - total) / 2;
    RECT area = (format & DT_NOCLIP) ? t.clip : LogicalToSurface(t, *rect);
    long long inkLeft = rect->right, inkRight = rect->left;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        long long x = rect->left;
        if (format & DT_CENTER) x = ((long long)rect->left + rect->right - widths[i]) / 2;
        else if (format & DT_RIGHT) x = (long long)rect->right - widths[i];
        long long y = top + lineHeight * (long long)i;
        if (t.dc->bkMode == OPAQUE) FillBackground(t, area, x, y, x + widths[i], y + lineHeight);
        DrawRun(t, *font, *drawing, x, y, lines[i], area, nullptr);
        inkLeft = std::min(inkLeft, x);
        inkRight = std::max(inkRight, x + widths[i]);
    }
    TellTextDrawn(hdc, inkLeft, top, inkRight, top + total, (format & DT_NOCLIP) ? nullptr : rect, units.data(),
                  units.size());
    long long result = placedVertically ? top + total - rect->top : total;
    return int(std::clamp<long long>(result, -0x7FFFFFFF, 0x7FFFFFFF));
}
