// The screen drawn into a buffer someone else lends it (a window's memory): the picture moves in
// and back out, drawing lands in the lent rows at their stride and never beyond the width, bad
// buffers are refused, and a new scale or a release stops every write to the lent buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gdi/surface.h"
#include "platform/windows.h"

namespace {

constexpr std::uint32_t kPadding = 0xDEADBEEFu;

// A lent buffer with `extra` unused pixels at the end of every row, all of it marked.
std::vector<std::uint32_t> LentBuffer(int extra)
{
    const Surface& s = ScreenSurface();
    return std::vector<std::uint32_t>(std::size_t(s.width + extra) * std::size_t(s.height), kPadding);
}

// The buffers live in the fixture: the screen gives them back in TearDown, before they go.
class ScreenPixelsTest : public testing::Test {
protected:
    void TearDown() override
    {
        ReleaseScreenPixels();
        SetScreenScale(1);
    }
    std::vector<std::uint32_t> lent;
    std::vector<std::uint32_t> again;
};

void FillDeviceRect(RECT r, COLORREF color)
{
    HDC all = GetDC(nullptr);
    HBRUSH b = CreateSolidBrush(color);
    FillRect(all, &r, b);
    DeleteObject(b);
    ReleaseDC(nullptr, all);
}

std::uint32_t Pixel(COLORREF c)
{
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

std::uint32_t At(const Surface& s, int x, int y)
{
    return s.pixels[std::size_t(y) * std::size_t(s.stride) + std::size_t(x)];
}

TEST_F(ScreenPixelsTest, TheLentBufferTakesThePictureAndTheDrawingAtItsStride)
{
    ASSERT_TRUE(SetScreenScale(2));
    FillDeviceRect(RECT{0, 0, kScreenWidth, kScreenHeight}, RGB(10, 20, 30));
    FillDeviceRect(RECT{3, 4, 5, 6}, RGB(200, 100, 50));
    const int width = ScreenSurface().width, height = ScreenSurface().height, extra = 7;
    lent = LentBuffer(extra);

    ASSERT_TRUE(AdoptScreenPixels(lent.data(), width + extra));
    EXPECT_TRUE(ScreenPixelsAdopted());
    const Surface& s = ScreenSurface();
    EXPECT_EQ(s.pixels, lent.data());
    EXPECT_EQ(s.stride, width + extra);
    EXPECT_EQ(s.width, width);
    EXPECT_EQ(s.height, height);
    EXPECT_EQ(ScreenScale(), 2);
    EXPECT_EQ(At(s, 0, 0), Pixel(RGB(10, 20, 30)));       // the picture drawn before moved in
    EXPECT_EQ(At(s, 6, 8), Pixel(RGB(200, 100, 50)));     // device (3, 4) at scale 2
    EXPECT_EQ(At(s, 9, 11), Pixel(RGB(200, 100, 50)));
    EXPECT_EQ(At(s, 10, 12), Pixel(RGB(10, 20, 30)));

    FillDeviceRect(RECT{kScreenWidth - 1, kScreenHeight - 1, kScreenWidth, kScreenHeight}, RGB(1, 2, 3));
    EXPECT_EQ(At(s, width - 1, height - 1), Pixel(RGB(1, 2, 3)));
    EXPECT_EQ(At(s, width - 2, height - 2), Pixel(RGB(1, 2, 3)));
    for (int y = 0; y < height; ++y) {
        for (int x = width; x < width + extra; ++x) ASSERT_EQ(At(s, x, y), kPadding) << x << "," << y;
    }
}

TEST_F(ScreenPixelsTest, ReleaseKeepsThePictureAndStopsWritingToTheLentBuffer)
{
    FillDeviceRect(RECT{0, 0, kScreenWidth, kScreenHeight}, RGB(255, 255, 255));
    lent = LentBuffer(0);
    ASSERT_TRUE(AdoptScreenPixels(lent.data(), kScreenWidth));
    FillDeviceRect(RECT{10, 10, 20, 20}, RGB(0, 128, 0));

    ReleaseScreenPixels();
    EXPECT_FALSE(ScreenPixelsAdopted());
    const Surface& s = ScreenSurface();
    EXPECT_NE(s.pixels, lent.data());
    EXPECT_EQ(s.stride, kScreenWidth);
    EXPECT_EQ(At(s, 15, 15), Pixel(RGB(0, 128, 0)));
    EXPECT_EQ(At(s, 5, 5), Pixel(RGB(255, 255, 255)));

    // The owner may now free or reuse its buffer: the screen no longer reads or writes it.
    std::fill(lent.begin(), lent.end(), kPadding);
    EXPECT_EQ(At(s, 15, 15), Pixel(RGB(0, 128, 0)));
    FillDeviceRect(RECT{0, 0, 2, 2}, RGB(9, 9, 9));
    EXPECT_EQ(lent[0], kPadding);
    EXPECT_EQ(At(s, 0, 0), Pixel(RGB(9, 9, 9)));

    ReleaseScreenPixels();  // a second release changes nothing
    EXPECT_EQ(At(ScreenSurface(), 15, 15), Pixel(RGB(0, 128, 0)));
}

TEST_F(ScreenPixelsTest, BadBuffersAreRefusedAndChangeNothing)
{
    FillDeviceRect(RECT{0, 0, 1, 1}, RGB(7, 8, 9));
    std::uint32_t* own = ScreenSurface().pixels;
    lent = LentBuffer(0);
    EXPECT_FALSE(AdoptScreenPixels(nullptr, kScreenWidth));
    EXPECT_FALSE(AdoptScreenPixels(lent.data(), kScreenWidth - 1));
    EXPECT_FALSE(AdoptScreenPixels(lent.data(), 0));
    EXPECT_FALSE(AdoptScreenPixels(lent.data(), -kScreenWidth));
    EXPECT_FALSE(ScreenPixelsAdopted());
    EXPECT_EQ(ScreenSurface().pixels, own);
    EXPECT_EQ(At(ScreenSurface(), 0, 0), Pixel(RGB(7, 8, 9)));
    EXPECT_EQ(lent[0], kPadding);
}

TEST_F(ScreenPixelsTest, AScaleCanStartInALentBufferMadeWhite)
{
    const int extra = 3, width = 2 * kScreenWidth, height = 2 * kScreenHeight;
    lent.assign(std::size_t(width + extra) * std::size_t(height), kPadding);
    std::uint32_t* own = ScreenSurface().pixels;
    EXPECT_FALSE(SetScreenScaleInto(0, lent.data(), width + extra));
    EXPECT_FALSE(SetScreenScaleInto(kMaxScreenScale + 1, lent.data(), width + extra));
    EXPECT_FALSE(SetScreenScaleInto(2, nullptr, width + extra));
    EXPECT_FALSE(SetScreenScaleInto(2, lent.data(), width - 1));
    EXPECT_EQ(ScreenSurface().pixels, own);
    EXPECT_EQ(lent[0], kPadding);

    ASSERT_TRUE(SetScreenScaleInto(2, lent.data(), width + extra));
    EXPECT_TRUE(ScreenPixelsAdopted());
    EXPECT_EQ(ScreenScale(), 2);
    const Surface& s = ScreenSurface();
    EXPECT_EQ(s.pixels, lent.data());
    EXPECT_EQ(s.width, width);
    EXPECT_EQ(s.stride, width + extra);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width + extra; ++x) {
            std::uint32_t want = x < width ? 0x00FFFFFFu : kPadding;
            ASSERT_EQ(lent[std::size_t(y) * std::size_t(width + extra) + std::size_t(x)], want) << x << "," << y;
        }
    }
    FillDeviceRect(RECT{kScreenWidth - 1, kScreenHeight - 1, kScreenWidth, kScreenHeight}, RGB(1, 2, 3));
    EXPECT_EQ(At(s, width - 1, height - 1), Pixel(RGB(1, 2, 3)));
    EXPECT_EQ(lent[std::size_t(height) * std::size_t(width + extra) - 1], kPadding);
}

TEST_F(ScreenPixelsTest, ANewScaleEndsTheLoan)
{
    lent = LentBuffer(0);
    ASSERT_TRUE(AdoptScreenPixels(lent.data(), kScreenWidth));
    ASSERT_TRUE(SetScreenScale(3));
    EXPECT_FALSE(ScreenPixelsAdopted());
    const Surface& s = ScreenSurface();
    EXPECT_NE(s.pixels, lent.data());
    EXPECT_EQ(s.width, 3 * kScreenWidth);
    EXPECT_EQ(s.stride, 3 * kScreenWidth);
    std::fill(lent.begin(), lent.end(), kPadding);
    FillDeviceRect(RECT{0, 0, kScreenWidth, kScreenHeight}, RGB(40, 50, 60));
    EXPECT_EQ(lent[0], kPadding);
    EXPECT_EQ(At(s, s.width - 1, s.height - 1), Pixel(RGB(40, 50, 60)));

    // The same scale again keeps a loan: only a different one starts a new surface.
    again.assign(std::size_t(s.width) * std::size_t(s.height), kPadding);
    ASSERT_TRUE(AdoptScreenPixels(again.data(), s.width));
    ASSERT_TRUE(SetScreenScale(3));
    EXPECT_TRUE(ScreenPixelsAdopted());
    EXPECT_EQ(ScreenSurface().pixels, again.data());
}

}  // namespace
