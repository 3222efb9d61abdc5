// The face drawn at scale N against the face at scale 1: every pixel outside the text boxes is
// the scale-1 pixel repeated N x N times, text differs only inside its boxes, and the text is
// rasterised at N times its size rather than enlarged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/calc_state.h"
#include "face/display_panel.h"
#include "platform/gdi/surface.h"
#include "platform/windows.h"
#include "resources/resource_ids.h"
#include "tests/face_fixture.h"

namespace {

// Whatever a test leaves behind, the next one starts at scale 1.
class ScaleFaceTest : public testing::Test {
protected:
    void TearDown() override { SetScreenScale(1); }
};

struct Picture {
    int scale = 1;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(long x, long y) const { return pixels[std::size_t(y) * width + x]; }
};

// Device-pixel rectangles (screen coordinates) where text may be drawn.
using Boxes = std::vector<RECT>;

void PaintEverything()
{
    InvalidateRect(nullptr, nullptr, TRUE);
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessage(&msg);
}

Picture TakePicture()
{
    const Surface& s = ScreenSurface();
    Picture p;
    p.scale = ScreenScale();
    p.width = s.width;
    p.height = s.height;
    for (int y = 0; y < s.height; ++y) p.pixels.insert(p.pixels.end(), s.pixels + std::size_t(y) * s.stride, s.pixels + std::size_t(y) * s.stride + s.width);
    return p;
}

RECT Grow(const RECT& r, int by)
{
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

RECT ClientOnScreen(HWND hwnd, RECT r)
{
    POINT o{0, 0};
    ClientToScreen(hwnd, &o);
    return RECT{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
}

SIZE Measure(HDC hdc, HFONT font, std::u16string_view text)
{
    HGDIOBJ old = SelectObject(hdc, font);
    SIZE size{0, 0};
    GetTextExtentPoint32(hdc, text.data(), int(text.size()), &size);
    SelectObject(hdc, old);
    return size;
}

HFONT Font(LONG height, LONG width, LONG weight)
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    return CreateFontIndirect(&lf);
}

// A caption centred in the control, in the owner-drawn keys' caption font or the control's own.
void AddCaptionBoxes(HWND face, HDC hdc, Boxes* boxes)
{
    HFONT caption = Font(18, 0, FW_EXTRABOLD);
    for (HWND kid = GetWindow(face, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if (!(GetWindowLong(kid, GWL_STYLE) & WS_VISIBLE)) continue;
        WCHAR text[64] = {};
        int n = GetWindowText(kid, text, 64);
        if (n == 0) continue;
        bool owner = (GetWindowLong(kid, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
        HFONT font = owner ? caption : reinterpret_cast<HFONT>(SendMessage(kid, WM_GETFONT, 0, 0));
        SIZE size = Measure(hdc, font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), std::u16string_view(text, n));
        RECT rc{};
        GetClientRect(kid, &rc);
        LONG x = (rc.left + rc.right - size.cx) / 2, y = (rc.top + rc.bottom - size.cy) / 2;
        boxes->push_back(Grow(ClientOnScreen(kid, RECT{x, y, x + size.cx, y + size.cy}), 2));
    }
    DeleteObject(caption);
}

// The panel's number, labels and memory line, placed as the face places them.
void AddPanelBoxes(HWND face, HDC hdc, Boxes* boxes)
{
    PanelModel model = ComputePanelModel(g_calc);
    HFONT number = Font(-26, model.widthFactor * 96 / 72, FW_EXTRABOLD);
    SIZE n = Measure(hdc, number, model.number);
    boxes->push_back(Grow(ClientOnScreen(face, RECT{225 - n.cx, 5, 225, 5 + n.cy}), 2));
    HFONT label = Font(-9, 0, FW_BOLD);
    SIZE l = Measure(hdc, label, PanelDisplayText(g_calc));
    boxes->push_back(Grow(ClientOnScreen(face, RECT{46, 55 - l.cy, 225, 55}), 2));
    HFONT memory = Font(-10, 0, FW_BOLD);
    SIZE m = Measure(hdc, memory, model.memoryLine);
    if (model.hasMemoryLine) boxes->push_back(Grow(ClientOnScreen(face, RECT{225 - m.cx, 55 - m.cy, 225, 55}), 2));
    DeleteObject(number), DeleteObject(label), DeleteObject(memory);
}

// A shell bar is one colour with text on it (and lines, which fill whole rows): its text box is
// where, at scale 1, rows that are not one colour differ from the bar's colour.
void AddBarBox(const Picture& one, const RECT& bar, Boxes* boxes)
{
    std::map<std::uint32_t, int> count;
    for (LONG y = bar.top; y < bar.bottom; ++y)
        for (LONG x = bar.left; x < bar.right; ++x) ++count[one.At(x, y)];
    std::uint32_t back = std::max_element(count.begin(), count.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    RECT ink{bar.right, bar.bottom, bar.left, bar.top};
    for (LONG y = bar.top; y < bar.bottom; ++y) {
        bool uniform = true;
        for (LONG x = bar.left + 1; x < bar.right; ++x) uniform = uniform && one.At(x, y) == one.At(bar.left, y);
        if (uniform) continue;
        for (LONG x = bar.left; x < bar.right; ++x) {
            if (one.At(x, y) == back) continue;
            ink = RECT{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
        }
    }
    if (ink.left < ink.right) boxes->push_back(Grow(ink, 2));
}

bool InBoxes(const Boxes& boxes, long x, long y)
{
    for (const RECT& b : boxes) {
        if (x >= b.left && x < b.right && y >= b.top && y < b.bottom) return true;
    }
    return false;
}

struct FaceShot {
    Picture one;
    Picture scaled;
    Boxes boxes;
};

// The face in the state `tokens` leave it (with `pushed` held down) at scale 1 and at `scale`.
FaceShot ShootFace(int scale, const char* tokens, int pushed)
{
    FaceShot shot;
    for (int n : {1, scale}) {
        EXPECT_TRUE(SetScreenScale(n));
        HWND face = CreateTestFace();
        PressKeys(face, tokens);
        if (pushed) SendMessage(GetDlgItem(face, pushed), BM_SETSTATE, TRUE, 0);
        PaintEverything();
        (n == 1 ? shot.one : shot.scaled) = TakePicture();
        if (n == 1) {
            HDC hdc = GetDC(face);
            AddCaptionBoxes(face, hdc, &shot.boxes);
            AddPanelBoxes(face, hdc, &shot.boxes);
            ReleaseDC(face, hdc);
            AddBarBox(shot.one, RECT{0, 0, kScreenWidth, kNavBarHeight}, &shot.boxes);
            AddBarBox(shot.one, RECT{0, kScreenHeight - kMenuBarHeight, kScreenWidth, kScreenHeight}, &shot.boxes);
        }
        DestroyTestFace();
    }
    SetScreenScale(1);
    return shot;
}

// Ink edges inside the text boxes: places where a pixel differs from its left or upper neighbour.
// Text merely enlarged from scale 1 has them only on the device-pixel grid (multiples of N).
struct EdgeCount {
    long onGrid = 0;
    long offGrid = 0;
};

EdgeCount CountTextEdges(const Picture& p, const Boxes& boxes)
{
    EdgeCount e;
    const int n = p.scale;
    for (long y = 1; y < p.height; ++y) {
        for (long x = 1; x < p.width; ++x) {
            if (!InBoxes(boxes, x / n, y / n)) continue;
            std::uint32_t c = p.At(x, y);
            if (c != p.At(x - 1, y)) (x % n ? e.offGrid : e.onGrid) += 1;
            if (c != p.At(x, y - 1)) (y % n ? e.offGrid : e.onGrid) += 1;
        }
    }
    return e;
}

// How far the scaled picture, averaged over each N x N block, is from the scale-1 picture inside
// the text boxes: mean absolute difference per channel (0..255). Text drawn at its proper size
// averages back to nearly the scale-1 text; text of the wrong size or place does not.
double TextDistance(const Picture& one, const Picture& scaled, const Boxes& boxes)
{
    const int n = scaled.scale;
    double sum = 0;
    long count = 0;
    for (long y = 0; y < one.height; ++y) {
        for (long x = 0; x < one.width; ++x) {
            if (!InBoxes(boxes, x, y)) continue;
            for (int shift : {0, 8, 16}) {
                long total = 0;
                for (int k = 0; k < n * n; ++k) total += (scaled.At(x * n + k % n, y * n + k / n) >> shift) & 0xFF;
                sum += std::abs(double(total) / (n * n) - double((one.At(x, y) >> shift) & 0xFF));
            }
            ++count;
        }
    }
    return count ? sum / (3.0 * count) : 0;
}

struct ModeCase {
    const char* name;
    int scale;
    const char* tokens;
    int pushed;
};

const ModeCase kModes[] = {
    /* name            scale  tokens                     pushed key */
    {"start",          2,     "",                        0},
    {"memory and hex", 2,     "1 2 3 4 5 6 7 M+ HEX",    0},
    {"binary",         2,     "BIN 1 0 1 1 0 1",         0},
    {"trig panel",     2,     "TRIG RAD/DEG 4 5 sin",    0},
    {"pressed equals", 2,     "9",                       IDC_EQUALS},
    {"pressed digit",  3,     "HEX F",                   IDC_DIGIT_0 + 7},
    {"start",          3,     "",                        0},
};

TEST_F(ScaleFaceTest, NonTextPixelsAreTheScaleOnePixelsEnlarged)
{
    for (const ModeCase& m : kModes) {
        SCOPED_TRACE(std::string(m.name) + " at scale " + std::to_string(m.scale));
        FaceShot shot = ShootFace(m.scale, m.tokens, m.pushed);
        const int n = m.scale;
        ASSERT_EQ(shot.scaled.width, kScreenWidth * n);
        ASSERT_EQ(shot.scaled.height, kScreenHeight * n);
        ASSERT_GE(shot.boxes.size(), 20u) << "captions, panel texts and bars";
        long checked = 0, wrong = 0, changedInText = 0;
        for (long y = 0; y < shot.scaled.height; ++y) {
            for (long x = 0; x < shot.scaled.width; ++x) {
                bool same = shot.scaled.At(x, y) == shot.one.At(x / n, y / n);
                if (InBoxes(shot.boxes, x / n, y / n)) {
                    changedInText += !same;
                    continue;
                }
                ++checked;
                if (!same && ++wrong <= 3) {
                    ADD_FAILURE() << "surface pixel (" << x << ", " << y << ") differs from device pixel (" << x / n
                                  << ", " << y / n << ")";
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(checked, long(kScreenWidth) * kScreenHeight * n * n / 2) << "most of the screen is not text";
        EXPECT_GT(changedInText, 0) << "the text was drawn again at the scale, not copied";
    }
}

// Enlarged text would have every ink edge on the device-pixel grid; text rasterised at the
// scale has a good share of its edges between grid lines, and averaged back over each block it
// is close to the scale-1 text (the glyphs are N times as large, not merely placed N times apart).
TEST_F(ScaleFaceTest, TextIsRasterisedAtTheScaleNotEnlarged)
{
    for (const ModeCase& m : kModes) {
        SCOPED_TRACE(std::string(m.name) + " at scale " + std::to_string(m.scale));
        FaceShot shot = ShootFace(m.scale, m.tokens, m.pushed);
        // The measure, on the scale-1 picture enlarged: nothing off the grid.
        Picture enlarged = shot.scaled;
        for (long y = 0; y < enlarged.height; ++y)
            for (long x = 0; x < enlarged.width; ++x) enlarged.pixels[std::size_t(y) * enlarged.width + x] = shot.one.At(x / m.scale, y / m.scale);
        EdgeCount copy = CountTextEdges(enlarged, shot.boxes);
        EXPECT_GT(copy.onGrid, 0);
        EXPECT_EQ(copy.offGrid, 0);
        EdgeCount e = CountTextEdges(shot.scaled, shot.boxes);
        ASSERT_GT(e.onGrid + e.offGrid, 1000) << "there is text in the boxes";
        EXPECT_GT(e.offGrid * 4, e.onGrid + e.offGrid) << "off-grid " << e.offGrid << ", on grid " << e.onGrid;
        // Measured: about 5 here, about 25 with glyphs of scale-1 size placed at the scaled positions.
        EXPECT_LT(TextDistance(shot.one, shot.scaled, shot.boxes), 12.0) << "the text has the size of the scale";
    }
}

TEST_F(ScaleFaceTest, PressedKeyShowsThePressedBitmapAtTheScale)
{
    FaceShot shot = ShootFace(2, "5", IDC_EQUALS);
    HWND face = CreateTestFace();
    RECT key{};
    GetWindowRect(GetDlgItem(face, IDC_EQUALS), &key);
    DestroyTestFace();
    // The pressed bitmap: its grey edge at (0, 0) and its fill at (3, 3) and (10, 16) of the key,
    // each a whole 2 x 2 block.
    const struct {
        int x, y;
        std::uint32_t pixel;
    } spots[] = {{0, 0, 0xCCCCCCu}, {3, 3, 0x00FFFFu}, {10, 16, 0x00FFFFu}};
    for (const auto& spot : spots) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(shot.scaled.At((key.left + spot.x) * 2 + k % 2, (key.top + spot.y) * 2 + k / 2), spot.pixel)
                << spot.x << ", " << spot.y;
        }
    }
}

// Layout is the program's, in device pixels: the same rectangles and metrics at every scale.
TEST_F(ScaleFaceTest, WindowsAndMetricsStayInDevicePixels)
{
    std::vector<RECT> rects[2];
    TEXTMETRIC tm[2];
    SIZE extent[2];
    int dpi[2], width[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(SetScreenScale(i == 0 ? 1 : 3));
        HWND face = CreateTestFace();
        for (HWND kid = GetWindow(face, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
            RECT r{};
            GetWindowRect(kid, &r);
            rects[i].push_back(r);
        }
        HDC hdc = GetDC(face);
        HFONT font = Font(-26, 10, FW_EXTRABOLD);
        HGDIOBJ old = SelectObject(hdc, font);
        GetTextMetrics(hdc, &tm[i]);
        GetTextExtentPoint32(hdc, u"1,234,567.", 10, &extent[i]);
        dpi[i] = GetDeviceCaps(hdc, LOGPIXELSY);
        width[i] = GetDeviceCaps(hdc, HORZRES);
        SelectObject(hdc, old);
        DeleteObject(font);
        ReleaseDC(face, hdc);
        DestroyTestFace();
    }
    SetScreenScale(1);
    ASSERT_EQ(rects[0].size(), rects[1].size());
    for (std::size_t k = 0; k < rects[0].size(); ++k) {
        const RECT& a = rects[0][k];
        const RECT& b = rects[1][k];
        EXPECT_TRUE(a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom) << "control " << k;
    }
    EXPECT_EQ(tm[0].tmHeight, tm[1].tmHeight);
    EXPECT_EQ(tm[0].tmAscent, tm[1].tmAscent);
    EXPECT_EQ(tm[0].tmAveCharWidth, tm[1].tmAveCharWidth);
    EXPECT_EQ(extent[0].cx, extent[1].cx);
    EXPECT_EQ(extent[0].cy, extent[1].cy);
    EXPECT_EQ(dpi[1], 96);
    EXPECT_EQ(width[1], kScreenWidth);
}

}  // namespace
