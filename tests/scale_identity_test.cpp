// Scale 1 draws exactly what the screen showed before drawing learnt to scale: checksums of the
// face in several modes and of a scene of every drawing primitive on an offset, clipped window DC.
// How they were made: this file's scenes, run against the drawing code as it was just before the
// rendering scale was added (commit 2107c2a), printing ScreenChecksum(); recorded again where the
// drawing was meant to change: synthetic bold following the font's width, captions condensed or
// made smaller to fit their keys' faces. They hold for the fonts they were made with (Debian
// 12's IPA Gothic); with another Gothic face the test says so and skips, since then scale 1 is
// not expected to match pixel for pixel.
#include <gtest/gtest.h>
#include "put_pixel.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "face/face.h"
#include "platform/gdi/fonts/font_match.h"
#include "platform/kernel/resource_table.h"
#include "platform/gdi/surface.h"
#include "platform/windows.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tests/face_fixture.h"

namespace {

// FNV-1a over the device screen's pixels, row by row.
std::uint64_t ScreenChecksum()
{
    const Surface& s = ScreenSurface();
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            std::uint32_t p = s.pixels[std::size_t(y) * s.stride + x];
            for (int k = 0; k < 4; ++k) {
                h ^= (p >> (8 * k)) & 0xFFu;
                h *= 1099511628211ull;
            }
        }
    }
    return h;
}

void PaintEverything()
{
    InvalidateRect(nullptr, nullptr, TRUE);
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessage(&msg);
}

struct FaceCase {
    const char* name;
    const char* tokens;
    int pushedKey;  // 0: none
    std::uint64_t checksum;
};

const FaceCase kFaceCases[] = {
    /* name      tokens                                     pushed key   checksum */
    {"start",    "",                                        0,           0x8926d86a1cbc06f5ull},
    {"digits",   "1 2 3 4 5 6 7",                           0,           0x69ebfdeaa8d3a851ull},
    {"memory",   "5 M+ 8 .",                                0,           0x588283bdc33d876full},
    {"hex",      "HEX F F NOT",                             0,           0xb19bafa7e856c918ull},
    {"bin",      "BIN 1 0 1 1",                             0,           0x2c34678aa17d5b17ull},
    {"trig",     "TRIG RAD/DEG 3 0",                        0,           0x0a099b785597d282ull},
    {"pressed",  "7",                                       IDC_EQUALS,  0x8febc1902dd6c9a3ull},
    {"long",     "8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8", 0, 0x6f27ccc1ec4edd17ull},
};

constexpr std::uint64_t kPrimitiveChecksum = 0x0657610276a35588ull;  // recorded again: round joins
constexpr char kRecordedGothic[] = "ipag.ttf";

// The checksums depend on the Gothic face's glyphs: they are only compared with that face.
bool RecordedFontInUse()
{
    std::optional<FontFile> f = MatchFontFile("", false);
    if (!f) return false;
    std::error_code error;
    std::filesystem::path file = std::filesystem::canonical(f->path, error);  // Debian links the face
    return !error && file.filename() == kRecordedGothic;
}

TEST(ScaleIdentityTest, FaceAtScaleOneIsUnchanged)
{
    if (!RecordedFontInUse()) GTEST_SKIP() << "the Gothic face is not " << kRecordedGothic;
    ASSERT_TRUE(SetScreenScale(1));
    for (const FaceCase& c : kFaceCases) {
        HWND face = CreateTestFace();
        ASSERT_NE(face, nullptr);
        PressKeys(face, c.tokens);
        if (c.pushedKey) SendMessage(GetDlgItem(face, c.pushedKey), BM_SETSTATE, TRUE, 0);
        PaintEverything();
        EXPECT_EQ(ScreenChecksum(), c.checksum) << c.name;
        DestroyTestFace();
    }
}

// Every primitive on a window DC whose origin and clip are not the screen's.
void DrawPrimitiveScene()
{
    RegisterProgramResources(GetModuleHandle(nullptr));
    HDC win = GetDC(nullptr);
    HBRUSH back = CreateSolidBrush(RGB(240, 230, 200));
    RECT all{0, 0, 240, 320};
    FillRect(win, &all, back);
    ReleaseDC(nullptr, win);
    HDC dc = CreateWindowDC(POINT{7, 11}, RECT{3, 5, 236, 313});
    const int widths[] = {1, 2, 3, 5};
    for (int i = 0; i < 4; ++i) {
        HPEN pen = CreatePen(i == 3 ? PS_INSIDEFRAME : PS_SOLID, widths[i], RGB(200, 30 * i, 0));
        HBRUSH brush = CreateSolidBrush(RGB(0, 60 * i, 200));
        HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
        Rectangle(dc, -5 + 30 * i, -6 + 10 * i, 20 + 33 * i, 17 + 12 * i);
        SelectObject(dc, oldPen), SelectObject(dc, oldBrush);
        DeleteObject(pen), DeleteObject(brush);
    }
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bm = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(IDB_KEY_EQUALS));
    HGDIOBJ oldBm = SelectObject(mem, bm);
    BitBlt(dc, 150, 100, 88, 21, mem, 0, 0, SRCCOPY);
    BitBlt(dc, -20, 130, 60, 21, mem, 10, 0, SRCINVERT);
    SelectObject(mem, oldBm);
    DeleteObject(bm);
    DeleteDC(mem);
    DrawIcon(dc, 190, 140, LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(IDI_APPICON)));
    for (int i = 0; i < 9; ++i) PutPixel(dc, 100 + i, 150 + (i * i) % 5, RGB(255, 0, 255));

    LOGFONT lf{};
    lf.lfHeight = -27;
    lf.lfWidth = 11;
    lf.lfWeight = FW_EXTRABOLD;
    HFONT big = CreateFontIndirect(&lf);
    HGDIOBJ oldFont = SelectObject(dc, big);
    RECT panel{10, 160, 200, 195};
    SetBkMode(dc, TRANSPARENT);
    ExtTextOut(dc, 20, 162, ETO_CLIPPED, &panel, u"-1,234,567.89", 13, nullptr);
    const int dx[] = {9, 14, 9, 14, 20};
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 0));
    SetTextColor(dc, RGB(0, 0, 160));
    RECT opaque{150, 200, 230, 230};
    ExtTextOut(dc, 150, 200, ETO_OPAQUE, &opaque, u"AB\U0001F600C", 5, dx);
    SelectObject(dc, oldFont);
    DeleteObject(big);

    lf = LOGFONT{};
    lf.lfHeight = 18;
    lf.lfWeight = FW_BOLD;
    HFONT caption = CreateFontIndirect(&lf);
    oldFont = SelectObject(dc, caption);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    RECT key{0, 235, 43, 256};
    DrawText(dc, u"三角関", -1, &key, DT_CENTER | DT_VCENTER);
    RECT wrap{60, 235, 150, 300};
    DrawText(dc, u"&Wrapped words in a box 漢字かな交じり", -1, &wrap, DT_WORDBREAK | DT_RIGHT);
    SetBkMode(dc, OPAQUE);
    RECT right{150, 260, 225, 300};
    DrawText(dc, u"ＨＥＸ\r\nbin", -1, &right, DT_RIGHT);
    SelectObject(dc, oldFont);
    DeleteObject(caption);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    ExtTextOut(dc, 2, 290, 0, nullptr, u"System 9pt", 10, nullptr);
    ReleaseWindowDC(dc);
}

TEST(ScaleIdentityTest, PrimitivesAtScaleOneAreUnchanged)
{
    if (!RecordedFontInUse()) GTEST_SKIP() << "the Gothic face is not " << kRecordedGothic;
    ASSERT_TRUE(SetScreenScale(1));
    DrawPrimitiveScene();
    EXPECT_EQ(ScreenChecksum(), kPrimitiveChecksum);
}

}  // namespace
