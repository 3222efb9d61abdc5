// Glyphs kept between runs: fonts realised again from the store have the metrics and draw the
// pixels FreeType gave, without FreeType; a damaged store changes nothing but the speed.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "host_scratch.h"
#include "platform/gdi/fonts/font_cache.h"
#include "platform/gdi/fonts/glyph_store.h"
#include "platform/kernel/host_dirs.h"

namespace {

// Digits, operators, captions' letters and a kana.
const char32_t kText[] = U"0123456789+-*/=.%ABCDEFMRSacdeghilnorstx\u30A2";
// No font has it: such glyphs are looked for again in every run.
constexpr char32_t kMissing = 0xEFFFD;

struct Case {
    LONG height, width, weight;
    int scale;
};
const Case kCases[] = {
    {-12, 0, FW_NORMAL, 1}, {-12, 0, FW_BOLD, 2}, {16, 5, FW_BOLD, 1}, {-9, 0, FW_NORMAL, 3}, {0, 0, FW_NORMAL, 2},
};

struct Drawn {
    std::vector<std::vector<int>> metrics;
    std::vector<GlyphImage> glyphs;
};

Drawn DrawAll(bool withMissing = true)
{
    Drawn d;
    for (const Case& c : kCases) {
        LOGFONT lf{};
        lf.lfHeight = c.height;
        lf.lfWidth = c.width;
        lf.lfWeight = c.weight;
        auto font = RealizeFontScaled(lf, c.scale);
        d.metrics.push_back({font->ascent, font->descent, font->internalLeading, font->aveCharWidth,
                             font->maxCharWidth, font->weight});
        for (char32_t ch : std::u32string_view(kText)) d.glyphs.push_back(*RenderGlyph(*font, ch));
        if (withMissing) d.glyphs.push_back(*RenderGlyph(*font, kMissing));
    }
    return d;
}

void ExpectSame(const Drawn& want, const Drawn& got, const std::string& what)
{
    ASSERT_EQ(want.metrics, got.metrics) << what;
    ASSERT_EQ(want.glyphs.size(), got.glyphs.size()) << what;
    for (std::size_t i = 0; i < want.glyphs.size(); ++i) {
        const GlyphImage &a = want.glyphs[i], &b = got.glyphs[i];
        EXPECT_TRUE(a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
                    a.advance == b.advance && a.coverage == b.coverage)
            << what << ": glyph " << i;
    }
}

// As a new process finds things: nothing realised, the store not yet read.
void NewRun()
{
    ForgetRealizedFontsForTesting();
    ForgetStoredGlyphsForTesting();
}

std::string StorePath()
{
    return ProgramDirectory("XDG_CACHE_HOME", ".cache", "glyphs.cache");
}

void Write(const std::string& bytes)
{
    FileReplacement file(StorePath(), 0600);
    ASSERT_TRUE(file.Commit(WriteAll(file.Fd(), bytes.data(), bytes.size())));
}

TEST(GlyphStore, ALaterRunDrawsTheSameWithoutFreeType)
{
    HostScratch scratch;
    NewRun();
    Drawn first = DrawAll(false);
    ASSERT_GT(first.glyphs.front().coverage.size(), 0u);
    NewRun();
    int work = FreeTypeWorkCount();
    Drawn second = DrawAll(false);
    EXPECT_EQ(FreeTypeWorkCount(), work);
    ExpectSame(first, second, "from the store");
    NewRun();
}

TEST(GlyphStore, ADamagedStoreChangesNothingButTheSpeed)
{
    HostScratch scratch;
    NewRun();
    Drawn truth = DrawAll();
    std::string stored;
    ASSERT_TRUE(ReadFileCapped(StorePath(), 0, 1 << 24, &stored));
    ASSERT_GT(stored.size(), 1000u);
    std::vector<std::pair<std::string, std::string>> damaged = {
        {"empty", ""},
        {"another header", "x" + stored.substr(1)},
        {"a length that runs past the end", stored.substr(0, stored.find("end\n") + 4) + std::string(4, '\xFF') +
                                                stored.substr(stored.find("end\n") + 8)},
    };
    for (std::size_t cut = 1; cut < stored.size(); cut += stored.size() / 7) {
        damaged.emplace_back("cut at " + std::to_string(cut), stored.substr(0, cut));
    }
    for (std::size_t at = 3; at < stored.size(); at += stored.size() / 23) {
        std::string flipped = stored;
        flipped[at] = char(flipped[at] ^ 0x10);
        damaged.emplace_back("byte " + std::to_string(at) + " changed", flipped);
    }
    for (const auto& [what, bytes] : damaged) {
        Write(bytes);
        NewRun();
        ExpectSame(truth, DrawAll(), what);
    }
    NewRun();
}

// Records written whole, with their checksums right, but with values no font or glyph has: they
// are passed over (the text layout's arithmetic would overflow on them).
TEST(GlyphStore, WellFormedRecordsWithImpossibleValuesAreIgnored)
{
    HostScratch scratch;
    NewRun();
    StoredFont sane;
    sane.file.path = "/proc/self/exe";  // any regular file stands for the font's
    sane.ascent = 10;
    sane.descent = 3;
    sane.weight = FW_NORMAL;
    sane.xSize = sane.ySize = 12 * 64;
    StoreFont("sane", sane);
    GlyphImage glyph;
    glyph.width = glyph.height = 1;
    glyph.advance = 5;
    glyph.coverage = {255};
    StoreGlyph("sane", U'7', glyph);
    NewRun();
    ASSERT_TRUE(StoredFontFor("sane"));
    ASSERT_TRUE(StoredGlyph("sane", U'7'));
    struct Bad {
        const char* what;
        void (*spoil)(StoredFont&);
    };
    const Bad kBad[] = {
        {"ascent", [](StoredFont& f) { f.ascent = 2147483647; }},
        {"descent", [](StoredFont& f) { f.descent = -2147483647; }},
        {"weight", [](StoredFont& f) { f.weight = -5; }},
        {"size", [](StoredFont& f) { f.ySize = 0; }},
        {"face index", [](StoredFont& f) { f.file.index = -1; }},
    };
    for (const Bad& bad : kBad) {
        StoredFont font = sane;
        bad.spoil(font);
        StoreFont(bad.what, font);
    }
    for (int GlyphImage::*field : {&GlyphImage::left, &GlyphImage::top, &GlyphImage::advance}) {
        GlyphImage far = glyph;
        far.*field = 1 << 30;
        StoreGlyph("far" + std::to_string(far.left) + std::to_string(far.top), U'7', far);
    }
    NewRun();
    for (const Bad& bad : kBad) EXPECT_FALSE(StoredFontFor(bad.what)) << bad.what;
    EXPECT_FALSE(StoredGlyph("far" + std::to_string(1 << 30) + "0", U'7')) << "left";
    EXPECT_FALSE(StoredGlyph("far0" + std::to_string(1 << 30), U'7')) << "top";
    EXPECT_FALSE(StoredGlyph("far00", U'7')) << "advance";
    EXPECT_TRUE(StoredFontFor("sane")) << "the sane records after them still count";
    NewRun();
}

}  // namespace
