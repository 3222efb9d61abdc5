// Leak accounting over a long session: random keys and taps anywhere on the device screen (the
// face, the menu bar and its drop-downs, the navigation bar) must leave the number of live windows
// and drawing objects where they started, and ending the program must give back all it made.
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>
#include "app/app.h"
#include "face_fixture.h"
#include "platform/gdi/stats.h"
#include "platform/user/input.h"
#include "platform/user/window_count.h"
#include "platform/user/window_internal.h"
#include "resources/resource_ids.h"

namespace {

// 100,000 in the normal build; sanitizers make each step some ten times dearer.
int SessionSteps()
{
    if (const char* steps = std::getenv("QUORIX_LEAK_STEPS")) return std::atoi(steps);
#if defined(__SANITIZE_ADDRESS__)
    return 5000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return 5000;
#else
    return 100000;
#endif
#else
    return 100000;
#endif
}

struct Census {
    int windows;
    GdiObjectCounts gdi;
};

Census TakeCensus()
{
    return Census{LiveWindowCount(), GetGdiObjectCounts()};
}

// The class of every top-level window, to name what is left over.
std::string TopLevelClasses()
{
    std::string names;
    for (HWND hwnd : TopLevelWindows()) {
        const Window* w = FindWin(hwnd);
        if (!w) continue;
        for (char16_t c : w->className) names.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        names += w->destroying ? "(destroying) " : " ";
    }
    return names;
}

void ExpectSameCensus(const Census& now, const Census& start, const char* when)
{
    EXPECT_EQ(now.windows, start.windows) << when << "; top-level windows: " << TopLevelClasses();
    EXPECT_EQ(now.gdi.pens, start.gdi.pens) << when;
    EXPECT_EQ(now.gdi.brushes, start.gdi.brushes) << when;
    EXPECT_EQ(now.gdi.fonts, start.gdi.fonts) << when;
    EXPECT_EQ(now.gdi.bitmaps, start.gdi.bitmaps) << when;
    EXPECT_EQ(now.gdi.dcs, start.gdi.dcs) << when;
}

// Runs what the program's loop would run, but for the main window's own commands (the About box
// is modal and would wait for a user) and the ways of ending the program.
void DispatchPosted()
{
    HWND main = GetParent(g_hwndCalc);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT || msg.message == WM_CLOSE) continue;
        if (msg.message == WM_COMMAND && msg.hwnd == main) continue;
        DispatchMessage(&msg);
    }
}

// A tap outside every window closes a drop-down menu that holds the pen.
void CloseAnyMenu()
{
    InjectTap(POINT{-50, -50});
    DispatchPosted();
}

std::vector<int> FaceKeyIds()
{
    std::vector<int> ids;
    for (int id = IDC_DIGIT_0; id <= IDC_POW10; ++id) ids.push_back(id);
    ids.push_back(IDC_NOT);
    return ids;
}

TEST(LeakAccountingTest, ALongRandomSessionLeavesNoWindowOrDrawingObjectBehind)
{
    const Census beforeStart = TakeCensus();
    HWND face = CreateTestFace();
    ASSERT_NE(face, nullptr);
    DispatchPosted();
    const Census started = TakeCensus();
    ASSERT_GT(started.windows, beforeStart.windows);

    const std::vector<int> ids = FaceKeyIds();
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::size_t> pickKey(0, ids.size() - 1);
    std::uniform_int_distribution<int> pickX(0, 239), pickY(0, 319), pickKind(0, 9);
    const int steps = SessionSteps();
    int menusOpened = 0;
    for (int i = 0; i < steps; ++i) {
        if (pickKind(random) < 6) {
            PressKey(face, ids[pickKey(random)]);
        } else {
            int before = LiveWindowCount();
            InjectTap(POINT{pickX(random), pickY(random)});
            if (LiveWindowCount() > before) ++menusOpened;
        }
        DispatchPosted();
        ASSERT_TRUE(IsWindow(face)) << "step " << i;
    }
    CloseAnyMenu();
    ExpectSameCensus(TakeCensus(), started, "after the session");
    EXPECT_GT(menusOpened, 0);  // the taps reached the menu bar too, not only the face

    DestroyTestFace();
    ExpectSameCensus(TakeCensus(), beforeStart, "after the program ended");
}

}  // namespace
