// Bitmaps and icons loaded from resources: shared decoding, fresh handles, drawing with masks.
#include <gtest/gtest.h>
#include "put_pixel.h"
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "platform/gdi/stats.h"
#include "platform/gdi/surface.h"
#include "platform/kernel/resource_table.h"
#include "platform/windows.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const std::string& name)
{
    std::ifstream in(std::string(QUORIX_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A module of our own, so the program's registration is left alone.
HINSTANCE TestModule()
{
    static const Bytes digit = ReadFile("key_digit.bmp");
    static const Bytes icon = ReadFile("app_icon.ico");
    static const Bytes junk(40, 0x42);
    static const ResourceEntry entries[] = {
        {RT_BITMAP, 105, digit.data(), DWORD(digit.size())},
        {RT_GROUP_ICON, 101, icon.data(), DWORD(icon.size())},
        {RT_BITMAP, 900, junk.data(), DWORD(junk.size())},
    };
    HINSTANCE module = reinterpret_cast<HINSTANCE>(std::uintptr_t(0x7E570000));
    static bool registered = false;
    if (!registered) RegisterResources(module, entries, std::size(entries));
    registered = true;
    return module;
}

TEST(LoadBitmapTest, EachLoadIsANewHandleOverTheSameUnchangingPixels)
{
    HINSTANCE m = TestModule();
    const GdiObjectCounts start = GetGdiObjectCounts();
    HBITMAP a = LoadBitmap(m, MAKEINTRESOURCE(105));
    HBITMAP b = LoadBitmap(m, MAKEINTRESOURCE(105));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(GetGdiObjectCounts().bitmaps, start.bitmaps + 2);
    BITMAP bm{};
    ASSERT_EQ(GetObject(a, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 43);
    EXPECT_EQ(bm.bmHeight, 21);

    // Drawing into one loaded bitmap must not reach the others or later loads.
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, a);
    EXPECT_EQ(GetPixel(mem, 20, 10), RGB(102, 153, 255));
    PutPixel(mem, 20, 10, RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(mem, 20, 10), RGB(1, 2, 3));
    SelectObject(mem, b);
    EXPECT_EQ(GetPixel(mem, 20, 10), RGB(102, 153, 255));

    // Copied to the screen at a window's origin.
    HDC win = CreateWindowDC(POINT{10, 200}, RECT{0, 26, 240, 294});
    ASSERT_TRUE(BitBlt(win, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(win, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(win, 42, 20), RGB(231, 231, 214));
    EXPECT_EQ(ScreenSurface().pixels[210 * kScreenWidth + 30], 0x6699FFu);
    ReleaseWindowDC(win);

    SelectObject(mem, old);
    DeleteDC(mem);
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(b));
    HBITMAP again = LoadBitmap(m, MAKEINTRESOURCE(105));
    mem = CreateCompatibleDC(nullptr);
    old = SelectObject(mem, again);
    EXPECT_EQ(GetPixel(mem, 20, 10), RGB(102, 153, 255));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(again);
    EXPECT_EQ(GetGdiObjectCounts().bitmaps, start.bitmaps);
}

TEST(LoadBitmapTest, MissingOrBrokenResourcesGiveNull)
{
    HINSTANCE m = TestModule();
    EXPECT_EQ(LoadBitmap(m, MAKEINTRESOURCE(106)), nullptr);  // not in this module
    EXPECT_EQ(LoadBitmap(m, MAKEINTRESOURCE(900)), nullptr);  // not a bitmap file
    EXPECT_EQ(LoadBitmap(m, MAKEINTRESOURCE(101)), nullptr);  // an icon, not a bitmap
    EXPECT_EQ(LoadBitmap(m, u"NAMED"), nullptr);
    EXPECT_EQ(LoadBitmap(m, nullptr), nullptr);
    EXPECT_EQ(LoadIcon(m, MAKEINTRESOURCE(105)), nullptr);
}

TEST(LoadIconTest, DrawsThroughItsMaskAndStaysShared)
{
    HINSTANCE m = TestModule();
    HICON icon = LoadIcon(m, MAKEINTRESOURCE(101));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(m, MAKEINTRESOURCE(101)), icon);
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(mem, 40, 40);
    HGDIOBJ old = SelectObject(mem, bmp);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 40, 40};
    FillRect(mem, &all, red);
    ASSERT_TRUE(DrawIcon(mem, 4, 4, icon));
    EXPECT_EQ(GetPixel(mem, 4, 4), RGB(255, 0, 0));      // transparent corner keeps the background
    EXPECT_NE(GetPixel(mem, 20, 20), RGB(255, 0, 0));    // the body covers it
    EXPECT_EQ(GetPixel(mem, 3, 20), RGB(255, 0, 0));     // nothing drawn left of the icon
    EXPECT_EQ(GetPixel(mem, 36, 20), RGB(255, 0, 0));    // nor right of its 32 pixels
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_TRUE(DrawIcon(mem, 4, 4, icon));  // a shared icon outlives DestroyIcon
    SelectObject(mem, old);
    DeleteObject(red);
    DeleteObject(bmp);
    DeleteDC(mem);
}

}  // namespace
