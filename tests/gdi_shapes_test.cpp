// Pixel placement of rectangles, fills, lines and bit-block copies, on memory and window DCs.
#include <gtest/gtest.h>
#include "put_pixel.h"
#include <string>
#include "platform/gdi/surface.h"
#include "platform/windows.h"

namespace {

constexpr COLORREF kBack = RGB(10, 20, 30);
constexpr COLORREF kPen = RGB(200, 0, 0);
constexpr COLORREF kFill = RGB(0, 0, 200);

// A memory DC over a `w` x `h` bitmap painted kBack; cleans up after itself.
struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    int w, h;

    Canvas(int width, int height) : w(width), h(height)
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        oldBitmap = SelectObject(dc, bitmap);
        HBRUSH b = CreateSolidBrush(kBack);
        RECT all{0, 0, w, h};
        FillRect(dc, &all, b);
        DeleteObject(b);
    }
    ~Canvas()
    {
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // One character per pixel: '#' pen, 'o' brush, '.' background, '?' anything else.
    std::string Row(int y) const
    {
        std::string s;
        for (int x = 0; x < w; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            s += c == kPen ? '#' : c == kFill ? 'o' : c == kBack ? '.' : '?';
        }
        return s;
    }
};

struct RectCase {
    const char* name;
    int style, width;
    RECT r;
    RECT outer;  // expected outline extent, right/bottom exclusive
    RECT inner;  // expected brush area (empty: none)
    bool roundJoins = false;  // the outline's four outermost corner pixels stay unpainted
};

// Outline of width w along pixel c covers c - w/2 .. c - w/2 + w - 1; wide pens join round.
const RectCase kRectCases[] = {
    /* name          style           w  rectangle          outline extent     brush area      round */
    {"pen1",         PS_SOLID,       1, {5, 5, 15, 12},    {5, 5, 15, 12},    {6, 6, 14, 11}},
    {"pen2",         PS_SOLID,       2, {5, 5, 15, 12},    {4, 4, 15, 12},    {6, 6, 13, 10}},
    {"pen3",         PS_SOLID,       3, {5, 5, 15, 12},    {4, 4, 16, 13},    {7, 7, 13, 10},  true},
    {"insideFrame3", PS_INSIDEFRAME, 3, {5, 5, 15, 12},    {5, 5, 15, 12},    {8, 8, 12, 9},   true},
    {"reversed",     PS_SOLID,       1, {15, 12, 5, 5},    {5, 5, 15, 12},    {6, 6, 14, 11}},
    {"rule2High1",   PS_SOLID,       2, {0, 10, 20, 11},   {0, 9, 20, 11},    {0, 0, 0, 0}},
    {"separator1",   PS_SOLID,       1, {3, 8, 17, 9},     {3, 8, 17, 9},     {0, 0, 0, 0}},
    {"twoHigh",      PS_SOLID,       1, {3, 8, 17, 10},    {3, 8, 17, 10},    {0, 0, 0, 0}},
};

bool In(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool IsCorner(const RECT& r, int x, int y)
{
    return (x == r.left || x == r.right - 1) && (y == r.top || y == r.bottom - 1);
}

class RectangleTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(RectangleTest, CoversExactlyTheDocumentedPixels)
{
    const RectCase& c = GetParam();
    Canvas cv(20, 16);
    HPEN pen = CreatePen(c.style, c.width, kPen);
    HBRUSH brush = CreateSolidBrush(kFill);
    HGDIOBJ oldPen = SelectObject(cv.dc, pen), oldBrush = SelectObject(cv.dc, brush);
    ASSERT_TRUE(Rectangle(cv.dc, c.r.left, c.r.top, c.r.right, c.r.bottom));
    SelectObject(cv.dc, oldPen);
    SelectObject(cv.dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    for (int y = 0; y < cv.h; ++y) {
        std::string want;
        for (int x = 0; x < cv.w; ++x) {
            bool outline = In(c.outer, x, y) && !(c.roundJoins && IsCorner(c.outer, x, y));
            want += In(c.inner, x, y) ? 'o' : outline ? '#' : '.';
        }
        EXPECT_EQ(cv.Row(y), want) << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Pens, RectangleTest, ::testing::ValuesIn(kRectCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RectangleTest, NullPenFillsOnePixelLessAndHollowBrushKeepsInside)
{
    Canvas cv(12, 12);
    HBRUSH brush = CreateSolidBrush(kFill);
    HGDIOBJ oldPen = SelectObject(cv.dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(cv.dc, brush);
    Rectangle(cv.dc, 2, 2, 6, 5);
    EXPECT_EQ(cv.Row(2), "..ooo.......");
    EXPECT_EQ(cv.Row(3), "..ooo.......");
    EXPECT_EQ(cv.Row(4), "............");
    HPEN pen = CreatePen(PS_SOLID, 1, kPen);
    SelectObject(cv.dc, pen);
    SelectObject(cv.dc, GetStockObject(NULL_BRUSH));
    Rectangle(cv.dc, 7, 7, 11, 11);
    EXPECT_EQ(cv.Row(8), ".......#..#.");
    SelectObject(cv.dc, oldPen);
    SelectObject(cv.dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(FillRectTest, LeftAndTopInclusiveRightAndBottomExclusive)
{
    Canvas cv(10, 8);
    HBRUSH brush = CreateSolidBrush(kFill);
    RECT r{3, 2, 7, 5};
    EXPECT_NE(FillRect(cv.dc, &r, brush), 0);
    EXPECT_EQ(cv.Row(1), "..........");
    EXPECT_EQ(cv.Row(2), "...oooo...");
    EXPECT_EQ(cv.Row(4), "...oooo...");
    EXPECT_EQ(cv.Row(5), "..........");
    RECT huge{-2000000000, -2000000000, 2000000000, 2000000000};
    EXPECT_NE(FillRect(cv.dc, &huge, brush), 0);
    EXPECT_EQ(cv.Row(7), "oooooooooo");
    DeleteObject(brush);
}

// A window DC: logical (0, 0) at `origin`, nothing outside `clip`.
TEST(WindowDcTest, MapsOriginAndClipsEveryDrawing)
{
    Surface& s = ScreenSurface();
    const RECT clip{55, 65, 80, 90};
    for (int y = 50; y < 100; ++y)
        for (int x = 40; x < 100; ++x) s.pixels[y * s.stride + x] = 0x123456;
    HDC dc = CreateWindowDC(POINT{50, 60}, clip);
    HBRUSH brush = CreateSolidBrush(RGB(0xAA, 0xBB, 0xCC));
    RECT all{-100, -100, 200, 200};
    FillRect(dc, &all, brush);
    for (int y = 50; y < 100; ++y) {
        for (int x = 40; x < 100; ++x) {
            bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            ASSERT_EQ(s.pixels[y * s.stride + x], inside ? 0xAABBCCu : 0x123456u) << x << "," << y;
        }
    }
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0xAA, 0xBB, 0xCC));  // screen (55, 65)
    EXPECT_EQ(GetPixel(dc, 4, 5), CLR_INVALID);           // screen (54, 65): clipped away
    DeleteObject(brush);
    EXPECT_FALSE(DeleteDC(dc));  // window DCs go back through ReleaseWindowDC
    ReleaseWindowDC(dc);
    EXPECT_EQ(GetPixel(dc, 5, 5), CLR_INVALID);
}

TEST(BitBltTest, ClipsToDestinationClipAndToSource)
{
    Canvas src(6, 4);
    HBRUSH brush = CreateSolidBrush(kFill);
    RECT r{0, 0, 6, 4};
    FillRect(src.dc, &r, brush);
    DeleteObject(brush);
    Canvas dst(12, 8);
    // 10 x 6 requested from (2, 1) of a 6 x 4 source: only 4 x 3 exist there.
    ASSERT_TRUE(BitBlt(dst.dc, 3, 2, 10, 6, src.dc, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.Row(1), "............");
    EXPECT_EQ(dst.Row(2), "...oooo.....");
    EXPECT_EQ(dst.Row(4), "...oooo.....");
    EXPECT_EQ(dst.Row(5), "............");
    // Onto the screen through a window DC whose clip cuts the copy.
    HDC win = CreateWindowDC(POINT{100, 100}, RECT{100, 100, 102, 101});
    Surface& s = ScreenSurface();
    s.pixels[100 * s.stride + 102] = 0x010203;
    ASSERT_TRUE(BitBlt(win, 0, 0, 6, 4, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(s.pixels[100 * s.stride + 101], 0x0000C8u);
    EXPECT_EQ(s.pixels[100 * s.stride + 102], 0x010203u);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 0x12345678));  // unknown raster operation
    ReleaseWindowDC(win);
}

TEST(BitBltTest, OverlappingCopyWithinOneBitmap)
{
    Canvas cv(8, 1);
    for (int x = 0; x < 8; ++x) PutPixel(cv.dc, x, 0, x < 4 ? kPen : kBack);
    BitBlt(cv.dc, 2, 0, 6, 1, cv.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(cv.Row(0), "######..");
}

// A block moved within one bitmap in every direction by every raster operation that reads the
// source must match the same block read from an untouched copy first.
TEST(BitBltTest, OverlappingBlitsReadTheSourceBeforeWritingIt)
{
    constexpr int kSide = 9;
    auto colour = [](int x, int y) { return COLORREF(RGB(x * 23 + 5, y * 29 + 7, (x * y) % 251)); };
    for (DWORD rop : {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT}) {
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                Canvas cv(kSide, kSide), original(kSide, kSide), expected(kSide, kSide);
                for (int y = 0; y < kSide; ++y) {
                    for (int x = 0; x < kSide; ++x) {
                        for (HDC dc : {cv.dc, original.dc, expected.dc}) PutPixel(dc, x, y, colour(x, y));
                    }
                }
                BitBlt(cv.dc, 2 + dx, 2 + dy, 5, 5, cv.dc, 2, 2, rop);
                BitBlt(expected.dc, 2 + dx, 2 + dy, 5, 5, original.dc, 2, 2, rop);
                for (int y = 0; y < kSide; ++y) {
                    for (int x = 0; x < kSide; ++x) {
                        ASSERT_EQ(GetPixel(cv.dc, x, y), GetPixel(expected.dc, x, y))
                            << "rop " << rop << " by (" << dx << ", " << dy << ") at (" << x << ", " << y << ")";
                    }
                }
            }
        }
    }
}

}  // namespace
