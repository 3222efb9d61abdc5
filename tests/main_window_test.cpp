// The program's start-up and main-window commands on the device screen, run through AppMain:
// the screen's layout, Exit and Ctrl+Q, the About box and its navigation-bar ok, Uninstall's
// message box, and a tap on a face key.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include "app/app.h"
#include "app/device_setup.h"
#include "engine/calc_state.h"
#include "platform/shell/navigation_bar.h"
#include "platform/shell/menu.h"
#include "platform/gdi/surface.h"
#include "platform/user/window_internal.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tests/face_fixture.h"
#include "tests/host_scratch.h"
#include "tests/shell_test_support.h"

namespace {

const WCHAR kTitle[] = u"Quorix V3.12";
const WCHAR kAboutTitle[] = u"Quorix のバージョン情報";

HWND MainWindow()
{
    return FindWindow(u"MYQUORIX", kTitle);
}

int RunProgram()
{
    EnableCrossProcessWindows(false);
    std::memset(&g_calc, 0, sizeof g_calc);
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    WCHAR commandLine[] = u"";
    return AppMain(instance, nullptr, commandLine, SW_SHOW);
}

void Tap(const RECT& r)
{
    InjectTap(CentreOf(r));
}

RECT MenuButton(int index)
{
    RECT r{};
    EXPECT_TRUE(ShellMenuBarButtonRect(g_hwndMenuBar, index, &r));
    return r;
}

void TapNavigationOk()
{
    RECT ok{};
    ASSERT_TRUE(NavigationBarOkRect(&ok));
    Tap(ok);
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<std::uint32_t> ScreenPixels(const RECT& r)
{
    const Surface& s = ScreenSurface();
    std::vector<std::uint32_t> out;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) out.push_back(s.pixels[static_cast<std::size_t>(y) * s.stride + x]);
    }
    return out;
}

class MainWindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetModifierState(false, false, false);
        DestroyWindow(NavigationBarWindow());
        PumpMessages();
    }
};

}  // namespace

TEST_F(MainWindowTest, StartUpLaysOutTheDeviceScreen)
{
    HWND face = CreateTestFace();
    ASSERT_NE(face, nullptr);
    HWND main = GetParent(face);
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_TRUE(SameRect(r, RECT{0, kNavBarHeight, kScreenWidth, kScreenHeight - kMenuBarHeight}))
        << "the default size less the menu bar's 26 pixels: " << r.top << ".." << r.bottom;
    ASSERT_NE(g_hwndMenuBar, nullptr);
    GetWindowRect(g_hwndMenuBar, &r);
    EXPECT_TRUE(SameRect(r, RECT{0, kScreenHeight - kMenuBarHeight, kScreenWidth, kScreenHeight}));
    GetWindowRect(NavigationBarWindow(), &r);
    EXPECT_TRUE(SameRect(r, RECT{0, 0, kScreenWidth, kNavBarHeight}));
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(NavigationBarTitle(), kTitle);
    DestroyTestFace();
    EXPECT_FALSE(IsWindow(g_hwndMenuBar)) << "the main window's end takes its menu bar along";
    EXPECT_EQ(NavigationBarWindow(), nullptr) << "and, as the program's last window, the navigation bar";
}

TEST_F(MainWindowTest, CtrlQDeactivatesThenClosesAndTheRunEndsWithZero)
{
    std::unique_ptr<MessageRecorder> recorder;
    HWND main = nullptr;
    ModalScript script({[&] {
        main = MainWindow();
        recorder = std::make_unique<MessageRecorder>(main, std::vector<UINT>{WM_COMMAND, WM_ACTIVATE, WM_CLOSE, WM_DESTROY});
        SetModifierState(true, false, false);
        PostMessage(GetActiveWindow(), WM_KEYDOWN, 'Q', 1);  // as the desktop window posts keys
    }});
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_FALSE(script.TimedOut());
    ASSERT_TRUE(recorder);
    ok_sequence(*recorder,
                {
                    {WM_COMMAND, SEQ_WPARAM | SEQ_LPARAM, MAKEWPARAM(IDOK, 1), 0},  // from the accelerator table
                    {WM_ACTIVATE, SEQ_WPARAM | SEQ_LPARAM, WA_INACTIVE, reinterpret_cast<LPARAM>(main)},
                    {WM_CLOSE, SEQ_WPARAM | SEQ_LPARAM, 0, 0},
                    {0, SEQ_ANY},
                    {WM_DESTROY},
                },
                "Ctrl+Q");
    EXPECT_FALSE(IsWindow(main));
}

TEST_F(MainWindowTest, ExitButtonEndsTheRunWithZero)
{
    std::unique_ptr<MessageRecorder> recorder;
    ModalScript script({[&] {
        recorder = std::make_unique<MessageRecorder>(MainWindow(), std::vector<UINT>{WM_COMMAND, WM_CLOSE});
        Tap(MenuButton(0));
    }});
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_FALSE(script.TimedOut());
    ASSERT_TRUE(recorder);
    ok_sequence(*recorder, {{WM_COMMAND, SEQ_WPARAM, IDM_EXIT}, {WM_CLOSE}}, "the exit button");
}

TEST_F(MainWindowTest, AboutBoxFillsTheScreenAndClosesOnlyWithIdOk)
{
    HWND face = CreateTestFace();
    ASSERT_NE(face, nullptr);
    HWND main = GetParent(face);
    ModalScript script({[&] {
        HWND about = FindWindow(nullptr, kAboutTitle);
        ASSERT_NE(about, nullptr);
        RECT r;
        GetWindowRect(about, &r);
        EXPECT_TRUE(SameRect(r, RECT{0, kNavBarHeight, kScreenWidth, kScreenHeight}))
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        EXPECT_EQ(NavigationBarTitle(), kAboutTitle);
        EXPECT_FALSE(IsWindowEnabled(main));
        PostMessage(about, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PostMessage(about, WM_CLOSE, 0, 0);  // becomes IDCANCEL too
    },
                        [&] {
                            HWND about = FindWindow(nullptr, kAboutTitle);
                            ASSERT_NE(about, nullptr) << "IDCANCEL closed the About box";
                            EXPECT_TRUE(IsWindowVisible(about));
                            TapNavigationOk();
                        }});
    HRSRC res = FindResource(g_hInst, MAKEINTRESOURCE(IDD_ABOUTBOX), RT_DIALOG);
    auto* tmpl = static_cast<LPCDLGTEMPLATE>(LockResource(LoadResource(g_hInst, res)));
    INT_PTR result = DialogBoxIndirectParam(g_hInst, tmpl, main, AboutDlgProc, 0);
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(result, 1);
    EXPECT_EQ(FindWindow(nullptr, kAboutTitle), nullptr);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(NavigationBarTitle(), kTitle);
    RECT ok;
    EXPECT_FALSE(NavigationBarOkRect(&ok)) << "the main window has no ok";
    DestroyTestFace();
}

TEST_F(MainWindowTest, UninstallShowsItsMessageBoxWhileItsKeyCanBeOpened)
{
    HostScratch scratch;
    ASSERT_TRUE(InstallDeviceFiles());
    enum Stage { kInstalled, kSubkeyGone, kKeyGone };
    for (Stage stage : {kInstalled, kSubkeyGone, kKeyGone}) {
        if (stage == kKeyGone) {
            HKEY software;
            ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Larkwell", 0, KEY_ALL_ACCESS, &software), ERROR_SUCCESS);
            ASSERT_EQ(RegDeleteKey(software, u"Gearset1"), ERROR_SUCCESS);
            RegCloseKey(software);
        }
        bool boxSeen = false;
        ModalScript script({[] { PostMessage(MainWindow(), WM_COMMAND, IDM_UNINSTALL, 0); },
                            [&] {
                                // Inside the box's own loop when there is a box: tests see it and tap OK.
                                HWND box = FindWindow(nullptr, u"アンインストール");
                                boxSeen = box != nullptr;
                                if (box) {
                                    EXPECT_EQ(NavigationBarTitle(), u"アンインストール");
                                    RECT ok;
                                    GetWindowRect(GetDlgItem(box, IDOK), &ok);
                                    Tap(ok);
                                }
                            },
                            [] {
                                EXPECT_EQ(FindWindow(nullptr, u"アンインストール"), nullptr);
                                PostMessage(MainWindow(), WM_CLOSE, 0, 0);
                            }});
        EXPECT_EQ(RunProgram(), 0);
        EXPECT_TRUE(script.Finished());
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(boxSeen, stage != kKeyGone) << "stage " << stage;
    }
}

TEST_F(MainWindowTest, FaceKeyShowsItsPressedBitmapWhileThePenIsDown)
{
    HWND face = CreateTestFace();
    ASSERT_NE(face, nullptr);
    UpdateWindow(GetParent(face));
    RECT key;
    ASSERT_TRUE(GetWindowRect(GetDlgItem(face, IDC_DIGIT_0 + 5), &key));
    const std::vector<std::uint32_t> normal = ScreenPixels(key);
    MessageRecorder recorder(face, {WM_COMMAND});

    InjectPenDown(CentreOf(key));
    EXPECT_NE(ScreenPixels(key), normal) << "the pressed bitmap is drawn while the pen is down";
    InjectPenMove(POINT{key.right + 30, key.bottom + 30});
    EXPECT_EQ(ScreenPixels(key), normal) << "the pen left the key";
    InjectPenUp(POINT{key.right + 30, key.bottom + 30});
    ok_sequence(recorder, {}, "released away from the key");
    EXPECT_EQ(std::u16string(g_calc.displayText), u"0.");

    InjectPenDown(CentreOf(key));
    EXPECT_NE(ScreenPixels(key), normal);
    InjectPenUp(CentreOf(key));
    EXPECT_EQ(ScreenPixels(key), normal);
    ok_sequence(recorder, {ClickMessage(IDC_DIGIT_0 + 5)}, "released on the key");
    EXPECT_EQ(std::u16string(g_calc.displayText), u"5");
    DestroyTestFace();
}
