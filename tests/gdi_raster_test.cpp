// Coverage blending: every coverage value on every kind of background gives the rounded mix of
// the text colour and the pixel, whatever the row's length and where the glyph is clipped.
#include <gtest/gtest.h>
#include <cstdint>
#include <vector>
#include "platform/gdi/raster.h"

namespace {

// The blend written out channel by channel, as the rounding is defined: (f a + b (255 - a)) / 255
// to the nearest, and a pixel with no coverage keeps all four bytes.
std::uint32_t Reference(std::uint32_t bg, std::uint32_t fg, unsigned a)
{
    if (a == 0) return bg;
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        unsigned b = (bg >> shift) & 0xFF, f = (fg >> shift) & 0xFF;
        out |= ((f * a + b * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

// Pixels chosen to meet every lane: black, white, the text colour itself, a spare top byte set.
std::uint32_t Background(int i)
{
    static const std::uint32_t kSome[] = {0x000000, 0xFFFFFF, 0x123456, 0xFF80FF01, 0x00FF00, 0x7F7F80};
    return kSome[i % 6] ^ std::uint32_t(i * 0x010305);
}

TEST(BlendCoverageTest, EveryCoverageValueMatchesTheRoundedMix)
{
    // Rows of 1 to 11 pixels, so every tail after groups of four is met.
    for (std::uint32_t color : {0x000000u, 0xFFFFFFu, 0x1E90FFu, 0x804020u}) {
        for (int width = 1; width <= 11; ++width) {
            const int rows = (256 + width - 1) / width;
            std::vector<std::uint8_t> coverage(std::size_t(width) * rows);
            for (std::size_t i = 0; i < coverage.size(); ++i) coverage[i] = std::uint8_t(i * 97 % 256);
            std::vector<std::uint32_t> pixels(std::size_t(width) * rows);
            for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = Background(int(i));
            const std::vector<std::uint32_t> before = pixels;
            Surface s{pixels.data(), width, rows, width};
            BlendCoverage(s, RECT{0, 0, width, rows}, 0, 0, coverage.data(), width, rows, width, color);
            for (std::size_t i = 0; i < pixels.size(); ++i) {
                ASSERT_EQ(pixels[i], Reference(before[i], color, coverage[i]))
                    << "colour " << std::hex << color << " width " << std::dec << width << " pixel " << i;
            }
        }
    }
}

TEST(BlendCoverageTest, RunsOfFullAndNoCoverageTakeTheColourOrKeepThePixel)
{
    std::vector<std::uint8_t> coverage = {255, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 128, 0};
    const int width = int(coverage.size());
    std::vector<std::uint32_t> pixels(coverage.size(), 0xAB102030u);
    Surface s{pixels.data(), width, 1, width};
    BlendCoverage(s, RECT{0, 0, width, 1}, 0, 0, coverage.data(), width, 1, width, 0x00C0FFEEu);
    for (int i = 0; i < width; ++i) EXPECT_EQ(pixels[i], Reference(0xAB102030u, 0x00C0FFEEu, coverage[i])) << i;
}

TEST(BlendCoverageTest, OnlyPixelsInsideTheClipAndTheSurfaceChange)
{
    constexpr int kW = 12, kH = 6;
    std::vector<std::uint8_t> coverage(10 * 10, 255);
    struct Case {
        long long x, y;
        RECT clip;
    } cases[] = {
        {-3, -2, RECT{0, 0, kW, kH}},      // hanging off the top-left corner
        {7, 3, RECT{0, 0, kW, kH}},        // off the bottom-right corner
        {1, 1, RECT{2, 1, 5, 4}},          // cut by a clip inside the surface
        {1, 1, RECT{-50, -50, 500, 500}},  // a clip larger than the surface
        {-1LL << 40, 1LL << 40, RECT{0, 0, kW, kH}},  // far away: nothing at all
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> pixels(kW * kH, 0x111111);
        Surface s{pixels.data(), kW, kH, kW};
        BlendCoverage(s, c.clip, c.x, c.y, coverage.data(), 10, 10, 10, 0xFFFFFF);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                bool inGlyph = x >= c.x && x < c.x + 10 && y >= c.y && y < c.y + 10;
                bool inClip = x >= c.clip.left && x < c.clip.right && y >= c.clip.top && y < c.clip.bottom;
                EXPECT_EQ(pixels[y * kW + x], inGlyph && inClip ? 0xFFFFFFu : 0x111111u) << x << "," << y;
            }
        }
    }
}

}  // namespace
