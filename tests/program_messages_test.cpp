// Message sequences of the running program that both builds must show alike: the Linux build on
// the platform's own windows, the Windows build on the real user32 (under Wine in the tests).
// Only the public API and the program's own entry points are used, so this file compiles for
// both; each case runs the program through AppMain and does its work inside the program's loop.
// Where the two differ, both sequences are written down, with the reason.
#include <gtest/gtest.h>
#include <cstring>
#include "app/app.h"
#include "engine/calc_state.h"
#include "platform/extras.h"
#include "platform/windows.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tests/message_sequence.h"

namespace {

using Step = void (*)(HWND face);
Step g_step = nullptr;
bool g_stepDone = false;

void RunStep(const MSG& msg)
{
    // Only the test's own message starts the step, and only once (dialogs post null messages too).
    if (msg.message != WM_APP || g_stepDone) return;
    g_stepDone = true;
    g_step(g_hwndCalc);
    SendMessage(GetParent(g_hwndCalc), WM_CLOSE, 0, 0);
}

int RunProgramWith(Step step)
{
    g_step = step;
    g_stepDone = false;
    EnableCrossProcessWindows(false);
    std::memset(&g_calc, 0, sizeof g_calc);
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    SetThreadMessageHook(RunStep);
    PostMessage(nullptr, WM_APP, 0, 0);
    WCHAR commandLine[] = TEXT("");
    int status = AppMain(instance, nullptr, commandLine, SW_SHOW);
    SetThreadMessageHook(nullptr);
    EXPECT_TRUE(g_stepDone) << "the program's loop never ran the step";
    return status;
}

void TapKey(HWND face, int id)
{
    RECT r;
    ASSERT_TRUE(GetWindowRect(GetDlgItem(face, id), &r));
    InjectTap(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

}  // namespace

TEST(ProgramMessages, TapOnAKeyDrawsItPressedThenUpThenClicks)
{
    EXPECT_EQ(RunProgramWith([](HWND face) {
        MessageRecorder heard(face, {WM_DRAWITEM, WM_COMMAND});
        TapKey(face, IDC_DIGIT_0 + 5);
        const int five = IDC_DIGIT_0 + 5;
        // After the click, the engine's repaint draws whatever keys are shown.
#if defined(_WIN32)
        // A real button takes the keyboard focus when clicked: the first key draws without its
        // focus, the tapped one with it (ODS_FOCUS), and keeps it while pressed and released.
        ok_sequence(heard, {DrawItemMessage(IDC_DIGIT_0, 0), DrawItemMessage(five, ODS_FOCUS),
                            DrawItemMessage(five, ODS_SELECTED | ODS_FOCUS), DrawItemMessage(five, ODS_FOCUS),
                            ClickMessage(five), {0, SEQ_ANY}},
                    "a tap on 5");
#else
        // The platform's buttons leave the focus where it is.
        ok_sequence(heard, {DrawItemMessage(five, ODS_SELECTED), DrawItemMessage(five, 0), ClickMessage(five),
                            {0, SEQ_ANY}},
                    "a tap on 5");
#endif
        EXPECT_EQ(g_calc.entryFlags, 1u) << "the click reached the engine";
    }), 0);
}

TEST(ProgramMessages, TapOnABaseKeyClicksItAndShowsTheOtherBaseKeys)
{
    EXPECT_EQ(RunProgramWith([](HWND face) {
        MessageRecorder heard(face, {WM_COMMAND});
        TapKey(face, IDC_BASE_HEX);
        ok_sequence(heard, {ClickMessage(IDC_BASE_HEX)}, "a tap on the HEX key");
        EXPECT_EQ(SendDlgItemMessage(face, IDC_BASE_HEX, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendDlgItemMessage(face, IDC_BASE_DEC, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_FALSE(GetWindowLong(GetDlgItem(face, IDC_BASE_HEX), GWL_STYLE) & WS_VISIBLE)
            << "the current base's key hides";
    }), 0);
}
