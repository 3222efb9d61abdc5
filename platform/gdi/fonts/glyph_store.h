// Realised fonts' metrics and rendered glyphs kept between runs in
// $XDG_CACHE_HOME/<program>/glyphs.cache, so that a start whose fonts are unchanged draws its
// text without opening a font file or running the rasteriser (about half of a start's work).
// Entries are good while this executable, the FreeType library and the font file they came from
// keep their size and modification time. Internal to the layer.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "platform/gdi/fonts/font_cache.h"
#include "platform/gdi/fonts/font_match.h"

// What a realised font needs besides its glyphs: its metrics, the file it was drawn from and the
// size the rasteriser was set to.
struct StoredFont {
    FontFile file;
    int ascent = 0, descent = 0, internalLeading = 0, aveCharWidth = 0, maxCharWidth = 0, weight = 0;
    long long xSize = 64, ySize = 64;  // 26.6 fixed point, as FreeType takes them
    bool embolden = false;
};

// The font stored under `key` (a realised description), when its file is unchanged.
std::optional<StoredFont> StoredFontFor(const std::string& key);
// Adds a font; failures are ignored (the next start renders again).
void StoreFont(const std::string& key, const StoredFont& font);
// The glyph stored for the font under `key`, or null.
std::shared_ptr<const GlyphImage> StoredGlyph(const std::string& key, char32_t codepoint);
// Adds a glyph of the font under `key` (stored with StoreFont); failures are ignored.
void StoreGlyph(const std::string& key, char32_t codepoint, const GlyphImage& glyph);
// Forgets what was read and written, so that the next look-up reads the file again (tests).
void ForgetStoredGlyphsForTesting();
// Takes `records` (what follows the header in a file) as if read from the store, and names the
// fonts and glyphs it found (the fuzz target reads every one of them back).
void ReadStoredRecordsForTesting(std::string_view records);
std::vector<std::string> StoredFontKeysForTesting();
std::vector<std::pair<std::string, char32_t>> StoredGlyphKeysForTesting();
// The bounds a stored font's metrics and a stored glyph's sides and offsets keep within.
constexpr int kMaxStoredGlyphSide = 4096;
