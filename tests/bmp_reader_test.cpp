// The bitmap and icon readers: correct pixels for every supported format, refusal of malformed
// files, and the program's own key bitmaps and icon.
#include <gtest/gtest.h>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>
#include "platform/gdi/bmp_ico_reader.h"
#include "platform/gdi/bmp_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, unsigned v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}

// A BMP file around `pixelData`, the stored rows in file order with their padding.
Bytes MakeBmp(int width, int height, int bpp, const std::vector<std::uint32_t>& palette, const Bytes& pixelData)
{
    Bytes b(14 + 40 + palette.size() * 4, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, std::uint32_t(b.size()));
    Put32(b, 14, 40);
    Put32(b, 18, std::uint32_t(width));
    Put32(b, 22, std::uint32_t(height));
    Put16(b, 26, 1);
    Put16(b, 28, unsigned(bpp));
    Put32(b, 46, std::uint32_t(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) Put32(b, 54 + 4 * i, palette[i]);
    b.insert(b.end(), pixelData.begin(), pixelData.end());
    return b;
}

// 3 x 2, 8 bpp, bottom-up: top row indexes 0 1 2, bottom row 2 1 0.
Bytes Valid8()
{
    return MakeBmp(3, 2, 8, {0x112233, 0x445566, 0x778899}, {2, 1, 0, 0, 0, 1, 2, 0});
}

struct Decoded {
    bool ok;
    DecodedImage img;
};

Decoded Decode(const Bytes& b)
{
    Decoded d;
    d.ok = DecodeBmp(b.data(), b.size(), &d.img);
    return d;
}

TEST(BmpReaderTest, DecodesEachPixelFormat)
{
    struct Case {
        const char* name;
        Bytes file;
        std::vector<std::uint32_t> want;  // top row first
    };
    const Case cases[] = {
        {"8bpp bottom-up", Valid8(), {0x112233, 0x445566, 0x778899, 0x778899, 0x445566, 0x112233}},
        {"8bpp top-down", MakeBmp(3, -2, 8, {0x112233, 0x445566, 0x778899}, {2, 1, 0, 0, 0, 1, 2, 0}),
         {0x778899, 0x445566, 0x112233, 0x112233, 0x445566, 0x778899}},
        {"1bpp", MakeBmp(3, 1, 1, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0}), {0xFFFFFF, 0x000000, 0xFFFFFF}},
        {"4bpp", MakeBmp(3, 1, 4, {0x0, 0x1, 0x2, 0x3}, {0x31, 0x20, 0, 0}), {0x3, 0x1, 0x2}},
        {"24bpp", MakeBmp(2, 1, 24, {}, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0}), {0x030201, 0x060504}},
        {"32bpp", MakeBmp(1, 2, 32, {}, {0x01, 0x02, 0x03, 0xFF, 0x0A, 0x0B, 0x0C, 0xFF}), {0x0C0B0A, 0x030201}},
        {"16bpp 555", MakeBmp(1, 1, 16, {}, {0x1F, 0x7C, 0, 0}), {0xFF00FF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = Decode(c.file);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.img.pixels, c.want);
    }
}

TEST(BmpReaderTest, RefusesMalformedFiles)
{
    struct Case {
        const char* name;
        std::function<void(Bytes&)> spoil;
    };
    const Case cases[] = {
        {"empty", [](Bytes& b) { b.clear(); }},
        {"file header only", [](Bytes& b) { b.resize(14); }},
        {"bad magic", [](Bytes& b) { b[1] = 'X'; }},
        {"core header size", [](Bytes& b) { Put32(b, 14, 12); }},
        {"odd header size", [](Bytes& b) { Put32(b, 14, 41); }},
        {"header larger than file", [](Bytes& b) { Put32(b, 14, 124); }},
        {"zero width", [](Bytes& b) { Put32(b, 18, 0); }},
        {"negative width", [](Bytes& b) { Put32(b, 18, std::uint32_t(-3)); }},
        {"zero height", [](Bytes& b) { Put32(b, 22, 0); }},
        {"most negative height", [](Bytes& b) { Put32(b, 22, 0x80000000u); }},
        {"two planes", [](Bytes& b) { Put16(b, 26, 2); }},
        {"7 bits per pixel", [](Bytes& b) { Put16(b, 28, 7); }},
        {"RLE compression", [](Bytes& b) { Put32(b, 30, 1); }},
        {"more colours than 8 bits hold", [](Bytes& b) { Put32(b, 46, 300); }},
        {"colour table past the end", [](Bytes& b) { Put32(b, 46, 256); }},
        {"pixel offset past the end", [](Bytes& b) { Put32(b, 10, 0x7FFFFFF0); }},
        {"pixel offset inside header", [](Bytes& b) { Put32(b, 10, 20); }},
        {"pixels cut short", [](Bytes& b) { b.pop_back(); }},
        {"absurd width", [](Bytes& b) { Put32(b, 18, 70000); }},
        {"width x height overflows", [](Bytes& b) { Put32(b, 18, 0x4000); Put32(b, 22, 0x4000); }},
        {"index past the colour table", [](Bytes& b) { b[b.size() - 8] = 3; }},
    };
    ASSERT_TRUE(Decode(Valid8()).ok);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = Valid8();
        c.spoil(b);
        EXPECT_FALSE(Decode(b).ok);
    }
    DecodedImage img;
    EXPECT_FALSE(DecodeBmp(nullptr, 100, &img));
}

TEST(BmpReaderTest, NoReadPastAnyTruncation)
{
    const Bytes full = Valid8();
    for (std::size_t n = 0; n < full.size(); ++n) {
        Bytes cut(full.begin(), full.begin() + n);
        cut.shrink_to_fit();  // so the sanitizer sees a read past the end
        EXPECT_FALSE(Decode(cut).ok) << n;
    }
}

Bytes ReadFile(const std::string& name)
{
    std::ifstream in(std::string(QUORIX_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// ---- the program's key bitmaps --------------------------------------------------------

constexpr std::uint32_t kWhite = 0xFFFFFF, kLightBeige = 0xE7E7D6, kDarkGrey = 0x868686, kLightGrey = 0xC0C0C0;
constexpr std::uint32_t kSunkenEdge = 0xCCCCCC, kMidGrey = 0x969696;

struct KeyFile {
    const char* file;
    int width, height;
    std::uint32_t fill;
    bool sunken;
};

const KeyFile kKeyFiles[] = {
    /* file              w   h   fill      sunken */
    {"key_digit.bmp",    43, 21, 0x6699FF, false},
    {"key_clear.bmp",    43, 21, 0xFF0066, false},
    {"key_func.bmp",     43, 21, 0xCCFF00, false},
    {"key_pressed.bmp",  43, 21, 0x00FFFF, true},
    {"key_equals.bmp",   88, 21, 0xCCFF00, false},
    {"key_mode.bmp",     43, 21, 0xFFCC66, false},
};

TEST(KeyBitmapTest, SizesFillsAndBevels)
{
    for (const KeyFile& k : kKeyFiles) {
        SCOPED_TRACE(k.file);
        Bytes b = ReadFile(k.file);
        ASSERT_GT(b.size(), 54u);
        EXPECT_EQ(b[28], 8);                             // 8 bits per pixel
        EXPECT_EQ(b[30] | b[31] | b[32] | b[33], 0);     // uncompressed
        EXPECT_EQ(b[46] | (b[47] << 8), 256);            // 256-entry colour table
        DecodedImage img;
        ASSERT_TRUE(DecodeBmp(b.data(), b.size(), &img));
        ASSERT_EQ(img.width, k.width);
        ASSERT_EQ(img.height, k.height);
        const int W = k.width, H = k.height, midX = W / 2, midY = H / 2;
        auto at = [&](int x, int y) { return img.pixels[std::size_t(y) * W + x]; };
        EXPECT_EQ(at(midX, midY), k.fill);
        if (!k.sunken) {
            EXPECT_EQ(at(0, midY), kWhite);
            EXPECT_EQ(at(midX, 0), kWhite);
            EXPECT_EQ(at(1, midY), kLightBeige);
            EXPECT_EQ(at(midX, 1), kLightBeige);
            for (int d : {1, 2}) {
                EXPECT_EQ(at(W - d, midY), kDarkGrey);
                EXPECT_EQ(at(midX, H - d), kDarkGrey);
                EXPECT_EQ(at(W - 2 - d, midY), kLightGrey);
                EXPECT_EQ(at(midX, H - 2 - d), kLightGrey);
            }
            for (int d = 1; d <= 4; ++d) EXPECT_EQ(at(W - d, H - d), kLightBeige) << "diagonal " << d;
            // the fill: (W - 6) x 15 from (2, 2)
            EXPECT_EQ(at(2, 2), k.fill);
            EXPECT_EQ(at(W - 5, H - 5), k.fill);
            EXPECT_NE(at(W - 4, H - 5), k.fill);
            EXPECT_NE(at(W - 5, H - 4), k.fill);
        } else {
            EXPECT_EQ(at(0, midY), kSunkenEdge);
            EXPECT_EQ(at(midX, 0), kSunkenEdge);
            EXPECT_EQ(at(1, midY), kMidGrey);
            EXPECT_EQ(at(2, midY), kMidGrey);
            EXPECT_EQ(at(midX, 2), kMidGrey);
            EXPECT_EQ(at(W - 1, midY), kWhite);
            EXPECT_EQ(at(W - 2, midY), kWhite);
            EXPECT_EQ(at(midX, H - 2), kWhite);
            EXPECT_EQ(at(W - 1, H - 1), kMidGrey);
            EXPECT_EQ(at(W - 2, H - 2), kMidGrey);
            // the fill: 38 x 16 from (3, 3)
            EXPECT_EQ(at(3, 3), k.fill);
            EXPECT_EQ(at(40, 18), k.fill);
            EXPECT_NE(at(41, 18), k.fill);
            EXPECT_NE(at(40, 19), k.fill);
        }
    }
}

// ---- icons --------------------------------------------------------------------------------

TEST(IcoReaderTest, ProgramIconHasBothSizesWithMasks)
{
    Bytes b = ReadFile("app_icon.ico");
    std::vector<IconImage> images;
    ASSERT_TRUE(DecodeIco(b.data(), b.size(), &images));
    ASSERT_EQ(images.size(), 2u);
    for (int side : {32, 16}) {
        const IconImage* img = PickIconImage(images, side);
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(img->width, side);
        EXPECT_EQ(img->height, side);
        EXPECT_EQ(img->mask[0], 1);                                           // corner: transparent
        EXPECT_EQ(img->mask[std::size_t(side / 2) * side + side / 2], 0);     // body: opaque
        EXPECT_EQ(b[6 + 16 * (side == 32 ? 0 : 1) + 6], 4);                   // 4 bits per pixel
    }
}

// A one-image 2 x 2 icon, 4 bpp with 2 colours; the AND mask keeps the top-left pixel.
Bytes MakeIco()
{
    Bytes b(6 + 16 + 40 + 2 * 4 + 2 * 4 + 2 * 4, 0);
    Put16(b, 2, 1);
    Put16(b, 4, 1);
    b[6] = 2;
    b[7] = 2;
    Put32(b, 6 + 8, std::uint32_t(b.size() - 22));
    Put32(b, 6 + 12, 22);
    Put32(b, 22, 40);
    Put32(b, 26, 2);
    Put32(b, 30, 4);
    Put16(b, 34, 1);
    Put16(b, 36, 4);
    Put32(b, 54, 2);
    Put32(b, 62, 0x000000);
    Put32(b, 66, 0xFF0000);
    b[70] = 0x10;  // bottom row: colour 1, colour 0
    b[74] = 0x01;  // top row: colour 0, colour 1
    b[82] = 0x80;  // mask, top row: keep the left pixel
    return b;
}

TEST(IcoReaderTest, DecodesColoursAndMaskAndRefusesMalformedFiles)
{
    std::vector<IconImage> images;
    Bytes good = MakeIco();
    ASSERT_TRUE(DecodeIco(good.data(), good.size(), &images));
    EXPECT_EQ(images[0].color, (std::vector<std::uint32_t>{0x000000, 0xFF0000, 0xFF0000, 0x000000}));
    EXPECT_EQ(images[0].mask, (std::vector<std::uint8_t>{1, 0, 0, 0}));

    struct Case {
        const char* name;
        std::function<void(Bytes&)> spoil;
    };
    const Case cases[] = {
        {"too short", [](Bytes& b) { b.resize(5); }},
        {"reserved word set", [](Bytes& b) { Put16(b, 0, 1); }},
        {"cursor type", [](Bytes& b) { Put16(b, 2, 2); }},
        {"no images", [](Bytes& b) { Put16(b, 4, 0); }},
        {"directory past the end", [](Bytes& b) { Put16(b, 4, 60); }},
        {"image offset past the end", [](Bytes& b) { Put32(b, 18, 0xFFFFFFF0u); }},
        {"image length past the end", [](Bytes& b) { Put32(b, 14, 0x7FFFFFFF); }},
        {"odd DIB height", [](Bytes& b) { Put32(b, 30, 3); }},
        {"top-down DIB", [](Bytes& b) { Put32(b, 30, std::uint32_t(-4)); }},
        {"mask missing", [](Bytes& b) { b.resize(b.size() - 4); Put32(b, 14, std::uint32_t(b.size() - 22)); }},
        {"index past the colour table", [](Bytes& b) { b[70] = 0x50; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = MakeIco();
        c.spoil(b);
        EXPECT_FALSE(DecodeIco(b.data(), b.size(), &images));
    }
}

}  // namespace
