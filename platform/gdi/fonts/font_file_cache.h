// The font files fontconfig chose, remembered between runs in $XDG_CACHE_HOME/<program>/fonts.cache,
// so that a start whose fonts and font configuration are unchanged never starts fontconfig (its
// configuration parsing is most of a headless run). Internal to the layer.
#pragma once
#include <optional>
#include <string>
#include "platform/gdi/fonts/font_match.h"

// The file remembered for (face, bold), when the entry is still good: the font file is there with
// the size and time it had, and the font configuration has not changed since. Never with
// FONTCONFIG_FILE or FONTCONFIG_PATH set (a configuration of the caller's own).
std::optional<FontFile> RememberedFontFile(const std::string& face, bool bold);
// Remembers what fontconfig chose for (face, bold); rewrites the file whole. Failures are ignored.
void RememberFontFile(const std::string& face, bool bold, const FontFile& file);
// Drops the entry for (face, bold): its file turned out to be no usable font. Failures are ignored.
void ForgetFontFile(const std::string& face, bool bold);
// Forgets what was read, so that the next look-up reads the file again (tests).
void ForgetRememberedFontFilesForTesting();
