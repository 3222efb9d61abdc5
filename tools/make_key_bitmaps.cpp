// Writes the six key bitmaps of the calculator face as 8-bit BMP files (256-entry colour table,
// uncompressed, bottom-up) into the directory given as the only argument.
// Built by hand, not by the project's build:  g++ -std=c++20 -o make_key_bitmaps make_key_bitmaps.cpp
//
// Bevels, with r and b the distances of a pixel from the right and bottom edges, first rule wins:
//   raised: r == b <= 3 beige diagonal; r <= 1 or b <= 1 dark grey; r <= 3 or b <= 3 light grey;
//           x == 0 or y == 0 white; x == 1 or y == 1 light beige; else the key's fill colour.
//   sunken: r == b <= 1 mid-grey diagonal; r <= 1 or b <= 1 white; x == 0 or y == 0 light grey;
//           x <= 2 or y <= 2 mid grey; else cyan.
// So the fill of a raised 43 x 21 key is 37 x 15 from (2, 2), of the sunken one 38 x 16 from (3, 3).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "little_endian.h"

namespace {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kLightBeige{231, 231, 214};
constexpr Rgb kDarkGrey{134, 134, 134};
constexpr Rgb kLightGrey{192, 192, 192};
constexpr Rgb kSunkenEdge{204, 204, 204};
constexpr Rgb kMidGrey{150, 150, 150};

struct KeyBitmap {
    const char* file;
    int width, height;
    Rgb fill;
    bool sunken;
};

const KeyBitmap kKeys[] = {
    /* file               width height  fill             sunken */
    {"key_digit.bmp",     43,   21,     {102, 153, 255}, false},
    {"key_clear.bmp",     43,   21,     {255, 0, 102},   false},
    {"key_func.bmp",      43,   21,     {204, 255, 0},   false},
    {"key_pressed.bmp",   43,   21,     {0, 255, 255},   true},
    {"key_equals.bmp",    88,   21,     {204, 255, 0},   false},
    {"key_mode.bmp",      43,   21,     {255, 204, 102}, false},
};

Rgb RaisedPixel(const KeyBitmap& k, int x, int y)
{
    int r = k.width - 1 - x, b = k.height - 1 - y;
    if (r == b && r <= 3) return kLightBeige;
    if (r <= 1 || b <= 1) return kDarkGrey;
    if (r <= 3 || b <= 3) return kLightGrey;
    if (x == 0 || y == 0) return kWhite;
    if (x == 1 || y == 1) return kLightBeige;
    return k.fill;
}

Rgb SunkenPixel(const KeyBitmap& k, int x, int y)
{
    int r = k.width - 1 - x, b = k.height - 1 - y;
    if (r == b && r <= 1) return kMidGrey;
    if (r <= 1 || b <= 1) return kWhite;
    if (x == 0 || y == 0) return kSunkenEdge;
    if (x <= 2 || y <= 2) return kMidGrey;
    return k.fill;
}

std::vector<std::uint8_t> Encode(const KeyBitmap& k)
{
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> indexes(std::size_t(k.width) * k.height);
    for (int y = 0; y < k.height; ++y) {
        for (int x = 0; x < k.width; ++x) {
            Rgb c = k.sunken ? SunkenPixel(k, x, y) : RaisedPixel(k, x, y);
            std::size_t i = 0;
            while (i < palette.size() && !(palette[i] == c)) ++i;
            if (i == palette.size()) palette.push_back(c);
            indexes[std::size_t(y) * k.width + x] = std::uint8_t(i);
        }
    }
    palette.resize(256, Rgb{0, 0, 0});
    const int stride = (k.width + 3) / 4 * 4;
    const std::uint32_t pixelOffset = 14 + 40 + 256 * 4;
    const std::uint32_t fileSize = pixelOffset + std::uint32_t(stride) * k.height;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, fileSize);
    Put32(out, 0);
    Put32(out, pixelOffset);
    Put32(out, 40);
    Put32(out, std::uint32_t(k.width));
    Put32(out, std::uint32_t(k.height));  // positive: bottom-up rows
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0);  // BI_RGB
    Put32(out, std::uint32_t(stride) * k.height);
    Put32(out, 3780);  // 96 dpi in pixels per metre
    Put32(out, 3780);
    Put32(out, 256);
    Put32(out, 0);
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = k.height - 1; y >= 0; --y) {
        for (int x = 0; x < stride; ++x) out.push_back(x < k.width ? indexes[std::size_t(y) * k.width + x] : 0);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    for (const KeyBitmap& k : kKeys) {
        std::string path = std::string(argv[1]) + "/" + k.file;
        std::vector<std::uint8_t> bytes = Encode(k);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
