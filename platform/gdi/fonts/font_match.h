// Finding font files through fontconfig: the face a font description names, or the default
// Japanese Gothic face, and faces that can stand in for glyphs the chosen face lacks.
#pragma once
#include <optional>
#include <string>

struct FontFile {
    std::string path;
    int index = 0;
    bool bold = false;  // a real bold face: no emboldening needed
};

// The file for a face name (UTF-8; empty, "System" and "MS UI Gothic" mean the default face) in
// normal or bold weight. Cached per (name, bold); none only when the machine has no fonts at all.
std::optional<FontFile> MatchFontFile(const std::string& face, bool bold);
// MatchFontFile's answer `unusable` turned out to be no font FreeType can open (a file remembered
// from an earlier run may have been damaged since): forgets it, here and between runs, and gives
// fontconfig's own match instead; none when fontconfig names the same file.
std::optional<FontFile> RematchUnusableFontFile(const std::string& face, bool bold, const FontFile& unusable);
// A file with a glyph for `codepoint`; cached per code point.
std::optional<FontFile> MatchFallbackFile(char32_t codepoint);
// How many (face, weight) look-ups went to fontconfig in this process: one answered from the
// cache of an earlier run does not count.
int FontconfigFaceMatchCount();
// Forgets the matches of this process and what was read of the cache (tests).
void ForgetFontMatchesForTesting();
