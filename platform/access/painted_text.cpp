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

// Made when recording starts: no object of this file is built before main, so a start with
// accessibility off runs none of its code.
struct Recording {
    std::map<HWND, std::vector<PaintedRun>> runs;
    std::vector<Painting> paintings;  // nested paints (a control drawn while its parent paints)
};
Recording* g_recording = nullptr;

const std::vector<PaintedRun>& NoRuns()
{
    static const std::vector<PaintedRun> none;
    return none;
}

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
    if (!g_recording) return;
    for (auto it = g_recording->paintings.rbegin(); it != g_recording->paintings.rend(); ++it) {
        if (it->hdc != hdc) continue;
        // Text wholly outside the painted area was not drawn now: its old run still stands.
        if (RectEmpty(RectIntersect(bounds, it->area))) return;
        std::vector<PaintedRun>& runs = g_recording->runs[it->hwnd];
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
    delete g_recording;
    g_recording = new Recording;
    SetTextDrawnObserver(OnTextDrawn);
}

void StopPaintedText()
{
    SetTextDrawnObserver(nullptr);
    delete g_recording;
    g_recording = nullptr;
}

void PaintedTextBegin(HWND hwnd, HDC hdc, const RECT& area)
{
    if (!g_recording) return;
    std::vector<PaintedRun>& runs = g_recording->runs[hwnd];
    Painting painting{hwnd, hdc, area, runs};
    runs.erase(std::remove_if(runs.begin(), runs.end(),
                              [&](const PaintedRun& r) { return !RectEmpty(RectIntersect(r.bounds, area)); }),
               runs.end());
    g_recording->paintings.push_back(std::move(painting));
}

bool PaintedTextEnd(HWND hwnd)
{
    if (!g_recording) return false;
    std::vector<Painting>& paintings = g_recording->paintings;
    for (auto it = paintings.rbegin(); it != paintings.rend(); ++it) {
        if (it->hwnd != hwnd) continue;
        std::vector<PaintedRun> before = std::move(it->before);
        paintings.erase(std::next(it).base());
        if (PaintedRunsOf(hwnd).empty()) g_recording->runs.erase(hwnd);
        return !SameRuns(before, PaintedRunsOf(hwnd));
    }
    return false;
}

void ForgetPaintedText(HWND hwnd)
{
    if (!g_recording) return;
    g_recording->runs.erase(hwnd);
    std::vector<Painting>& paintings = g_recording->paintings;
    paintings.erase(std::remove_if(paintings.begin(), paintings.end(), [&](const Painting& p) { return p.hwnd == hwnd; }),
                    paintings.end());
}

const std::vector<PaintedRun>& PaintedRunsOf(HWND hwnd)
{
    if (!g_recording) return NoRuns();
    auto it = g_recording->runs.find(hwnd);
    return it == g_recording->runs.end() ? NoRuns() : it->second;
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
