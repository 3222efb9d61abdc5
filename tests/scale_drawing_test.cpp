// Drawing on the device screen at a rendering scale: shapes, fills, lines, pixels, blits and icons
// come out as the scale-1 picture enlarged pixel for pixel; wide pens scale with the rest; blits
// between a bitmap and the scaled screen replicate or sample whole pixels; the scale itself, the
// scale chosen for a desktop's density, and the driver's screenshot at a scale.
#include <gtest/gtest.h>
#include "put_pixel.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "platform/gdi/surface.h"
#include "platform/windows.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "platform/kernel/resource_table.h"

namespace {

// Whatever a test leaves behind, the next one starts at scale 1.
class ScaleDrawingTest : public testing::Test {
protected:
    void TearDown() override { SetScreenScale(1); }
};

constexpr COLORREF kBack = RGB(250, 240, 200);

std::vector<std::uint32_t> ScreenCopy()
{
    const Surface& s = ScreenSurface();
    std::vector<std::uint32_t> out;
    for (int y = 0; y < s.height; ++y) out.insert(out.end(), s.pixels + std::size_t(y) * s.stride, s.pixels + std::size_t(y) * s.stride + s.width);
    return out;
}

void ClearScreen()
{
    HDC all = GetDC(nullptr);
    HBRUSH b = CreateSolidBrush(kBack);
    RECT r{0, 0, kScreenWidth, kScreenHeight};
    FillRect(all, &r, b);
    DeleteObject(b);
    ReleaseDC(nullptr, all);
}

std::uint32_t Pixel(COLORREF c)
{
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// A small bitmap whose every pixel has its own colour.
HBITMAP PatternBitmap(HDC mem, int w, int h)
{
    HBITMAP bm = CreateCompatibleBitmap(mem, w, h);
    HGDIOBJ old = SelectObject(mem, bm);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) PutPixel(mem, x, y, RGB(10 + x * 9, 20 + y * 11, 200 - x - y));
    SelectObject(mem, old);
    return bm;
}

void Outline(HDC dc, int style, int width, COLORREF color, HBRUSH fill, const RECT& r)
{
    HPEN pen = CreatePen(style, width, color);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, fill ? static_cast<HGDIOBJ>(fill) : GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// Everything but text, on a window DC that is offset and clipped.
void DrawShapes()
{
    ClearScreen();
    HDC dc = CreateWindowDC(POINT{13, 17}, RECT{5, 9, 231, 300});
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 200));
    RECT fill{-20, -20, 30, 12};
    FillRect(dc, &fill, blue);
    Outline(dc, PS_SOLID, 1, RGB(200, 0, 0), blue, RECT{40, 5, 70, 30});
    Outline(dc, PS_SOLID, 2, RGB(0, 150, 0), nullptr, RECT{80, 5, 110, 31});
    Outline(dc, PS_SOLID, 3, RGB(90, 0, 90), blue, RECT{120, 4, 160, 33});
    Outline(dc, PS_INSIDEFRAME, 4, RGB(0, 90, 90), blue, RECT{170, 4, 230, 40});
    Outline(dc, PS_NULL, 1, RGB(0, 0, 0), blue, RECT{-5, 40, 20, 60});
    for (int i = 0; i < 20; ++i) PutPixel(dc, 30 + i * 3, 150 + (i * 7) % 11, RGB(255, 0, 255));
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bm = PatternBitmap(mem, 12, 9);
    HGDIOBJ old = SelectObject(mem, bm);
    BitBlt(dc, 20, 170, 12, 9, mem, 0, 0, SRCCOPY);
    BitBlt(dc, 40, 170, 20, 20, mem, -3, 2, SRCCOPY);  // partly outside the bitmap
    BitBlt(dc, 70, 170, 12, 9, mem, 0, 0, SRCPAINT);
    BitBlt(dc, 90, 170, 30, 8, nullptr, 0, 0, DSTINVERT);
    BitBlt(dc, 130, 160, 60, 30, dc, 20, 165, SRCCOPY);  // the screen onto itself, overlapping
    SelectObject(mem, old);
    DeleteObject(bm);
    DeleteDC(mem);
    RegisterProgramResources(GetModuleHandle(nullptr));
    DrawIcon(dc, 200, 200, LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(IDI_APPICON)));
    DrawIcon(dc, -10, 250, LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(IDI_APPICON)));
    DeleteObject(blue);
    ReleaseWindowDC(dc);
}

TEST_F(ScaleDrawingTest, ShapesBlitsAndIconsAreTheScaleOnePictureEnlarged)
{
    ASSERT_TRUE(SetScreenScale(1));
    DrawShapes();
    std::vector<std::uint32_t> one = ScreenCopy();
    for (int n : {2, 3, 5}) {
        ASSERT_TRUE(SetScreenScale(n));
        DrawShapes();
        std::vector<std::uint32_t> big = ScreenCopy();
        const int w = kScreenWidth * n;
        ASSERT_EQ(big.size(), std::size_t(w) * kScreenHeight * n);
        long wrong = 0;
        for (std::size_t i = 0; i < big.size(); ++i) {
            long x = long(i % w), y = long(i / w);
            if (big[i] != one[std::size_t(y / n) * kScreenWidth + x / n] && ++wrong <= 3) {
                ADD_FAILURE() << "scale " << n << ": (" << x << ", " << y << ")";
            }
        }
        EXPECT_EQ(wrong, 0) << "scale " << n;
    }
    SetScreenScale(1);
}

struct PenCase {
    int style, width, scale;
};

// A pen of width w at scale N is w * N surface pixels wide: the outline covers N x N times the
// pixels it covers at scale 1, and its extent is N times as wide and high.
TEST_F(ScaleDrawingTest, WidePensScaleWithTheRectangle)
{
    const PenCase cases[] = {
        /* style           width scale */
        {PS_SOLID,         3,    3},
        {PS_SOLID,         2,    2},
        {PS_SOLID,         1,    4},
        {PS_INSIDEFRAME,   5,    3},
    };
    for (const PenCase& c : cases) {
        long count[2] = {};
        long extent[2][2] = {};
        for (int i = 0; i < 2; ++i) {
            int n = i == 0 ? 1 : c.scale;
            ASSERT_TRUE(SetScreenScale(n));
            ClearScreen();
            HDC dc = CreateWindowDC(POINT{20, 30}, RECT{0, 0, kScreenWidth, kScreenHeight});
            Outline(dc, c.style, c.width, RGB(0, 0, 255), nullptr, RECT{10, 10, 60, 45});
            ReleaseWindowDC(dc);
            const Surface& s = ScreenSurface();
            long minX = s.width, maxX = -1, minY = s.height, maxY = -1;
            for (long y = 0; y < s.height; ++y) {
                for (long x = 0; x < s.width; ++x) {
                    if (s.pixels[std::size_t(y) * s.stride + x] != 0x0000FFu) continue;
                    ++count[i];
                    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
                }
            }
            extent[i][0] = maxX - minX + 1;
            extent[i][1] = maxY - minY + 1;
        }
        const long n = c.scale;
        EXPECT_GT(count[0], 0);
        EXPECT_EQ(count[1], count[0] * n * n) << "width " << c.width << " at scale " << n;
        EXPECT_EQ(extent[1][0], extent[0][0] * n);
        EXPECT_EQ(extent[1][1], extent[0][1] * n);
    }
    SetScreenScale(1);
}

struct BlitCase {
    int scale;
    int x, y, w, h, srcX, srcY;
};

// Each bitmap pixel becomes exactly one N x N block at N times its place; what the source does
// not cover stays as it was.
TEST_F(ScaleDrawingTest, BitBltReplicatesEachBitmapPixelIntoABlock)
{
    const BlitCase cases[] = {
        /* scale  x    y    w   h   srcX srcY */
        {2,       10,  20,  12, 9,  0,   0},
        {3,       -4,  40,  12, 9,  0,   0},   // off the screen's left edge
        {3,       30,  50,  8,  20, -2,  3},   // the source partly outside the bitmap
        {16,      100, 100, 12, 9,  5,   4},
        {7,       235, 315, 12, 9,  0,   0},   // off the right and bottom edges
    };
    constexpr int kW = 12, kH = 9;
    for (const BlitCase& c : cases) {
        ASSERT_TRUE(SetScreenScale(c.scale));
        ClearScreen();
        HDC dc = CreateWindowDC(POINT{0, 0}, RECT{0, 0, kScreenWidth, kScreenHeight});
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bm = PatternBitmap(mem, kW, kH);
        HGDIOBJ old = SelectObject(mem, bm);
        EXPECT_TRUE(BitBlt(dc, c.x, c.y, c.w, c.h, mem, c.srcX, c.srcY, SRCCOPY));
        const Surface& s = ScreenSurface();
        const int n = c.scale;
        long wrong = 0;
        for (int j = -1; j <= c.h; ++j) {
            for (int i = -1; i <= c.w; ++i) {
                int dx = c.x + i, dy = c.y + j, sx = c.srcX + i, sy = c.srcY + j;
                if (dx < 0 || dy < 0 || dx >= kScreenWidth || dy >= kScreenHeight) continue;
                bool copied = i >= 0 && j >= 0 && i < c.w && j < c.h && sx >= 0 && sy >= 0 && sx < kW && sy < kH;
                std::uint32_t want = copied ? Pixel(GetPixel(mem, sx, sy)) : Pixel(kBack);
                for (int k = 0; k < n * n; ++k) {
                    std::uint32_t got = s.pixels[std::size_t(dy * n + k / n) * s.stride + dx * n + k % n];
                    if (got != want && ++wrong <= 3) ADD_FAILURE() << "scale " << n << " device (" << dx << ", " << dy << ")";
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        // Back from the screen into a bitmap: one pixel per block, the pattern again.
        HDC back = CreateCompatibleDC(dc);
        HBITMAP copy = CreateCompatibleBitmap(dc, kW, kH);
        HGDIOBJ oldCopy = SelectObject(back, copy);
        BitBlt(back, 0, 0, kW, kH, dc, c.x, c.y, SRCCOPY);
        if (c.x >= 0 && c.y >= 0 && c.x + kW <= kScreenWidth && c.y + kH <= kScreenHeight && c.srcX == 0 && c.srcY == 0) {
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) EXPECT_EQ(GetPixel(back, x, y), GetPixel(mem, x, y)) << x << ", " << y;
        }
        SelectObject(back, oldCopy);
        DeleteObject(copy);
        DeleteDC(back);
        SelectObject(mem, old);
        DeleteObject(bm);
        DeleteDC(mem);
        ReleaseWindowDC(dc);
    }
    SetScreenScale(1);
}

TEST_F(ScaleDrawingTest, SetScreenScaleTakesOneToSixteenOnly)
{
    for (int bad : {0, -1, 17, 1000, std::numeric_limits<int>::min()}) {
        ASSERT_TRUE(SetScreenScale(2));
        EXPECT_FALSE(SetScreenScale(bad)) << bad;
        EXPECT_EQ(ScreenScale(), 2);
        EXPECT_EQ(ScreenSurface().width, 480);
    }
    for (int n : {1, 7, 16}) {
        ASSERT_TRUE(SetScreenScale(n));
        const Surface& s = ScreenSurface();
        EXPECT_EQ(s.width, kScreenWidth * n);
        EXPECT_EQ(s.height, kScreenHeight * n);
        EXPECT_EQ(s.stride, s.width);
        EXPECT_EQ(s.pixels[std::size_t(s.height - 1) * s.stride + s.width - 1], 0xFFFFFFu) << "a new scale starts white";
    }
    SetScreenScale(1);
}

struct DensityCase {
    double dpi;
    int fits;
    int scale;
};

TEST_F(ScaleDrawingTest, DefaultScaleFollowsTheDesktopsDensity)
{
    const DensityCase cases[] = {
        /* dpi                                       fits  scale */
        {96,                                         4,    1},
        {120,                                        4,    1},  // 1.25 rounds to 1
        {144,                                        4,    2},  // 1.5 rounds up
        {192,                                        4,    2},
        {288,                                        4,    3},
        {400,                                        2,    2},  // no larger than fits the desktop
        {40,                                         4,    1},  // at least 1
        {1e12,                                       16,   16},
        {0,                                          3,    3},  // unknown: the largest that fits
        {-96,                                        3,    3},
        {std::numeric_limits<double>::quiet_NaN(),   5,    5},
        {std::numeric_limits<double>::infinity(),    5,    5},
        {192,                                        0,    1},  // nothing fits: still 1
        {9999,                                       99,   16},
    };
    for (const DensityCase& c : cases) EXPECT_EQ(ScaleForDensity(c.dpi, c.fits), c.scale) << c.dpi << " dpi, fits " << c.fits;
}

// The driver draws at --scale N and writes the surface as it is: 240N x 320N.
TEST_F(ScaleDrawingTest, DriverScreenshotIsTheSurfaceAtTheScale)
{
    for (int n : {1, 3}) {
        std::string file = testing::TempDir() + "scale_shot_" + std::to_string(n) + ".png";
        std::string cmd = std::string("exec '") + QUORIX_BINARY + "' --headless --keys '1 + 2 =' --screenshot '" + file +
                          "' --scale " + std::to_string(n) + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        std::ifstream in(file, std::ios::binary);
        unsigned char head[24] = {};
        in.read(reinterpret_cast<char*>(head), sizeof head);
        ASSERT_TRUE(in) << file;
        auto be32 = [&](int at) { return (long(head[at]) << 24) | (long(head[at + 1]) << 16) | (long(head[at + 2]) << 8) | head[at + 3]; };
        EXPECT_EQ(be32(16), 240L * n);
        EXPECT_EQ(be32(20), 320L * n);
        std::remove(file.c_str());
    }
}

}  // namespace
