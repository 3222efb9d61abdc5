// The theme icons: nearest-neighbour enlargement, the mask as transparency, the PNG files.
#include <gtest/gtest.h>
#include <png.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include "tests/host_scratch.h"
#include "tools/icon_sizes.h"

namespace {

std::vector<unsigned char> ProgramIcoBytes()
{
    std::ifstream in(std::string(QUORIX_SOURCE_DIR) + "/resources/app_icon.ico", std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

std::vector<IconImage> ProgramIconImages()
{
    std::vector<unsigned char> bytes = ProgramIcoBytes();
    std::vector<IconImage> images;
    EXPECT_TRUE(DecodeIco(bytes.data(), bytes.size(), &images));
    return images;
}

// A source whose every pixel has its own colour, x + 256 * y, and no masked pixel.
IconImage CodedImage(int width, int height)
{
    IconImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.color.push_back(std::uint32_t(x + 256 * y));
    }
    image.mask.assign(image.color.size(), 0);
    return image;
}

std::uint32_t At(const ThemeIcon& icon, int x, int y)
{
    return icon.pixels[std::size_t(y) * icon.side + x];
}

// What an enlarged pixel must hold for a source pixel: its colour, opaque, or nothing at all.
std::uint32_t Expected(const IconImage& source, int sx, int sy)
{
    std::size_t i = std::size_t(sy) * source.width + sx;
    return source.mask[i] ? 0u : 0xFF000000u | source.color[i];
}

TEST(ThemeIcon, WholeFactorSizesAreBlocksOfTheSourcePixels)
{
    std::vector<IconImage> images = ProgramIconImages();
    ASSERT_EQ(images.size(), 2u);
    struct Case { int side; int sourceSide; };
    const Case cases[] = {{16, 16}, {32, 32}, {64, 32}, {128, 32}, {256, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        const IconImage* source = PickIconImage(images, c.sourceSide);
        ASSERT_EQ(source->width, c.sourceSide);
        ThemeIcon icon;
        ASSERT_TRUE(MakeThemeIcon(images, c.side, &icon));
        ASSERT_EQ(icon.side, c.side);
        ASSERT_EQ(icon.pixels.size(), std::size_t(c.side) * c.side);
        int factor = c.side / c.sourceSide;
        int wrong = 0;
        for (int y = 0; y < c.side; ++y) {
            for (int x = 0; x < c.side; ++x) wrong += At(icon, x, y) != Expected(*source, x / factor, y / factor);
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(ThemeIcon, ProgramIconHasTransparentCornersAndAnOpaqueBody)
{
    std::vector<IconImage> images = ProgramIconImages();
    for (int side : kThemeIconSides) {
        SCOPED_TRACE(side);
        ThemeIcon icon;
        ASSERT_TRUE(MakeThemeIcon(images, side, &icon));
        EXPECT_EQ(At(icon, 0, 0), 0u);
        EXPECT_EQ(At(icon, side - 1, 0), 0u);
        EXPECT_EQ(At(icon, 0, side - 1), 0u);
        EXPECT_EQ(At(icon, side / 2, side / 2) >> 24, 0xFFu);
        for (std::uint32_t p : icon.pixels) {
            std::uint32_t alpha = p >> 24;
            ASSERT_TRUE(alpha == 0 || alpha == 0xFF) << std::hex << p;
            if (alpha == 0) {
                ASSERT_EQ(p, 0u) << "a transparent pixel keeps a colour";
            }
        }
    }
}

// 48 is no whole multiple of 32: every source row and column must still show, in order, and no
// output pixel may come from further than one source pixel's width from where it lies.
TEST(ThemeIcon, UnevenEnlargementKeepsEverySourcePixelInOrder)
{
    const IconImage source = CodedImage(32, 32);
    ThemeIcon icon;
    ASSERT_TRUE(ScaleIconImage(source, 48, &icon));
    std::set<std::uint32_t> seen;
    for (int y = 0; y < 48; ++y) {
        int previousX = -1;
        for (int x = 0; x < 48; ++x) {
            std::uint32_t colour = At(icon, x, y) & 0xFFFFFFu;
            int sx = int(colour % 256), sy = int(colour / 256);
            seen.insert(colour);
            EXPECT_GE(sx, previousX);
            EXPECT_LE(std::abs(sx * 48 - x * 32), 48) << x;
            EXPECT_LE(std::abs(sy * 48 - y * 32), 48) << y;
            previousX = sx;
        }
    }
    EXPECT_EQ(seen.size(), 32u * 32u);
}

TEST(ThemeIcon, ShrinkingAndStretchingNonSquareSources)
{
    struct Case { int width, height, side; };
    const Case cases[] = {{8, 4, 16}, {1, 1, 256}, {3, 5, 7}, {16, 2, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " to " << c.side);
        const IconImage source = CodedImage(c.width, c.height);
        ThemeIcon icon;
        ASSERT_TRUE(ScaleIconImage(source, c.side, &icon));
        // Corners come from the source's corners.
        EXPECT_EQ(At(icon, 0, 0), Expected(source, 0, 0));
        EXPECT_EQ(At(icon, c.side - 1, c.side - 1), Expected(source, c.width - 1, c.height - 1));
    }
    // Halving keeps every other pixel of every other row.
    const IconImage big = CodedImage(32, 32);
    ThemeIcon half;
    ASSERT_TRUE(ScaleIconImage(big, 16, &half));
    int wrong = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) wrong += At(half, x, y) != Expected(big, 2 * x, 2 * y);
    }
    EXPECT_EQ(wrong, 0);
}

TEST(ThemeIcon, MaskedPixelsBecomeTransparentAtEverySize)
{
    IconImage source;
    source.width = source.height = 2;
    source.color = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    source.mask = {1, 0, 0, 1};
    for (int side : {2, 4, 6, 3}) {
        SCOPED_TRACE(side);
        ThemeIcon icon;
        ASSERT_TRUE(ScaleIconImage(source, side, &icon));
        EXPECT_EQ(At(icon, 0, 0), 0u);
        EXPECT_EQ(At(icon, side - 1, 0), 0xFF00FF00u);
        EXPECT_EQ(At(icon, 0, side - 1), 0xFF0000FFu);
        EXPECT_EQ(At(icon, side - 1, side - 1), 0u);
    }
}

TEST(ThemeIcon, MalformedSourcesAndSidesAreRefused)
{
    const IconImage good = CodedImage(4, 4);
    IconImage shortColour = good;
    shortColour.color.pop_back();
    IconImage shortMask = good;
    shortMask.mask.resize(3);
    IconImage empty;
    IconImage hugeClaim = good;
    hugeClaim.width = 1 << 20;
    hugeClaim.height = 1 << 20;
    struct Case { const char* what; const IconImage* source; int side; };
    const Case cases[] = {
        {"side 0", &good, 0},          {"negative side", &good, -16},  {"side too big", &good, kMaxThemeIconSide + 1},
        {"short colour", &shortColour, 16}, {"short mask", &shortMask, 16}, {"empty", &empty, 16},
        {"huge claimed size", &hugeClaim, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ThemeIcon icon;
        icon.side = 99;
        EXPECT_FALSE(ScaleIconImage(*c.source, c.side, &icon));
        EXPECT_EQ(icon.side, 99) << "the output was touched";
    }
    EXPECT_FALSE(ScaleIconImage(good, 16, nullptr));
    ThemeIcon icon;
    EXPECT_FALSE(MakeThemeIcon({}, 16, &icon));
}

TEST(ThemeIconPng, ReadsBackWithItsAlpha)
{
    HostScratch scratch;
    IconImage source = CodedImage(5, 5);
    source.mask[7] = 1;
    ThemeIcon icon;
    ASSERT_TRUE(ScaleIconImage(source, 10, &icon));
    std::string path = scratch.Path() + "/icon.png";
    ASSERT_TRUE(WriteThemeIconPng(icon, path.c_str()));

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    EXPECT_EQ(image.width, 10u);
    EXPECT_EQ(image.height, 10u);
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> rgba(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr));
    int wrong = 0;
    for (std::size_t i = 0; i < icon.pixels.size(); ++i) {
        std::uint32_t p = icon.pixels[i];
        const png_byte* q = &rgba[i * 4];
        wrong += q[0] != png_byte(p >> 16) || q[1] != png_byte(p >> 8) || q[2] != png_byte(p) || q[3] != png_byte(p >> 24);
    }
    EXPECT_EQ(wrong, 0);
}

TEST(ThemeIconPng, BadIconsAndPathsLeaveNoFile)
{
    HostScratch scratch;
    ThemeIcon good;
    ASSERT_TRUE(ScaleIconImage(CodedImage(2, 2), 4, &good));
    ThemeIcon shortPixels = good;
    shortPixels.pixels.pop_back();
    ThemeIcon zero;
    std::string inScratch = scratch.Path() + "/out.png";
    struct Case { const char* what; const ThemeIcon* icon; std::string path; };
    const Case cases[] = {
        {"short pixels", &shortPixels, inScratch},
        {"no side", &zero, inScratch},
        {"missing folder", &good, scratch.Path() + "/no/such/folder/out.png"},
        {"a folder as the file", &good, scratch.Path()},
        {"empty path", &good, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(WriteThemeIconPng(*c.icon, c.path.c_str()));
        EXPECT_FALSE(std::filesystem::exists(inScratch));
    }
    EXPECT_FALSE(WriteThemeIconPng(good, nullptr));
}

TEST(ThemeIconFiles, WritesEverySizeIntoTheThemeLayout)
{
    HostScratch scratch;
    std::vector<unsigned char> bytes = ProgramIcoBytes();
    std::string error;
    ASSERT_TRUE(WriteThemeIcons(bytes.data(), bytes.size(), scratch.Path() + "/hicolor", "quorix", &error)) << error;
    for (int side : kThemeIconSides) {
        std::string path = scratch.Path() + "/hicolor/" + std::to_string(side) + "x" + std::to_string(side) +
                           "/apps/quorix.png";
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << path;
        EXPECT_EQ(image.width, png_uint_32(side));
        EXPECT_EQ(image.height, png_uint_32(side));
        EXPECT_TRUE(image.format & PNG_FORMAT_FLAG_ALPHA) << path;
        png_image_free(&image);
    }
}

TEST(ThemeIconFiles, RefusesWhatIsNoIconAndFoldersItCannotMake)
{
    HostScratch scratch;
    std::vector<unsigned char> icon = ProgramIcoBytes();
    std::vector<unsigned char> truncated(icon.begin(), icon.begin() + std::ptrdiff_t(icon.size() / 2));
    const unsigned char pngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    struct Case { const char* what; std::vector<unsigned char> bytes; };
    const Case cases[] = {
        {"empty", {}},
        {"png, not ico", std::vector<unsigned char>(std::begin(pngSignature), std::end(pngSignature))},
        {"truncated", truncated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(WriteThemeIcons(c.bytes.data(), c.bytes.size(), scratch.Path() + "/out", "quorix", &error));
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(std::filesystem::exists(scratch.Path() + "/out"));
    }
    // A plain file where a folder must go.
    std::ofstream(scratch.Path() + "/blocker") << "x";
    std::string error;
    EXPECT_FALSE(WriteThemeIcons(icon.data(), icon.size(), scratch.Path() + "/blocker", "quorix", &error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}

}  // namespace
