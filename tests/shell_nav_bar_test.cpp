// The navigation bar: the active window's title, the "ok" button for dialogs that ask for one,
// and the layer's own windows staying out of activation and out of other processes' reach.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include "platform/shell/navigation_bar.h"
#include "platform/shell/shell_draw.h"
#include "platform/shell/shell_windows.h"
#include "platform/gdi/surface.h"
#include "platform/publish/window_publish.h"
#include "tests/host_scratch.h"
#include "tests/shell_test_support.h"

namespace {

MessageRecorder g_commands({WM_COMMAND});

LRESULT CALLBACK TopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_commands.Record(hwnd, msg, wParam, lParam);
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND MakeTop(LPCWSTR title, DWORD exStyle = 0, LPCWSTR className = u"ShellTestTop")
{
    WNDCLASS wc{};
    wc.lpfnWndProc = TopProc;
    wc.lpszClassName = className;
    RegisterClass(&wc);
    return CreateWindowEx(exStyle, className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
}

std::uint32_t ScreenPixel(POINT p)
{
    const Surface& s = ScreenSurface();
    return s.pixels[static_cast<std::size_t>(p.y) * s.stride + p.x];
}

std::uint32_t PixelOf(COLORREF c)
{
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

int CountInTitleArea(std::uint32_t pixel)
{
    int n = 0;
    for (int y = 0; y < kNavBarHeight; ++y) {
        for (int x = 0; x < kScreenWidth / 2; ++x) n += ScreenPixel(POINT{x, y}) == pixel;
    }
    return n;
}

class NavBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnableCrossProcessWindows(false);
        g_commands.Clear();
        InstallNavigationBar();
        ASSERT_NE(NavigationBarWindow(), nullptr);
    }
    void TearDown() override
    {
        for (HWND w : m_windows) DestroyWindow(w);
        DestroyWindow(NavigationBarWindow());
        PumpMessages();
    }
    HWND Top(LPCWSTR title, DWORD exStyle = 0)
    {
        HWND w = MakeTop(title, exStyle);
        m_windows.push_back(w);
        return w;
    }
    std::vector<HWND> m_windows;
};

}  // namespace

TEST_F(NavBarTest, SitsAtTheTopAndShowsTheActiveWindowsTitle)
{
    RECT r;
    ASSERT_TRUE(GetWindowRect(NavigationBarWindow(), &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, kScreenWidth);
    EXPECT_EQ(r.bottom, kNavBarHeight);

    HWND a = Top(u"Alpha");
    HWND b = Top(u"Beta");
    EXPECT_EQ(NavigationBarTitle(), u"Beta");
    SetActiveWindow(a);
    EXPECT_EQ(NavigationBarTitle(), u"Alpha");
    SetWindowText(b, u"Gamma");  // not the active one
    EXPECT_EQ(NavigationBarTitle(), u"Alpha");
    SetWindowText(a, u"Delta");
    EXPECT_EQ(NavigationBarTitle(), u"Delta");
    EXPECT_GT(CountInTitleArea(PixelOf(kShellTitleText)), 20) << "the title is drawn in white";
    EXPECT_GT(CountInTitleArea(PixelOf(kShellTitleBack)), 500) << "on dark blue";
    SetActiveWindow(nullptr);
    EXPECT_EQ(NavigationBarTitle(), u"");
    EXPECT_EQ(CountInTitleArea(PixelOf(kShellTitleText)), 0);
}

TEST_F(NavBarTest, LayerWindowsNeverBecomeActive)
{
    HWND a = Top(u"Alpha");
    HWND menuLike = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_LAYER_PRIVATE, u"ShellTestTop", u"Layer", WS_POPUP, 0,
                                   200, 240, 40, nullptr, nullptr, nullptr, nullptr);
    m_windows.push_back(menuLike);
    ShowWindow(menuLike, SW_SHOWNOACTIVATE);
    HWND b = Top(u"Beta");
    MoveWindow(b, 0, 60, 240, 40, FALSE);
    ASSERT_EQ(GetActiveWindow(), b);

    InjectTap(POINT{100, 10});   // the navigation bar
    EXPECT_EQ(GetActiveWindow(), b);
    InjectTap(POINT{100, 210});  // the layer window
    EXPECT_EQ(GetActiveWindow(), b);
    ShowWindow(b, SW_HIDE);      // the layer windows are higher, yet the next active is Alpha
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(NavigationBarTitle(), u"Alpha");
}

TEST_F(NavBarTest, OkButtonOnlyForWindowsThatAskForIt)
{
    struct Case {
        const char* name;
        DWORD exStyle;
        bool doneButton;
        bool expectOk;
    };
    const Case cases[] = {
        {"plain window", 0, false, false},
        {"asked through the shell", 0, true, true},
        {"ok in the caption style", WS_EX_CAPTIONOKBTN, false, true},
    };
    for (const Case& c : cases) {
        HWND w = Top(u"Box", c.exStyle);
        if (c.doneButton) SetNavigationBarDoneButton(w, true);
        RECT ok;
        EXPECT_EQ(NavigationBarOkRect(&ok), c.expectOk) << c.name;
        if (c.doneButton) {
            SetNavigationBarDoneButton(w, false);
            EXPECT_FALSE(NavigationBarOkRect(&ok)) << c.name << ": taken back";
        }
        DestroyWindow(w);
    }
    EXPECT_FALSE(NavigationBarOkRect(nullptr));
}

TEST_F(NavBarTest, OkTapPostsIdOkToTheActiveWindowAndIsDrawnPressed)
{
    Top(u"Below");  // active before the dialog: the ok must not reach it
    HWND dialog = Top(u"Dialog");
    SetNavigationBarDoneButton(dialog, true);
    RECT ok;
    ASSERT_TRUE(NavigationBarOkRect(&ok));
    EXPECT_GE(ok.left, kScreenWidth / 2) << "at the right end";
    EXPECT_LE(ok.bottom, kNavBarHeight);
    POINT inside{ok.left + 3, ok.top + 3};  // inside the frame, clear of the label
    EXPECT_EQ(ScreenPixel(inside), PixelOf(kShellTitleBack));

    InjectPenDown(CentreOf(ok));
    EXPECT_EQ(ScreenPixel(inside), PixelOf(kShellTitleText)) << "pressed while the pen is down";
    InjectPenUp(CentreOf(ok));
    EXPECT_EQ(ScreenPixel(inside), PixelOf(kShellTitleBack));
    ok_sequence(g_commands, {}, "posted, not sent");
    PumpMessages();
    ok_sequence(g_commands, {{WM_COMMAND, SEQ_WPARAM | SEQ_HWND, MAKEWPARAM(IDOK, BN_CLICKED), 0, dialog}},
                "ok goes to the dialog, not to the window below it");

    InjectPenDown(CentreOf(ok));
    InjectPenMove(POINT{100, 100});
    InjectPenUp(POINT{100, 100});
    PumpMessages();
    ok_sequence(g_commands, {}, "the pen left the button before it was lifted");
}

// The navigation bar and every window made with WS_EX_LAYER_PRIVATE stay out of other processes'
// reach; the program's own windows do not. Another process is a fork of this one.
TEST(ShellPublishing, LayerWindowsAreNotPublished)
{
    HostScratch scratch;
    EnableCrossProcessWindows(true);
    HWND shown = MakeTop(u"Shown", 0, u"ShellTestPublic");
    HWND hidden = MakeTop(u"Hidden", WS_EX_LAYER_PRIVATE, u"ShellTestPrivate");
    DestroyWindow(NavigationBarWindow());
    InstallNavigationBar();
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(hidden, nullptr);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int result = 0;
        if (FindRemoteWindow(u"ShellTestPublic", u"Shown")) result |= 1;
        if (FindRemoteWindow(u"ShellTestPrivate", u"Hidden")) result |= 2;
        if (FindRemoteWindow(u"ShellNavigationBar", u"")) result |= 4;
        _exit(result);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "1: the plain window is found; 2, 4: a layer window is found";

    DestroyWindow(shown);
    DestroyWindow(hidden);
    DestroyWindow(NavigationBarWindow());
    EnableCrossProcessWindows(false);
    PumpMessages();
}
