// Writes the program's icon, a small calculator (navy body, lit display, a grid of keys with a
// red equals key), as an .ico file with a 32 x 32 and a 16 x 16 image, 16 colours each, with
// their AND masks (the corners and the sides of the body are transparent).
// Built by hand, not by the project's build:  g++ -std=c++20 -o make_app_icon make_app_icon.cpp
#include <cstdint>
#include <cstdio>
#include <vector>
#include "little_endian.h"

namespace {

// The standard 16-colour palette, as (R, G, B).
const std::uint8_t kPalette[16][3] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};
enum : std::uint8_t { BLACK = 0, DARK_GREEN = 2, NAVY = 4, SILVER = 7, RED = 9, LIME = 10, YELLOW = 11, WHITE = 15 };
constexpr int kTransparent = -1;

struct Layout {
    int side;
    int bodyLeft, bodyTop, bodyRight, bodyBottom;  // inclusive
    int displayLeft, displayTop, displayRight, displayBottom;
    int keyLeft, keyTop, keyWidth, keyHeight, keyGap, keyColumns, keyRows;
};

const Layout kLayouts[] = {
    /* side  body           display        keys: left top  w  h  gap cols rows */
    {32, 4, 1, 27, 30, 7, 4, 24, 10, 7, 13, 4, 3, 1, 4, 4},
    {16, 2, 0, 13, 15, 4, 2, 11, 5, 4, 7, 2, 2, 1, 3, 3},
};

bool Inside(int x, int y, int l, int t, int r, int b)
{
    return x >= l && x <= r && y >= t && y <= b;
}

int KeyColor(const Layout& L, int x, int y)
{
    for (int row = 0; row < L.keyRows; ++row) {
        for (int col = 0; col < L.keyColumns; ++col) {
            int l = L.keyLeft + col * (L.keyWidth + L.keyGap), t = L.keyTop + row * (L.keyHeight + L.keyGap);
            if (!Inside(x, y, l, t, l + L.keyWidth - 1, t + L.keyHeight - 1)) continue;
            if (row == L.keyRows - 1 && col == L.keyColumns - 1) return RED;
            return col == L.keyColumns - 1 ? YELLOW : WHITE;
        }
    }
    return kTransparent;
}

int PixelAt(const Layout& L, int x, int y)
{
    if (!Inside(x, y, L.bodyLeft, L.bodyTop, L.bodyRight, L.bodyBottom)) return kTransparent;
    bool cornerX = x == L.bodyLeft || x == L.bodyRight, cornerY = y == L.bodyTop || y == L.bodyBottom;
    if (cornerX && cornerY) return kTransparent;  // rounded corners
    if (cornerX || cornerY) return BLACK;
    if (Inside(x, y, L.displayLeft, L.displayTop, L.displayRight, L.displayBottom)) {
        bool edge = x == L.displayLeft || x == L.displayRight || y == L.displayTop || y == L.displayBottom;
        if (edge) return BLACK;
        // a lit "0." at the right of the display
        int digitRight = L.displayRight - 2, mid = (L.displayTop + L.displayBottom) / 2;
        if (x >= digitRight - 2 && x <= digitRight && y > L.displayTop && y < L.displayBottom &&
            (x == digitRight - 2 || x == digitRight || y == L.displayTop + 1 || y == L.displayBottom - 1) && L.side == 32)
            return DARK_GREEN;
        if (L.side == 16 && y == mid && x >= L.displayRight - 4 && x < L.displayRight) return DARK_GREEN;
        return LIME;
    }
    int key = KeyColor(L, x, y);
    if (key != kTransparent) return key;
    return x == L.bodyLeft + 1 || y == L.bodyTop + 1 ? SILVER : NAVY;
}

std::vector<std::uint8_t> EncodeImage(const Layout& L)
{
    const int s = L.side;
    const int colorStride = (s * 4 + 31) / 32 * 4, maskStride = (s + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, std::uint32_t(s));
    Put32(out, std::uint32_t(2 * s));  // colour rows and mask rows
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, std::uint32_t((colorStride + maskStride) * s));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 16);
    Put32(out, 0);
    for (const auto& c : kPalette) {
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
    for (int y = s - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colorStride, 0);
        for (int x = 0; x < s; ++x) {
            int p = PixelAt(L, x, y);
            std::uint8_t index = p == kTransparent ? std::uint8_t(BLACK) : std::uint8_t(p);
            row[x / 2] |= x % 2 ? index : std::uint8_t(index << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = s - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < s; ++x) {
            if (PixelAt(L, x, y) == kTransparent) row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
        return 2;
    }
    std::vector<std::vector<std::uint8_t>> images;
    for (const Layout& L : kLayouts) images.push_back(EncodeImage(L));
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, unsigned(images.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(std::uint8_t(kLayouts[i].side));
        out.push_back(std::uint8_t(kLayouts[i].side));
        out.push_back(16);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 4);
        Put32(out, std::uint32_t(images[i].size()));
        Put32(out, offset);
        offset += std::uint32_t(images[i].size());
    }
    for (const auto& img : images) out.insert(out.end(), img.begin(), img.end());
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
