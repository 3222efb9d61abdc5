// The runs of text windows paint (see painted_text.h). Text drawn into a DC that no paint of a
// window holds (memory DCs, GetDC) is not recorded.
#include "platform/access/painted_text.h"
#include <algorithm>
#include <map>
#include "platform/gdi/text_observer.h"
#include "platform/user/rect.h"

namespace {

// A window whose paint ran wild is cut off here rather than eating the memory.
constexpr std::size_t kRunsPerWindowCap = 256;
constexpr std::size_t kRunUnitsCap = 1024;

struct Painting {
    HWND hwnd;
    HDC hdc;
    RECT area;
    std::vector<PaintedRun> before;
};

std::map<HWND, std::vector<PaintedRun>> g_runs;
std::vector<Painting> g_paintings;  // nested paints (a control drawn while its parent paints)
const std::vector<PaintedRun> kNoRuns;

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool SameRuns(const std::vector<PaintedRun>& a, const std::vector<PaintedRun>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const PaintedRun& x, const PaintedRun& y) {
        return x.text == y.text && SameRect(x.bounds, y.bounds);
    });
}

void OnTextDrawn(HDC hdc, const RECT& bounds, const WCHAR* text, std::size_t length)
{
    for (auto it = g_paintings.rbegin(); it != g_paintings.rend(); ++it) {
        if (it->hdc != hdc) continue;
        // Text wholly outside the painted area was not drawn now: its old run still stands.
        if (RectEmpty(RectIntersect(bounds, it->area))) return;
        std::vector<PaintedRun>& runs = g_runs[it->hwnd];
        if (runs.size() >= kRunsPerWindowCap) return;
        runs.push_back(PaintedRun{bounds, std::u16string(text, std::min(length, kRunUnitsCap))});
        return;
    }
}

bool IsGroupSeparator(char16_t c)
{
    return c == u' ' || c == u',' || c == u'\u00A0';
}

}  // namespace

void StartPaintedText()
{
    g_runs.clear();
    g_paintings.clear();
    SetTextDrawnObserver(OnTextDrawn);
}

void StopPaintedText()
{
    SetTextDrawnObserver(nullptr);
    g_runs.clear();
    g_paintings.clear();
}

void PaintedTextBegin(HWND hwnd, HDC hdc, const RECT& area)
{
    std::vector<PaintedRun>& runs = g_runs[hwnd];
    Painting painting{hwnd, hdc, area, runs};
    runs.erase(std::remove_if(runs.begin(), runs.end(),
                              [&](const PaintedRun& r) { return !RectEmpty(RectIntersect(r.bounds, area)); }),
               runs.end());
    g_paintings.push_back(std::move(painting));
}

bool PaintedTextEnd(HWND hwnd)
{
    for (auto it = g_paintings.rbegin(); it != g_paintings.rend(); ++it) {
        if (it->hwnd != hwnd) continue;
        std::vector<PaintedRun> before = std::move(it->before);
        g_paintings.erase(std::next(it).base());
        if (PaintedRunsOf(hwnd).empty()) g_runs.erase(hwnd);
        return !SameRuns(before, PaintedRunsOf(hwnd));
    }
    return false;
}

void ForgetPaintedText(HWND hwnd)
{
    g_runs.erase(hwnd);
    g_paintings.erase(std::remove_if(g_paintings.begin(), g_paintings.end(),
                                     [&](const Painting& p) { return p.hwnd == hwnd; }),
                      g_paintings.end());
}

const std::vector<PaintedRun>& PaintedRunsOf(HWND hwnd)
{
    auto it = g_runs.find(hwnd);
    return it == g_runs.end() ? kNoRuns : it->second;
}

int RunShowing(HWND hwnd, const std::u16string& text)
{
    if (text.empty()) return -1;
    const std::vector<PaintedRun>& runs = PaintedRunsOf(hwnd);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        std::u16string bare;
        for (char16_t c : runs[i].text) {
            if (!IsGroupSeparator(c)) bare += c;
        }
        if (bare == text) return static_cast<int>(i);
    }
    return -1;
}
