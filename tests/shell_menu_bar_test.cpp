// The menu bar SHCreateMenuBar builds from the program's resources: where it sits, what its
// buttons and its drop-down menu send, and what the pen does around them.
#include <gtest/gtest.h>
#include <vector>
#include "platform/shell/navigation_bar.h"
#include "platform/kernel/resource_table.h"
#include "platform/shell/shell_draw.h"
#include "platform/shell/menu.h"
#include "platform/gdi/surface.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tests/shell_test_support.h"

namespace {

MessageRecorder g_parentLog({WM_COMMAND, WM_LBUTTONDOWN});

// A menu's command as its parent receives it: the item's identifier, notification 0.
SeqMessage MenuCommand(WORD id)
{
    return {WM_COMMAND, SEQ_WPARAM, MAKEWPARAM(id, 0), 0, nullptr};
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_parentLog.Record(hwnd, msg, wParam, lParam);
    return DefWindowProc(hwnd, msg, wParam, lParam);
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

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnableCrossProcessWindows(false);
        g_parentLog.Clear();
        m_instance = GetModuleHandle(nullptr);
        RegisterProgramResources(m_instance);
        WNDCLASS wc{};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = u"ShellTestMenuParent";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClass(&wc);
        m_parent = CreateWindowEx(0, u"ShellTestMenuParent", u"Parent", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, m_instance, nullptr);
        ASSERT_NE(m_parent, nullptr);
        // As the program does: the parent leaves the bar's strip to the bar (top-level windows
        // do not clip each other here).
        MoveWindow(m_parent, 0, kNavBarHeight, kScreenWidth, kScreenHeight - kNavBarHeight - kMenuBarHeight, FALSE);
        m_bar = CreateBar(m_parent);
        ASSERT_NE(m_bar, nullptr);
        PumpMessages();
    }
    void TearDown() override
    {
        DestroyWindow(m_bar);
        DestroyWindow(m_parent);
        DestroyWindow(NavigationBarWindow());
        PumpMessages();
    }

    HWND CreateBar(HWND parent, UINT id = IDR_MAINMENU, DWORD flags = 0)
    {
        SHMENUBARINFO mbi{};
        mbi.cbSize = 32;
        mbi.hwndParent = parent;
        mbi.dwFlags = flags;
        mbi.nToolBarId = id;
        mbi.hInstRes = m_instance;
        return SHCreateMenuBar(&mbi) ? mbi.hwndMB : nullptr;
    }
    RECT Button(int index)
    {
        RECT r{};
        EXPECT_TRUE(ShellMenuBarButtonRect(m_bar, index, &r));
        return r;
    }
    void TapButton(int index) { InjectTap(CentreOf(Button(index))); }
    RECT Item(int index)
    {
        RECT r{};
        EXPECT_TRUE(ShellMenuPopupItemRect(ShellMenuBarPopup(m_bar), index, &r));
        return r;
    }

    HINSTANCE m_instance = nullptr;
    HWND m_parent = nullptr;
    HWND m_bar = nullptr;
};

}  // namespace

TEST_F(MenuBarTest, SitsAtTheBottomWithItsButtonsSideBySide)
{
    RECT bar;
    ASSERT_TRUE(GetWindowRect(m_bar, &bar));
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.top, kScreenHeight - kMenuBarHeight);
    EXPECT_EQ(bar.right, kScreenWidth);
    EXPECT_EQ(bar.bottom, kScreenHeight);
    RECT exit = Button(0), help = Button(1);
    EXPECT_EQ(exit.left, 0);
    EXPECT_EQ(help.left, exit.right);
    EXPECT_GT(exit.right - exit.left, 20);  // room for a two-character label
    EXPECT_GT(help.right - help.left, exit.right - exit.left);  // three characters
    EXPECT_FALSE(ShellMenuBarButtonRect(m_bar, 2, &exit));
    EXPECT_TRUE(IsWindowVisible(m_bar));
}

TEST_F(MenuBarTest, PlainButtonPostsItsCommandAndLeavesTheParentActive)
{
    ASSERT_EQ(GetActiveWindow(), m_parent);
    TapButton(0);
    ok_sequence(g_parentLog, {}, "posted, not sent from inside the pen handling");
    PumpMessages();
    ok_sequence(g_parentLog, {MenuCommand(IDM_EXIT)}, "the exit button");
    EXPECT_EQ(GetActiveWindow(), m_parent);
    EXPECT_EQ(NavigationBarTitle(), u"Parent");
}

TEST_F(MenuBarTest, ButtonIsDrawnPressedWhileThePenIsOnIt)
{
    RECT exit = Button(0);
    POINT corner{exit.left + 2, exit.top + 2};
    PumpMessages();
    EXPECT_EQ(ScreenPixel(corner), PixelOf(kShellBarBack));
    InjectPenDown(CentreOf(exit));
    EXPECT_EQ(ScreenPixel(corner), PixelOf(kShellHighlight));
    InjectPenMove(POINT{exit.right + 40, exit.top + 5});
    EXPECT_EQ(ScreenPixel(corner), PixelOf(kShellBarBack));
    InjectPenUp(POINT{exit.right + 40, exit.top + 5});
    PumpMessages();
    ok_sequence(g_parentLog, {}, "released away from the button");
}

TEST_F(MenuBarTest, DropDownOpensAboveTheBarAndPostsTheTappedItem)
{
    struct Case {
        int item;
        WORD command;
    };
    for (Case c : {Case{0, IDM_HELP_CONTENTS}, Case{2, IDM_ABOUT}}) {
        g_parentLog.Clear();
        TapButton(1);
        HWND popup = ShellMenuBarPopup(m_bar);
        ASSERT_NE(popup, nullptr);
        RECT menu, bar;
        GetWindowRect(popup, &menu);
        GetWindowRect(m_bar, &bar);
        EXPECT_EQ(menu.bottom, bar.top) << "the menu opens above the bar";
        EXPECT_EQ(menu.left, Button(1).left);
        EXPECT_TRUE(IsWindowVisible(popup));
        EXPECT_EQ(GetActiveWindow(), m_parent);
        PumpMessages();
        ok_sequence(g_parentLog, {}, "the drop-down button sends nothing itself");

        InjectTap(CentreOf(Item(c.item)));
        EXPECT_EQ(ShellMenuBarPopup(m_bar), nullptr);
        EXPECT_FALSE(IsWindow(popup));
        PumpMessages();
        ok_sequence(g_parentLog, {MenuCommand(c.command)}, "item " + std::to_string(c.item));
    }
}

TEST_F(MenuBarTest, SeparatorTapKeepsTheMenuOpenAndSendsNothing)
{
    TapButton(1);
    InjectTap(CentreOf(Item(1)));
    PumpMessages();
    EXPECT_NE(ShellMenuBarPopup(m_bar), nullptr);
    ok_sequence(g_parentLog, {}, "a separator");
}

TEST_F(MenuBarTest, TapElsewhereOnlyClosesTheMenu)
{
    const POINT elsewhere[] = {{120, 100}, CentreOf(Button(0)), CentreOf(Button(1)), {5, 5}};
    for (POINT p : elsewhere) {
        g_parentLog.Clear();
        TapButton(1);
        ASSERT_NE(ShellMenuBarPopup(m_bar), nullptr);
        InjectTap(p);
        PumpMessages();
        EXPECT_EQ(ShellMenuBarPopup(m_bar), nullptr) << p.x << "," << p.y;
        ok_sequence(g_parentLog, {}, "a tap at " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    InjectTap(POINT{120, 100});
    ok_sequence(g_parentLog, {{WM_LBUTTONDOWN}}, "with the menu closed, the parent gets the pen again");
}

TEST_F(MenuBarTest, BarIgnoresThePenWhileItsParentIsDisabled)
{
    EnableWindow(m_parent, FALSE);
    TapButton(0);
    TapButton(1);
    PumpMessages();
    ok_sequence(g_parentLog, {}, "taps on the bar of a disabled parent");
    EXPECT_EQ(ShellMenuBarPopup(m_bar), nullptr);
    EnableWindow(m_parent, TRUE);
}

TEST_F(MenuBarTest, DestroyingTheBarClosesItsMenu)
{
    TapButton(1);
    HWND popup = ShellMenuBarPopup(m_bar);
    ASSERT_NE(popup, nullptr);
    DestroyWindow(m_bar);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetCapture(), nullptr);
    InjectTap(POINT{120, 100});
    ok_sequence(g_parentLog, {{WM_LBUTTONDOWN}}, "the pen is free again");
}

TEST_F(MenuBarTest, MissingOrMalformedResourcesMakeNoBar)
{
    static const WORD kTruncated[] = {IDR_MAINMENU, 2, 0xFFFE, IDM_EXIT};
    static const WORD kNoMenu[] = {777, 0};
    HINSTANCE other = reinterpret_cast<HINSTANCE>(std::uintptr_t(0x7E0000));
    const ResourceEntry entries[] = {
        {RT_RCDATA, 50, kTruncated, sizeof kTruncated},
        {RT_RCDATA, 51, kNoMenu, sizeof kNoMenu},
    };
    RegisterResources(other, entries, 2);
    SHMENUBARINFO mbi{};
    mbi.hwndParent = m_parent;
    mbi.hInstRes = other;
    for (UINT id : {50u, 51u, 52u}) {
        mbi.nToolBarId = id;
        mbi.hwndMB = nullptr;
        EXPECT_FALSE(SHCreateMenuBar(&mbi)) << "resource " << id;
        EXPECT_EQ(mbi.hwndMB, nullptr);
    }
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
    mbi.nToolBarId = IDR_MAINMENU;
    mbi.hInstRes = m_instance;
    mbi.hwndParent = reinterpret_cast<HWND>(std::uintptr_t(0x4444));
    EXPECT_FALSE(SHCreateMenuBar(&mbi));

    HWND empty = CreateBar(m_parent, 0, SHCMBF_EMPTYBAR);
    ASSERT_NE(empty, nullptr);
    RECT r;
    EXPECT_FALSE(ShellMenuBarButtonRect(empty, 0, &r));
    DestroyWindow(empty);
}
