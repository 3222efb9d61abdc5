// Running the program itself inside a test: AppMain with the program's resources, a step run
// from inside its message loop once the face is up, then the window closed.
#pragma once
#include <gtest/gtest.h>
#include <cstring>
#include "app/app.h"
#include "engine/calc_state.h"
#include "platform/extras.h"
#include "platform/windows.h"
#include "resources/program_resources.h"

using Step = void (*)(HWND face);
inline Step g_step = nullptr;
inline bool g_stepDone = false;

inline void RunStep(const MSG& msg)
{
    // Only the test's own message starts the step, and only once (dialogs post null messages too).
    if (msg.message != WM_APP || g_stepDone) return;
    g_stepDone = true;
    g_step(g_hwndCalc);
    SendMessage(GetParent(g_hwndCalc), WM_CLOSE, 0, 0);
}

inline int RunProgramWith(Step step)
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

inline void TapKey(HWND face, int id)
{
    RECT r;
    ASSERT_TRUE(GetWindowRect(GetDlgItem(face, id), &r));
    InjectTap(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

