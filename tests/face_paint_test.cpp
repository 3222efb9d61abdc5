// The painted face on the device screen: face colour, rule, panel, separator, the number's
// placement, the key bitmaps released and pressed, and no drawing object left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/calc_state.h"
#include "face/face.h"
#include "platform/gdi/stats.h"
#include "platform/gdi/surface.h"
#include "resources/resource_ids.h"
#include "tests/face_fixture.h"

namespace {

constexpr COLORREF kFace = RGB(153, 204, 255);
constexpr COLORREF kRule = RGB(0, 102, 204);
constexpr COLORREF kBorder = RGB(153, 153, 51);
constexpr COLORREF kPanel = RGB(234, 234, 234);
constexpr COLORREF kSeparator = RGB(153, 153, 153);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBeige = RGB(231, 231, 214);
constexpr COLORREF kDarkGrey = RGB(134, 134, 134);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr COLORREF kPressedEdge = RGB(204, 204, 204);
constexpr COLORREF kPressedShade = RGB(150, 150, 150);
constexpr COLORREF kPressedFill = RGB(0, 255, 255);
constexpr COLORREF kFuncFill = RGB(204, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kButtonFace = RGB(192, 192, 192);  // COLOR_BTNFACE

std::string Hex(COLORREF c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c));
    return buf;
}

// A pixel of `hwnd`'s client area, read from the device screen.
COLORREF PixelAt(HWND hwnd, int x, int y)
{
    POINT pt = {x, y};
    ClientToScreen(hwnd, &pt);
    const Surface& s = ScreenSurface();
    if (pt.x < 0 || pt.y < 0 || pt.x >= s.width || pt.y >= s.height) return CLR_INVALID;
    std::uint32_t p = s.pixels[static_cast<std::size_t>(pt.y) * s.stride + pt.x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

std::vector<COLORREF> PixelsIn(HWND hwnd, const RECT& rc)
{
    std::vector<COLORREF> out;
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x) out.push_back(PixelAt(hwnd, x, y));
    }
    return out;
}

LOGFONT PanelFont(HWND face, int points, int widthPoints, LONG weight)
{
    HDC hdc = GetDC(face);
    int dpi = GetDeviceCaps(hdc, LOGPIXELSY);
    ReleaseDC(face, hdc);
    LOGFONT lf = {};
    lf.lfHeight = -points * dpi / 72;
    lf.lfWidth = widthPoints * dpi / 72;
    lf.lfWeight = weight;
    return lf;
}

// Draws `text` in `lf` at (0, 0) on a panel-coloured bitmap: its extent and last ink column.
SIZE MeasureInk(HWND face, std::u16string_view text, const LOGFONT& lf, int* lastInk)
{
    HDC screen = GetDC(face);
    HDC hdc = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(screen, 240, 40);
    HGDIOBJ oldBitmap = SelectObject(hdc, bm);
    HBRUSH fill = CreateSolidBrush(kPanel);
    RECT all = {0, 0, 240, 40};
    FillRect(hdc, &all, fill);
    HFONT font = CreateFontIndirect(&lf);
    HGDIOBJ oldFont = SelectObject(hdc, font);
    SIZE size = {};
    GetTextExtentPoint32(hdc, text.data(), static_cast<int>(text.size()), &size);
    SetBkMode(hdc, TRANSPARENT);
    ExtTextOut(hdc, 0, 0, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    *lastInk = -1;
    for (int x = 0; x < 240; ++x) {
        for (int y = 0; y < 40; ++y) {
            if (GetPixel(hdc, x, y) != kPanel) *lastInk = x;
        }
    }
    SelectObject(hdc, oldFont);
    SelectObject(hdc, oldBitmap);
    DeleteObject(font);
    DeleteObject(fill);
    DeleteObject(bm);
    DeleteDC(hdc);
    ReleaseDC(face, screen);
    return size;
}

class FacePaintTest : public testing::Test {
protected:
    void SetUp() override
    {
        face_ = CreateTestFace();
        ASSERT_NE(face_, nullptr);
        InvalidateRect(face_, nullptr, FALSE);
        UpdateWindow(face_);
    }
    void TearDown() override { DestroyTestFace(); }

    std::string At(int x, int y) const { return Hex(PixelAt(face_, x, y)); }

    POINT KeyOrigin(int id) const
    {
        RECT rc = {};
        GetWindowRect(GetDlgItem(face_, id), &rc);
        POINT pt = {rc.left, rc.top};
        ScreenToClient(face_, &pt);
        return pt;
    }

    std::string AtKey(int id, int dx, int dy) const
    {
        POINT o = KeyOrigin(id);
        return At(o.x + dx, o.y + dy);
    }

    void SetPushed(int id, BOOL pushed) const { SendMessage(GetDlgItem(face_, id), BM_SETSTATE, pushed, 0); }

    // The row just above the bottom text line, from x 10 to 229, over the panel's border.
    void ExpectSeparatorAt(int row) const
    {
        for (int x : {10, 20, 120, 227, 229}) EXPECT_EQ(At(x, row), Hex(kSeparator)) << "x " << x;
        EXPECT_EQ(At(230, row), Hex(kBorder));
        EXPECT_EQ(At(20, row - 1), Hex(kPanel));
        EXPECT_EQ(At(20, row + 1), Hex(kPanel));
    }

    HWND face_ = nullptr;
};

struct PixelCase {
    int x;
    int y;
    COLORREF color;
};

TEST_F(FacePaintTest, PaintsFaceRuleAndPanel)
{
    const PixelCase cases[] = {
        // x   y    colour     what
        {2,    2,   kFace},    // face background
        {235,  150, kFace},
        {0,    89,  kRule},    // rule, two pixels high at row 90, from the client's left edge
        {235,  90,  kRule},
        {20,   88,  kFace},
        {20,   91,  kFace},
        {9,    30,  kBorder},  // panel border, three pixels across each edge
        {11,   30,  kBorder},
        {8,    30,  kFace},
        {230,  30,  kBorder},
        {231,  30,  kFace},
        {120,  4,   kBorder},
        {120,  3,   kFace},
        {15,   55,  kBorder},
        {15,   56,  kFace},
        {12,   20,  kPanel},   // panel inside
    };
    for (const PixelCase& c : cases) EXPECT_EQ(At(c.x, c.y), Hex(c.color)) << c.x << ", " << c.y;

    g_faceColor = RGB(10, 20, 30);
    InvalidateRect(face_, nullptr, FALSE);
    UpdateWindow(face_);
    EXPECT_EQ(At(235, 150), Hex(RGB(10, 20, 30)));
    g_faceColor = kFace;
}

TEST_F(FacePaintTest, PutsTheSeparatorAboveTheBottomTextLine)
{
    int dummy = 0;
    int labelHeight = MeasureInk(face_, u"0.", PanelFont(face_, 7, 0, FW_BOLD), &dummy).cy;
    ExpectSeparatorAt(55 - labelHeight - 1);

    PressKeys(face_, "5 M+");
    int memoryHeight = MeasureInk(face_, u"M: 5.", PanelFont(face_, 8, 0, FW_BOLD), &dummy).cy;
    ASSERT_NE(memoryHeight, labelHeight);
    ExpectSeparatorAt(55 - memoryHeight - 1);
    EXPECT_EQ(At(20, 55 - labelHeight - 1), Hex(kPanel));
}

// The number's cell ends 5 pixels inside the panel's right edge.
TEST_F(FacePaintTest, RightAlignsTheNumberInsideThePanel)
{
    PressKeys(face_, "1 2 3 4");
    int lastInk = -1;
    SIZE size = MeasureInk(face_, u"1,234", PanelFont(face_, 20, 8, FW_EXTRABOLD), &lastInk);
    ASSERT_GE(lastInk, 0);
    int drawnLastInk = -1;
    for (int x = 12; x < 228; ++x) {
        for (int y = 7; y < 35; ++y) {
            if (PixelAt(face_, x, y) != kPanel) drawnLastInk = x;
        }
    }
    EXPECT_EQ(drawnLastInk, 230 - size.cx - 5 + lastInk);
}

// A number wider than the panel loses its left part at the panel's edge.
TEST_F(FacePaintTest, ClipsALongNumberToThePanel)
{
    for (int i = 0; i < 60; ++i) PressKey(face_, IDC_DIGIT_0 + 8);
    for (int y = 0; y < 60; ++y) {
        for (int x : {0, 4, 8}) ASSERT_EQ(At(x, y), Hex(kFace)) << x << ", " << y;
    }
    bool inkAtLeft = false;
    for (int x = 12; x < 20; ++x) {
        for (int y = 7; y < 35; ++y) inkAtLeft = inkAtLeft || PixelAt(face_, x, y) != kPanel;
    }
    EXPECT_TRUE(inkAtLeft) << "the digits reach the panel's left part";
}

// The last column from x 12 to 227 where rows top..52 (inside the border) are not all panel.
int LastInkColumn(HWND face, int top)
{
    int last = 11;
    for (int x = 12; x < 228; ++x) {
        for (int y = top; y < 53; ++y) last = PixelAt(face, x, y) != kPanel ? x : last;
    }
    return last;
}

// However long the memory line, the labels and a clear column after them are drawn exactly as
// without a memory.
TEST_F(FacePaintTest, MemoryLineKeepsClearOfTheLabels)
{
    int dummy = 0;
    const int top = 55 - MeasureInk(face_, u"0.", PanelFont(face_, 7, 0, FW_BOLD), &dummy).cy;
    for (const char* keys : {"BIN 1 M-",                                            // -1: 32 ones
                             "BIN 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 M+",  // 2^22
                             "TRIG 7 +/- x^y 3 0 7 +/- = M+ C/CE"}) {              // beside two labels
        PressKeys(face_, "RC C/CE C/CE DEC");
        PressKeys(face_, keys);
        const CalcState withMemory = g_calc;
        g_calc.intMemory = 0, g_calc.realMemory = 0.0;
        InvalidateRect(face_, nullptr, FALSE), UpdateWindow(face_);
        const RECT labels = {12, top, LastInkColumn(face_, top) + 2, 53};
        std::vector<COLORREF> alone = PixelsIn(face_, labels);
        g_calc = withMemory;
        InvalidateRect(face_, nullptr, FALSE), UpdateWindow(face_);
        EXPECT_TRUE(alone == PixelsIn(face_, labels)) << keys << ": drawn over the labels";
        EXPECT_GT(LastInkColumn(face_, top), labels.right) << keys << ": no memory line";
    }
}

// The raised 43 x 21 bitmaps: white and beige top-left, light and dark grey bottom-right, a beige
// diagonal through the bottom-right corner.
COLORREF RaisedPixel(int dx, int dy, COLORREF fill)
{
    if (dy >= 17 && dx - dy == 22) return kBeige;
    if (dx >= 41 || dy >= 19) return kDarkGrey;
    if (dx >= 39 || dy >= 17) return kLightGrey;
    if (dx == 0 || dy == 0) return kWhite;
    if (dx == 1 || dy == 1) return kBeige;
    return fill;
}

// The pressed bitmap: light and mid grey top-left, white bottom-right, a mid-grey diagonal.
COLORREF SunkenPixel(int dx, int dy)
{
    if (dy >= 19 && dx - dy == 22) return kPressedShade;
    if (dx >= 41 || dy >= 19) return kWhite;
    if (dx == 0 || dy == 0) return kPressedEdge;
    if (dx <= 2 || dy <= 2) return kPressedShade;
    return kPressedFill;
}

// Black caption ink blended over `under`: every channel scaled down by the same coverage.
bool IsInkOver(COLORREF c, COLORREF under)
{
    const int got[] = {GetRValue(c), GetGValue(c), GetBValue(c)};
    const int was[] = {GetRValue(under), GetGValue(under), GetBValue(under)};
    int top = std::max({was[0], was[1], was[2]});
    int k = top == 0 ? 0 : got[std::max_element(was, was + 3) - was] * 256 / top;
    for (int i = 0; i < 3; ++i) {
        if (got[i] > was[i] || std::abs(got[i] - was[i] * k / 256) > 3) return false;
    }
    return true;
}

// The key's 43 x 21 bitmap area shows `expected`, apart from caption ink inside the text cell
// (rows 1 to 19); most of it shows the bitmap untouched.
void ExpectKeyBitmap(HWND face, int id, COLORREF (*expected)(int, int, COLORREF), COLORREF fill)
{
    RECT rc = {};
    GetWindowRect(GetDlgItem(face, id), &rc);
    ScreenToClient(face, reinterpret_cast<POINT*>(&rc));
    int exact = 0, wrong = 0;
    for (int dy = 0; dy < 21; ++dy) {
        for (int dx = 0; dx < 43; ++dx) {
            COLORREF want = expected(dx, dy, fill);
            COLORREF got = PixelAt(face, rc.left + dx, rc.top + dy);
            if (got == want) {
                ++exact;
            } else if (dy == 0 || dy == 20 || !IsInkOver(got, want)) {
                if (++wrong <= 3) ADD_FAILURE() << "key " << id << " at (" << dx << ", " << dy << "): "
                                                << Hex(got) << ", expected " << Hex(want);
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "key " << id;
    EXPECT_GT(exact, 43 * 21 / 2) << "key " << id;
}

COLORREF Sunken(int dx, int dy, COLORREF) { return SunkenPixel(dx, dy); }

struct KeyColorCase {
    int id;
    COLORREF fill;
};

const KeyColorCase kKeyColors[] = {
    {1001, RGB(102, 153, 255)},          {IDC_CLEAR, RGB(255, 0, 102)},
    {IDC_BACKSPACE, RGB(255, 0, 102)},   {IDC_ADD, kFuncFill},
    {IDC_MEM_RECALL, kFuncFill},         {IDC_TRIG_PANEL, RGB(255, 204, 102)},
    {IDC_ANGLE_UNIT, RGB(255, 204, 102)},
};

TEST_F(FacePaintTest, DrawsEachKeyGroupsBitmapAndThePressedBitmapWhilePushed)
{
    PressKey(face_, IDC_TRIG_PANEL);  // shows the angle-unit key
    for (const KeyColorCase& c : kKeyColors) {
        ExpectKeyBitmap(face_, c.id, RaisedPixel, c.fill);
        SetPushed(c.id, TRUE);
        ExpectKeyBitmap(face_, c.id, Sunken, 0);
        SetPushed(c.id, FALSE);
        ExpectKeyBitmap(face_, c.id, RaisedPixel, c.fill);
    }
}

// The pressed bitmap is 43 pixels wide and not stretched: the rest of "＝" keeps its own bitmap.
// Win32 paints an owner-drawn button's background before its owner draws, with the brush the parent
// answers WM_CTLCOLORBTN with (the face answers none: the button face): the pressed bitmap covers
// the key's left 43 pixels, the rest shows the button face until the key comes up again.
TEST_F(FacePaintTest, PressedEqualsShowsTheButtonFaceRightOfItsBitmap)
{
    SetPushed(IDC_EQUALS, TRUE);
    EXPECT_EQ(AtKey(IDC_EQUALS, 3, 3), Hex(kPressedFill));
    EXPECT_EQ(AtKey(IDC_EQUALS, 42, 3), Hex(kWhite));
    EXPECT_EQ(AtKey(IDC_EQUALS, 43, 3), Hex(kButtonFace));
    EXPECT_EQ(AtKey(IDC_EQUALS, 87, 10), Hex(kButtonFace));
    SetPushed(IDC_EQUALS, FALSE);
    EXPECT_EQ(AtKey(IDC_EQUALS, 43, 3), Hex(kFuncFill));
    EXPECT_EQ(AtKey(IDC_EQUALS, 87, 10), Hex(kDarkGrey));
}

// The caption is centred on the whole key, in the device context's own colour.
TEST_F(FacePaintTest, CentresTheCaptionOnTheKey)
{
    RECT rc = {};
    GetClientRect(GetDlgItem(face_, IDC_EQUALS), &rc);
    POINT o = KeyOrigin(IDC_EQUALS);
    int left = rc.right, right = -1, top = rc.bottom, bottom = -1;
    for (int y = 0; y < rc.bottom; ++y) {
        for (int x = 0; x < rc.right; ++x) {
            if (PixelAt(face_, o.x + x, o.y + y) != kBlack) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    ASSERT_GE(right, 0) << "no caption ink";
    EXPECT_LE(std::abs(left + right - (rc.right - 1)), 3) << left << ".." << right;
    EXPECT_LE(std::abs(top + bottom - (rc.bottom - 1)), 3) << top << ".." << bottom;
}

TEST_F(FacePaintTest, LeavesOtherDrawItemKindsToTheDefaultProcedure)
{
    HDC hdc = GetDC(face_);
    std::vector<COLORREF> before = PixelsIn(face_, RECT{0, 0, 240, 268});
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = 3;
    dis.hDC = hdc;
    dis.rcItem = RECT{0, 0, 43, 21};
    EXPECT_EQ(OnCalcDrawItem(face_, 1001, reinterpret_cast<LPARAM>(&dis)), FALSE);
    EXPECT_EQ(OnCalcDrawItem(face_, 1001, 0), FALSE);
    EXPECT_TRUE(before == PixelsIn(face_, RECT{0, 0, 240, 268}));
    ReleaseDC(face_, hdc);
}

// --- captions inside their keys, at scale 1 and 3 ---------------------------------------------

// Where key `id`'s caption puts ink, in surface pixels from the key's top-left corner: the pixels
// that change when the key is drawn without its caption. Empty (right < left) when none.
RECT CaptionInk(HWND face, int id)
{
    HWND key = GetDlgItem(face, id);
    RECT rc = {};
    GetClientRect(key, &rc);
    POINT origin = {0, 0};
    ClientToScreen(key, &origin);
    const long n = ScreenScale(), width = rc.right * n, height = rc.bottom * n;
    auto draw = [&](const WCHAR* caption) {
        SetWindowText(key, caption);
        InvalidateRect(key, nullptr, FALSE);
        UpdateWindow(key);
        const Surface& s = ScreenSurface();
        std::vector<std::uint32_t> out;
        for (long y = 0; y < height; ++y) {
            const std::uint32_t* row = s.pixels + std::size_t(origin.y * n + y) * s.stride + origin.x * n;
            out.insert(out.end(), row, row + width);
        }
        return out;
    };
    WCHAR caption[16] = {};
    GetWindowText(key, caption, 16);
    std::vector<std::uint32_t> with = draw(caption), without = draw(u"");
    draw(caption);
    RECT ink = {LONG(width), LONG(height), -1, -1};
    for (long i = 0; i < width * height; ++i) {
        if (with[i] == without[i]) continue;
        LONG x = LONG(i % width), y = LONG(i / width);
        ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y)};
    }
    return ink;
}

// `check`(ink, face) for every owner-drawn key's caption in every mode (the angle key with both
// captions), where face is the key's raised bitmap inside its bevel: two pixels at the top and
// left, four at the right and bottom; inclusive, in surface pixels.
template <typename Check>
void ForEveryCaption(Check check)
{
    for (int n : {1, 3}) {
        ASSERT_TRUE(SetScreenScale(n));
        HWND face = CreateTestFace();
        for (const char* mode : {"", "TRIG", "RAD/DEG", "HEX", "BIN"}) {
            PressKeys(face, mode);
            for (int id = IDC_DIGIT_0; id <= IDC_NOT; ++id) {
                LONG style = GetDlgItem(face, id) ? GetWindowLong(GetDlgItem(face, id), GWL_STYLE) : 0;
                if (!(style & WS_VISIBLE) || (style & BS_TYPEMASK) != BS_OWNERDRAW) continue;
                RECT ink = CaptionInk(face, id);
                ASSERT_GE(ink.right, ink.left) << "key " << id << ": no caption drawn";
                const int bitmapWidth = id == IDC_EQUALS ? 88 : 43;
                check(ink, RECT{2 * n, 2 * n, (bitmapWidth - 4) * n - 1, (21 - 4) * n - 1},
                      "key " + std::to_string(id) + " at scale " + std::to_string(n));
            }
        }
        DestroyTestFace();
    }
    SetScreenScale(1);
}

// A caption wider than its key ("三角関", "＋/－", "C/CE", "asin") is drawn narrower, never
// clipped: its ink stays between the key's left and right bevels.
TEST(CaptionFit, EveryCaptionStaysBetweenItsKeysSideBevels)
{
    ForEveryCaption([](const RECT& ink, const RECT& face, const std::string& key) {
        EXPECT_TRUE(ink.left >= face.left && ink.right <= face.right) << key << ": " << ink.left << ".." << ink.right;
    });
}

// No caption reaches the top or bottom bevel ("√" kept losing its overbar to the top one).
TEST(CaptionFit, EveryCaptionStaysBetweenItsKeysTopAndBottomBevels)
{
    ForEveryCaption([](const RECT& ink, const RECT& face, const std::string& key) {
        EXPECT_TRUE(ink.top >= face.top && ink.bottom <= face.bottom) << key << ": " << ink.top << ".." << ink.bottom;
    });
}

// Every paint and key drawing deletes what it creates, in every mode, pressed or not.
TEST_F(FacePaintTest, ManyKeysLeaveNoDrawingObjectBehind)
{
    std::vector<int> ids;
    for (int id = IDC_DIGIT_0; id <= IDC_NOT; ++id) {
        if (id != IDC_DISPLAY_STORE && GetDlgItem(face_, id) != nullptr) ids.push_back(id);
    }
    ASSERT_EQ(ids.size(), 57u);
    GdiObjectCounts before = GetGdiObjectCounts();
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::size_t> pick(0, ids.size() - 1);
    for (int i = 0; i < 10000; ++i) {
        int id = ids[pick(random)];
        if (i % 7 == 0) SetPushed(id, TRUE), SetPushed(id, FALSE);
        PressKey(face_, id);
    }
    GdiObjectCounts after = GetGdiObjectCounts();
    EXPECT_EQ(after.pens, before.pens);
    EXPECT_EQ(after.brushes, before.brushes);
    EXPECT_EQ(after.fonts, before.fonts);
    EXPECT_EQ(after.bitmaps, before.bitmaps);
    EXPECT_EQ(after.dcs, before.dcs);
}

}  // namespace
