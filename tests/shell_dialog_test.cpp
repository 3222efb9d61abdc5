// SHInitDialog: where it puts a dialog for each sizing flag, the navigation bar's "ok" for
// SHIDIF_DONEBUTTON, and what it does with bad arguments.
#include <gtest/gtest.h>
#include <vector>
#include "platform/shell/navigation_bar.h"
#include "platform/kernel/resource_table.h"
#include "platform/gdi/surface.h"
#include "tests/shell_test_support.h"

namespace {

INT_PTR CALLBACK QuietDlgProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

// A small top-level dialog at (10, 10) dialog units from the screen's work area.
HWND MakeDialog()
{
    static const DialogItemDesc items[] = {
        {IDOK, u"BUTTON", u"OK", 4, 4, 30, 12, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0},
    };
    static const DialogDesc d = {WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 10, 10, 80, 40, u"Small", 9, u"System", items, 1};
    static const std::vector<WORD> tmpl = BuildDialogTemplate(d);
    return CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(tmpl.data()), nullptr, QuietDlgProc, 0);
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class ShellDialogTest : public ::testing::Test {
protected:
    void SetUp() override { EnableCrossProcessWindows(false); }
    void TearDown() override
    {
        DestroyWindow(NavigationBarWindow());
        PumpMessages();
    }
};

}  // namespace

TEST_F(ShellDialogTest, SizingFlagsPlaceTheDialog)
{
    struct Case {
        const char* name;
        DWORD flags;
        bool moved;
        RECT expected;
    };
    const Case cases[] = {
        {"full screen: the work area and the menu bar's strip", SHIDIF_SIZEDLGFULLSCREEN, true,
         {0, kNavBarHeight, kScreenWidth, kScreenHeight}},
        {"sized: the work area above the menu bar", SHIDIF_SIZEDLG, true,
         {0, kNavBarHeight, kScreenWidth, kScreenHeight - kMenuBarHeight}},
        {"full screen wins over sized", SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN, true,
         {0, kNavBarHeight, kScreenWidth, kScreenHeight}},
        {"done button only", SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN, false, {}},
    };
    for (const Case& c : cases) {
        HWND dialog = MakeDialog();
        ASSERT_NE(dialog, nullptr);
        RECT before, after;
        GetWindowRect(dialog, &before);
        SHINITDLGINFO info{SHIDIM_FLAGS, dialog, c.flags};
        EXPECT_TRUE(SHInitDialog(&info)) << c.name;
        GetWindowRect(dialog, &after);
        EXPECT_TRUE(SameRect(after, c.moved ? c.expected : before))
            << c.name << ": " << after.left << "," << after.top << "," << after.right << "," << after.bottom;
        DestroyWindow(dialog);
    }
}

TEST_F(ShellDialogTest, BadArgumentsChangeNothing)
{
    EXPECT_FALSE(SHInitDialog(nullptr));
    SHINITDLGINFO bogus{SHIDIM_FLAGS, reinterpret_cast<HWND>(std::uintptr_t(0x5550)), SHIDIF_SIZEDLGFULLSCREEN};
    EXPECT_FALSE(SHInitDialog(&bogus));

    HWND dialog = MakeDialog();
    RECT before, after;
    GetWindowRect(dialog, &before);
    SHINITDLGINFO noMask{0, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_DONEBUTTON};
    EXPECT_TRUE(SHInitDialog(&noMask)) << "nothing asked, nothing to fail";
    GetWindowRect(dialog, &after);
    EXPECT_TRUE(SameRect(before, after));
    ShowWindow(dialog, SW_SHOW);
    RECT ok;
    EXPECT_FALSE(NavigationBarOkRect(&ok));
    DestroyWindow(dialog);

    SHACTIVATEINFO sai{};
    EXPECT_TRUE(SHHandleWMSettingChange(nullptr, 0, 0, &sai));
    EXPECT_TRUE(SHHandleWMSettingChange(nullptr, 0, 0, nullptr));
}
