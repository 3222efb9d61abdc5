// Fonts realised for drawing: a face at a pixel size, width scale and weight, with its metrics
// in device pixels, and the glyph images rendered from it (anti-aliased coverage, cached).
#pragma once
#include <cstdint>
#include <memory>
#include <vector>
#include "platform/extras.h"
#include "platform/win_gdi.h"

constexpr int kMaxFontPixels = 1024;

struct RealizedFontImpl;

struct RealizedFont {
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int weight = FW_NORMAL;
    std::unique_ptr<RealizedFontImpl> impl;  // null when no font file could be opened

    int Height() const { return ascent + descent; }
    RealizedFont();
    ~RealizedFont();
};

struct GlyphImage {
    int left = 0;     // from the pen position to the image's left edge
    int top = 0;      // from the baseline up to the image's top edge
    int width = 0;
    int height = 0;
    int advance = 0;  // whole pixels
    std::vector<std::uint8_t> coverage;  // width x height, 0..255
};

// Never null: a description that finds no usable font gives metrics and empty glyphs.
std::shared_ptr<const RealizedFont> RealizeFont(const LOGFONT& lf);
// The same font for a screen drawn at `scale` (1..kMaxScreenScale): height and width N times the
// scale-1 font's, so glyphs are rasterised at that size rather than enlarged.
std::shared_ptr<const RealizedFont> RealizeFontScaled(const LOGFONT& lf, int scale);
// The glyph for `codepoint`, from the font or a fallback face; empty with advance 0 when none has it.
std::shared_ptr<const GlyphImage> RenderGlyph(const RealizedFont& font, char32_t codepoint);
// How many font sizes were set up and glyphs rasterised with FreeType in this process (fonts and
// glyphs kept from an earlier run need neither).
int FreeTypeWorkCount();
// Forgets the fonts realised and glyphs rendered in this process (tests).
void ForgetRealizedFontsForTesting();
