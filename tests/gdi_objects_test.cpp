// Handles of drawing objects: bad handles fail the Win32 way, selection returns what it
// replaces, stock objects survive deletion, and nothing leaks.
#include <gtest/gtest.h>
#include <random>
#include "platform/gdi/stats.h"
#include "platform/gdi/surface.h"
#include "platform/windows.h"

namespace {

bool SameCounts(const GdiObjectCounts& a, const GdiObjectCounts& b)
{
    return a.pens == b.pens && a.brushes == b.brushes && a.fonts == b.fonts && a.bitmaps == b.bitmaps && a.dcs == b.dcs;
}

HPEN StalePen()
{
    HPEN p = CreatePen(PS_SOLID, 1, 0);
    DeleteObject(p);
    return p;
}

// Every call given a handle that is not what it expects returns its failure value.
void ExpectRefusedEverywhere(void* bad)
{
    HDC dc = CreateCompatibleDC(nullptr);
    RECT r{0, 0, 4, 4};
    SIZE sz;
    TEXTMETRIC tm;
    BITMAP bm;
    HDC badDc = static_cast<HDC>(bad);
    EXPECT_EQ(SelectObject(badDc, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_EQ(SelectObject(dc, bad), nullptr);
    EXPECT_FALSE(DeleteObject(bad));
    EXPECT_FALSE(DeleteDC(badDc));
    EXPECT_EQ(GetObject(bad, sizeof bm, &bm), 0);
    EXPECT_EQ(SetTextColor(badDc, 0), CLR_INVALID);
    EXPECT_EQ(SetBkColor(badDc, 0), CLR_INVALID);
    EXPECT_EQ(SetBkMode(badDc, TRANSPARENT), 0);
    EXPECT_EQ(GetDeviceCaps(badDc, LOGPIXELSY), 0);
    EXPECT_FALSE(Rectangle(badDc, 0, 0, 4, 4));
    EXPECT_EQ(FillRect(badDc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(bad)), 0);
    EXPECT_EQ(GetPixel(badDc, 0, 0), CLR_INVALID);
    EXPECT_FALSE(BitBlt(badDc, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, badDc, 0, 0, SRCCOPY));
    EXPECT_FALSE(GetTextExtentPoint32(badDc, u"x", 1, &sz));
    EXPECT_FALSE(GetTextMetrics(badDc, &tm));
    EXPECT_FALSE(ExtTextOut(badDc, 0, 0, 0, nullptr, u"x", 1, nullptr));
    EXPECT_EQ(DrawText(badDc, u"x", 1, &r, 0), 0);
    EXPECT_FALSE(DrawIcon(badDc, 0, 0, static_cast<HICON>(bad)));
    EXPECT_FALSE(DrawIcon(dc, 0, 0, static_cast<HICON>(bad)));
    EXPECT_FALSE(DestroyIcon(static_cast<HICON>(bad)));
    if (bad) {
        EXPECT_EQ(CreateCompatibleDC(badDc), nullptr);  // null asks for a screen-compatible DC
    }
    EXPECT_EQ(CreateCompatibleBitmap(badDc, 2, 2), nullptr);
    DeleteDC(dc);
}

TEST(GdiHandleTest, StaleGarbageAndWrongKindHandlesAreRefused)
{
    HBRUSH brush = CreateSolidBrush(0);
    void* cases[] = {
        nullptr,
        reinterpret_cast<void*>(0x40),
        reinterpret_cast<void*>(0xDEADBEEF),
        reinterpret_cast<void*>(~std::uintptr_t(0)),
        StalePen(),
        brush,  // a live brush where a DC or icon is wanted
    };
    for (void* bad : cases) {
        SCOPED_TRACE(reinterpret_cast<std::uintptr_t>(bad));
        if (bad == brush) {
            HDC dc = CreateCompatibleDC(nullptr);
            EXPECT_EQ(SetBkMode(static_cast<HDC>(bad), OPAQUE), 0);
            EXPECT_FALSE(DeleteDC(static_cast<HDC>(bad)));
            EXPECT_FALSE(DrawIcon(dc, 0, 0, static_cast<HICON>(bad)));
            DeleteDC(dc);
            continue;
        }
        ExpectRefusedEverywhere(bad);
    }
    DeleteObject(brush);
}

TEST(GdiHandleTest, RandomHandleValuesNeverCrash)
{
    std::mt19937_64 rng(12345);
    HDC dc = CreateCompatibleDC(nullptr);
    for (int i = 0; i < 20000; ++i) {
        void* h = reinterpret_cast<void*>(static_cast<std::uintptr_t>(rng()));
        ASSERT_EQ(SelectObject(dc, h), nullptr);
        ASSERT_FALSE(DeleteObject(h));
    }
    DeleteDC(dc);
}

TEST(GdiSelectTest, ReturnsWhatItReplacesAndStockSurvivesDeletion)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(1, 2, 3));
    HGDIOBJ first = SelectObject(dc, pen);
    EXPECT_EQ(first, GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, first), pen);
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_BRUSH)), brush);
    EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), GetStockObject(SYSTEM_FONT));

    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), first);  // still alive and selectable
    EXPECT_EQ(GetStockObject(999), nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 240);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 320);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    DeleteDC(dc);
}

TEST(GdiSelectTest, SelectedObjectsCannotBeDeletedAndBitmapsGoIntoOneDcOnly)
{
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HGDIOBJ oldPen = SelectObject(a, pen);
    EXPECT_FALSE(DeleteObject(pen));
    SelectObject(a, oldPen);
    HBITMAP bmp = CreateCompatibleBitmap(a, 4, 4);
    HGDIOBJ oldBmp = SelectObject(a, bmp);
    EXPECT_NE(oldBmp, nullptr);
    EXPECT_EQ(SelectObject(b, bmp), nullptr);
    EXPECT_FALSE(DeleteObject(bmp));
    HDC win = CreateWindowDC(POINT{0, 0}, RECT{0, 0, 10, 10});
    EXPECT_EQ(SelectObject(win, bmp), nullptr);  // bitmaps go into memory DCs only
    ReleaseWindowDC(win);
    // Deleting the DC releases what it held: nothing dangles, the bitmap can go.
    EXPECT_TRUE(DeleteDC(a));
    EXPECT_NE(SelectObject(b, bmp), nullptr);
    SelectObject(b, oldBmp);
    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));
    DeleteDC(b);
}

TEST(GdiCountTest, CountsLiveObjectsAndComeBackAfterAPaintLikeLoop)
{
    const GdiObjectCounts start = GetGdiObjectCounts();
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HBRUSH brush = CreateSolidBrush(0);
    LOGFONT lf{};
    lf.lfHeight = -12;
    HFONT font = CreateFontIndirect(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 2, 2);
    HDC win = CreateWindowDC(POINT{0, 0}, RECT{0, 0, 240, 320});
    GdiObjectCounts now = GetGdiObjectCounts();
    EXPECT_EQ(now.pens, start.pens + 1);
    EXPECT_EQ(now.brushes, start.brushes + 1);
    EXPECT_EQ(now.fonts, start.fonts + 1);
    EXPECT_EQ(now.bitmaps, start.bitmaps + 1);
    EXPECT_EQ(now.dcs, start.dcs + 2);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(font);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseWindowDC(win);
    EXPECT_TRUE(SameCounts(GetGdiObjectCounts(), start));

    for (int i = 0; i < 2000; ++i) {
        HDC paint = CreateWindowDC(POINT{0, 0}, RECT{0, 0, 240, 320});
        HDC mem = CreateCompatibleDC(paint);
        HBITMAP b = CreateCompatibleBitmap(paint, 43, 21);
        HGDIOBJ oldB = SelectObject(mem, b);
        BitBlt(paint, 0, 0, 43, 21, mem, 0, 0, SRCCOPY);
        lf.lfHeight = 18;
        lf.lfWeight = 800;
        HFONT f = CreateFontIndirect(&lf);
        HGDIOBJ oldF = SelectObject(paint, f);
        RECT r{0, 0, 43, 21};
        DrawText(paint, u"7", -1, &r, DT_CENTER | DT_VCENTER);
        SelectObject(paint, oldF);
        SelectObject(mem, oldB);
        DeleteObject(f);
        DeleteDC(mem);
        DeleteObject(b);
        ReleaseWindowDC(paint);
    }
    EXPECT_TRUE(SameCounts(GetGdiObjectCounts(), start));
}

TEST(GdiObjectTest, GetObjectReportsBitmapSizeAndFontDescription)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 43, 21);
    BITMAP bm{};
    EXPECT_EQ(GetObject(bmp, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 43);
    EXPECT_EQ(bm.bmHeight, 21);
    EXPECT_EQ(GetObject(bmp, 3, &bm), 0);  // too small for the structure
    EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 100000, 100000), nullptr);
    LOGFONT in{};
    in.lfHeight = -26;
    in.lfWidth = 10;
    in.lfWeight = 800;
    HFONT font = CreateFontIndirect(&in);
    LOGFONT out{};
    EXPECT_EQ(GetObject(font, sizeof out, &out), int(sizeof out));
    EXPECT_EQ(out.lfHeight, -26);
    EXPECT_EQ(out.lfWidth, 10);
    EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
    DeleteObject(font);
    DeleteObject(bmp);
    DeleteDC(dc);
}

}  // namespace
