// FreeType faces (opened once, kept open), fonts realised per description, and a bounded cache
// of rendered glyphs: creating and deleting a font per paint costs a map look-up.
// Heights follow Win32: negative = em height in pixels, positive = cell height (the face's
// Windows ascent + descent); a non-zero width scales the face so its average width (OS/2
// xAvgCharWidth) comes to that many pixels; bold without a bold face is emboldened in proportion
// to that width.
#include "platform/gdi/fonts/font_cache.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>
#include "platform/gdi/fonts/font_match.h"
#include "platform/gdi/fonts/freetype_library.h"
#include "platform/gdi/fonts/font_stream.h"
#include "platform/gdi/fonts/glyph_store.h"
#include "platform/kernel/text_utf16.h"

namespace {

constexpr std::size_t kGlyphCacheCap = 8192;
constexpr std::size_t kRealizedCacheCap = 128;
constexpr int kDefaultHeight = -12;  // a zero height asks for the default size: 9 points

// FreeType's functions. Every call but the one in Library() is on a face or a size, which exist
// only once FreeType has loaded.
const FreeTypeApi& Ft()
{
    return *LoadFreeType();
}

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library l = nullptr;
        const FreeTypeApi* ft = LoadFreeType();
        if (!ft || ft->FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return library;
}

int g_freeTypeWork = 0;

FT_Face OpenFace(const FontFile& file)
{
    static std::map<std::pair<std::string, int>, FT_Face> faces;
    auto key = std::make_pair(file.path, file.index);
    auto it = faces.find(key);
    if (it != faces.end()) return it->second;
    FT_Face face = nullptr;
    if (!Library() || OpenFaceByReading(Library(), file.path, file.index, &face) != 0 || !FT_IS_SCALABLE(face)) {
        if (face) Ft().FT_Done_Face(face);
        face = nullptr;
    }
    faces.emplace(key, face);
    return face;
}

// Design-unit metrics of a face, as Win32 reads them (the OS/2 table first).
struct FaceUnits {
    double unitsPerEm = 1000, ascent = 880, descent = 120, averageWidth = 500, maxAdvance = 1000;
};

FaceUnits UnitsOf(FT_Face face)
{
    FaceUnits u;
    if (!face || face->units_per_EM == 0) return u;
    u.unitsPerEm = face->units_per_EM;
    u.maxAdvance = face->max_advance_width;
    auto* os2 = static_cast<TT_OS2*>(Ft().FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        u.ascent = os2->usWinAscent;
        u.descent = os2->usWinDescent;
    } else if (face->ascender - face->descender > 0) {
        u.ascent = face->ascender;
        u.descent = -face->descender;
    } else {
        u.ascent = 0.88 * u.unitsPerEm;
        u.descent = 0.12 * u.unitsPerEm;
    }
    if (os2 && os2->xAvgCharWidth > 0) {
        u.averageWidth = os2->xAvgCharWidth;
    } else if (Ft().FT_Load_Char(face, 'x', FT_LOAD_NO_SCALE) == 0 && face->glyph->advance.x > 0) {
        u.averageWidth = double(face->glyph->advance.x);
    } else {
        u.averageWidth = u.unitsPerEm / 2;
    }
    return u;
}

int NextFontId()
{
    static int id = 0;
    return ++id;
}

}  // namespace

struct RealizedFontImpl {
    int id = NextFontId();
    std::string storeKey;  // its description, under which its glyphs are kept between runs
    FontFile file;
    bool opened = false;  // face and size were asked for (a font from the store opens at its first new glyph)
    FT_Face face = nullptr;
    FT_Size size = nullptr;
    bool embolden = false;
    FT_F26Dot6 xSize = 64, ySize = 64;
    std::map<FT_Face, FT_Size> fallbackSizes;

    // The face at this font's size; false when the file no longer opens.
    bool Open()
    {
        if (!opened) {
            opened = true;
            ++g_freeTypeWork;
            face = OpenFace(file);
            if (face && Ft().FT_New_Size(face, &size) == 0) {
                Ft().FT_Activate_Size(size);
                if (Ft().FT_Set_Char_Size(face, xSize, ySize, 72, 72) != 0) {
                    Ft().FT_Done_Size(size);
                    size = nullptr;
                }
            }
        }
        return size != nullptr;
    }

    // This font's size on another face (for glyphs taken from a fallback face).
    FT_Size SizeOn(FT_Face other)
    {
        if (other == face) return size;
        auto it = fallbackSizes.find(other);
        if (it != fallbackSizes.end()) return it->second;
        FT_Size s = nullptr;
        if (Ft().FT_New_Size(other, &s) == 0) {
            Ft().FT_Activate_Size(s);
            if (Ft().FT_Set_Char_Size(other, xSize, ySize, 72, 72) != 0) {
                Ft().FT_Done_Size(s);
                s = nullptr;
            }
        }
        fallbackSizes.emplace(other, s);
        return s;
    }

    ~RealizedFontImpl()
    {
        for (auto& [f, s] : fallbackSizes) {
            if (s) Ft().FT_Done_Size(s);
        }
        if (size) Ft().FT_Done_Size(size);
    }
};

RealizedFont::RealizedFont() = default;
RealizedFont::~RealizedFont() = default;

namespace {

long long ClampMagnitude(long long v, long long cap)
{
    return std::clamp(v, -cap, cap);
}

// The font as an earlier run stored it, when the description still finds the same file.
std::shared_ptr<RealizedFont> FromStore(const std::string& storeKey, const std::optional<FontFile>& file)
{
    std::optional<StoredFont> stored = file ? StoredFontFor(storeKey) : std::nullopt;
    if (!stored || stored->file.path != file->path || stored->file.index != file->index) return nullptr;
    auto font = std::make_shared<RealizedFont>();
    font->ascent = stored->ascent;
    font->descent = stored->descent;
    font->internalLeading = stored->internalLeading;
    font->aveCharWidth = stored->aveCharWidth;
    font->maxCharWidth = stored->maxCharWidth;
    font->weight = stored->weight;
    auto impl = std::make_unique<RealizedFontImpl>();
    impl->storeKey = storeKey;
    impl->file = stored->file;
    impl->embolden = stored->embolden;
    impl->xSize = stored->xSize;
    impl->ySize = stored->ySize;
    font->impl = std::move(impl);
    return font;
}

void Store(const std::string& storeKey, const RealizedFont& font)
{
    const RealizedFontImpl& impl = *font.impl;
    StoredFont s{impl.file,      font.ascent,   font.descent, font.internalLeading, font.aveCharWidth,
                 font.maxCharWidth, font.weight, impl.xSize,   impl.ySize,           impl.embolden};
    StoreFont(storeKey, s);
}

std::shared_ptr<RealizedFont> Build(const std::string& storeKey, const std::string& faceName, long long height,
                                    long long width, LONG weight)
{
    bool bold = weight >= FW_BOLD;
    std::optional<FontFile> file = MatchFontFile(faceName, bold);
    if (auto stored = FromStore(storeKey, file)) return stored;
    auto font = std::make_shared<RealizedFont>();
    FT_Face face = file ? OpenFace(*file) : nullptr;
    if (file && !face) {
        file = RematchUnusableFontFile(faceName, bold, *file);
        face = file ? OpenFace(*file) : nullptr;
    }
    FaceUnits u = UnitsOf(face);
    double cellUnits = u.ascent + u.descent;
    double ppem;
    if (height < 0) {
        ppem = double(-height);
        int cell = int(std::lround(cellUnits * ppem / u.unitsPerEm));
        font->ascent = int(std::lround(u.ascent * ppem / u.unitsPerEm));
        font->descent = std::max(0, cell - font->ascent);
    } else {
        ppem = double(height) * u.unitsPerEm / cellUnits;
        font->ascent = int(std::lround(u.ascent * double(height) / cellUnits));
        font->descent = std::max(0, int(height) - font->ascent);
    }
    font->internalLeading = std::max(0, font->Height() - int(std::lround(ppem)));
    double average = u.averageWidth * ppem / u.unitsPerEm;
    double xPpem = ppem;
    if (width > 0 && average > 0) xPpem = ppem * double(width) / average;
    font->aveCharWidth = width > 0 ? int(width) : int(std::lround(average));
    font->maxCharWidth = int(std::lround(u.maxAdvance * xPpem / u.unitsPerEm));
    font->weight = weight > 0 ? weight : FW_NORMAL;
    if (!face) return font;
    auto impl = std::make_unique<RealizedFontImpl>();
    impl->storeKey = storeKey;
    impl->file = *file;
    impl->embolden = bold && !file->bold;
    impl->xSize = std::max<FT_F26Dot6>(1, std::lround(xPpem * 64));
    impl->ySize = std::max<FT_F26Dot6>(1, std::lround(ppem * 64));
    if (!impl->Open()) return font;
    font->impl = std::move(impl);
    Store(storeKey, *font);
    return font;
}

using FontKey = std::tuple<std::string, long long, long long, LONG>;

std::shared_ptr<const GlyphImage> EmptyGlyph()
{
    static const auto empty = std::make_shared<const GlyphImage>();
    return empty;
}

std::shared_ptr<const GlyphImage> CopySlot(FT_GlyphSlot slot)
{
    auto g = std::make_shared<GlyphImage>();
    g->advance = int((slot->advance.x + 32) >> 6);
    const FT_Bitmap& b = slot->bitmap;
    g->left = slot->bitmap_left;
    g->top = slot->bitmap_top;
    g->width = int(b.width);
    g->height = int(b.rows);
    g->coverage.assign(std::size_t(g->width) * g->height, 0);
    int pitch = std::abs(b.pitch);
    for (int y = 0; y < g->height; ++y) {
        const unsigned char* row = b.pitch >= 0 ? b.buffer + std::size_t(y) * pitch : b.buffer + std::size_t(g->height - 1 - y) * pitch;
        std::uint8_t* dest = g->coverage.data() + std::size_t(y) * g->width;
        for (int x = 0; x < g->width; ++x) {
            if (b.pixel_mode == FT_PIXEL_MODE_MONO) {
                dest[x] = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
            } else {
                dest[x] = row[x];
            }
        }
    }
    return g;
}

// Synthetic bold: the outline grows by a twenty-fourth of the em, measured across in the face's
// horizontal scale and up in its vertical one. A condensed face (a narrow lfWidth) so gets
// strokes that narrow with its glyphs and keeps its gaps and counters; the advance grows by the
// same width. (FreeType's own emboldening uses the vertical scale both ways.)
void EmboldenGlyph(FT_Face face)
{
    const FT_Size_Metrics& scale = face->size->metrics;
    FT_Pos across = Ft().FT_MulFix(face->units_per_EM, scale.x_scale) / 24;
    FT_Pos up = Ft().FT_MulFix(face->units_per_EM, scale.y_scale) / 24;
    if (Ft().FT_Outline_EmboldenXY(&face->glyph->outline, across, up) != 0) return;
    face->glyph->advance.x += across;
}

std::shared_ptr<const GlyphImage> RenderUncached(RealizedFontImpl& impl, char32_t codepoint)
{
    if (codepoint < 0x20 || codepoint == 0x7F) return EmptyGlyph();
    if (auto stored = StoredGlyph(impl.storeKey, codepoint)) return stored;
    if (!impl.Open()) return EmptyGlyph();
    FT_Face face = impl.face;
    FT_UInt index = Ft().FT_Get_Char_Index(face, codepoint);
    if (index == 0) {
        std::optional<FontFile> other = MatchFallbackFile(codepoint);
        FT_Face otherFace = other ? OpenFace(*other) : nullptr;
        if (!otherFace) return EmptyGlyph();
        index = Ft().FT_Get_Char_Index(otherFace, codepoint);
        if (index == 0) return EmptyGlyph();
        face = otherFace;
    }
    FT_Size size = impl.SizeOn(face);
    if (!size || Ft().FT_Activate_Size(size) != 0) return EmptyGlyph();
    ++g_freeTypeWork;
    if (Ft().FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP) != 0) return EmptyGlyph();
    if (impl.embolden && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) EmboldenGlyph(face);
    if (Ft().FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return EmptyGlyph();
    auto glyph = CopySlot(face->glyph);
    // A stand-in face's glyph is not kept: which face stands in is fontconfig's choice of the day.
    if (face == impl.face) StoreGlyph(impl.storeKey, codepoint, *glyph);
    return glyph;
}

}  // namespace

std::shared_ptr<const RealizedFont> RealizeFont(const LOGFONT& lf)
{
    return RealizeFontScaled(lf, 1);
}

// The size is scaled after the default is applied, so a font at scale N is the scale-1 font N
// times as large, glyph outlines and all (up to the size limit).
namespace {

// A paint creates and deletes the same few fonts over and over: the last ones asked for are
// found by comparing the description's raw fields, before any name is converted.
struct RecentFont {
    LOGFONT lf{};
    int scale = 0;
    std::shared_ptr<const RealizedFont> font;
};
RecentFont g_recent[4];
std::size_t g_nextRecent = 0;
std::map<FontKey, std::shared_ptr<const RealizedFont>> g_realized;
std::unordered_map<std::uint64_t, std::shared_ptr<const GlyphImage>> g_glyphs;

bool SameRealisation(const LOGFONT& a, const LOGFONT& b)
{
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfWeight == b.lfWeight &&
           std::memcmp(a.lfFaceName, b.lfFaceName, sizeof a.lfFaceName) == 0;
}

std::shared_ptr<const RealizedFont> RealizeUncached(const LOGFONT& lf, int scale);

}  // namespace

std::shared_ptr<const RealizedFont> RealizeFontScaled(const LOGFONT& lf, int scale)
{
    for (const RecentFont& r : g_recent) {
        if (r.font && r.scale == scale && SameRealisation(r.lf, lf)) return r.font;
    }
    RecentFont& slot = g_recent[g_nextRecent++ % std::size(g_recent)];
    slot = RecentFont{lf, scale, RealizeUncached(lf, scale)};
    return slot.font;
}

namespace {

std::shared_ptr<const RealizedFont> RealizeUncached(const LOGFONT& lf, int scale)
{
    auto& cache = g_realized;
    const long long n = std::clamp(scale, 1, kMaxScreenScale);
    std::string face = Utf16ToUtf8(lf.lfFaceName, TerminatedLength(lf.lfFaceName, LF_FACESIZE));
    long long height = lf.lfHeight == 0 ? kDefaultHeight : ClampMagnitude(lf.lfHeight, kMaxFontPixels);
    long long width = std::min<long long>(std::llabs((long long)lf.lfWidth), kMaxFontPixels);
    // The size limit holds at every scale: a hostile height cannot ask for giant glyph images.
    height = ClampMagnitude(height * n, kMaxFontPixels);
    width = std::min<long long>(width * n, kMaxFontPixels);
    LONG weight = lf.lfWeight < 0 ? 0 : lf.lfWeight;
    FontKey key{face, height, width, weight};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() >= kRealizedCacheCap) cache.clear();  // fonts in use keep their own reference
    std::string storeKey = face + '\t' + std::to_string(height) + '\t' + std::to_string(width) + '\t' + std::to_string(weight);
    std::shared_ptr<const RealizedFont> font = Build(storeKey, face, height, width, weight);
    cache.emplace(key, font);
    return font;
}

}  // namespace

std::shared_ptr<const GlyphImage> RenderGlyph(const RealizedFont& font, char32_t codepoint)
{
    auto& cache = g_glyphs;
    if (!font.impl) return EmptyGlyph();
    std::uint64_t key = (std::uint64_t(std::uint32_t(font.impl->id)) << 32) | codepoint;
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() >= kGlyphCacheCap) cache.clear();
    auto glyph = RenderUncached(*font.impl, codepoint);
    cache.emplace(key, glyph);
    return glyph;
}

int FreeTypeWorkCount()
{
    return g_freeTypeWork;
}

void ForgetRealizedFontsForTesting()
{
    for (RecentFont& r : g_recent) r = RecentFont{};
    g_realized.clear();
    g_glyphs.clear();
}
