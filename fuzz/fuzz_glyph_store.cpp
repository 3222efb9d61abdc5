// Fuzz target: the records of the glyphs and font metrics kept between runs, as a damaged or
// hostile cache file holds them. Every font and glyph the reader indexed is read back. Checked:
// what comes back keeps within the bounds the text layout relies on, and a glyph's coverage has
// exactly width x height bytes.
#include <string_view>
#include "fuzz/fuzz_input.h"
#include "platform/gdi/fonts/glyph_store.h"

namespace {

bool Within(long long v, long long low, long long high)
{
    return v >= low && v <= high;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr int kSide = kMaxStoredGlyphSide;
    ReadStoredRecordsForTesting(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& key : StoredFontKeysForTesting()) {
        std::optional<StoredFont> font = StoredFontFor(key);
        if (!font) continue;  // its file is not there as stored
        FUZZ_CHECK(!font->file.path.empty() && font->file.path[0] == '/' && font->file.index >= 0);
        for (int m : {font->ascent, font->descent, font->internalLeading, font->aveCharWidth, font->maxCharWidth}) {
            FUZZ_CHECK(Within(m, -kSide, kSide));
        }
        FUZZ_CHECK(Within(font->weight, 0, 1000));
        FUZZ_CHECK(Within(font->xSize, 1, kSide * 64LL) && Within(font->ySize, 1, kSide * 64LL));
    }
    for (const auto& [key, codepoint] : StoredGlyphKeysForTesting()) {
        std::shared_ptr<const GlyphImage> glyph = StoredGlyph(key, codepoint);
        if (!glyph) continue;  // its checksum failed
        FUZZ_CHECK(Within(glyph->width, 0, kSide) && Within(glyph->height, 0, kSide));
        FUZZ_CHECK(glyph->coverage.size() == std::size_t(glyph->width) * std::size_t(glyph->height));
        FUZZ_CHECK(Within(glyph->left, -kSide, kSide) && Within(glyph->top, -kSide, kSide) &&
                   Within(glyph->advance, -kSide, kSide));
    }
    ForgetStoredGlyphsForTesting();
    return 0;
}
