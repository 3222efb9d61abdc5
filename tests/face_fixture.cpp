#include "tests/face_fixture.h"
#include <cstring>
#include <sstream>
#include <string>
#include "app/app.h"
#include "app/driver_tokens.h"
#include "engine/calc_state.h"
#include "platform/user/input.h"
#include "resources/program_resources.h"

HWND CreateTestFace()
{
    EnableCrossProcessWindows(false);
    std::memset(&g_calc, 0, sizeof g_calc);
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    if (!InitMainWindow(instance, SW_SHOW)) return nullptr;
    return g_hwndCalc;
}

void DestroyTestFace()
{
    HWND main = GetParent(g_hwndCalc);
    if (main) DestroyWindow(main);
    // Dispatch what is left: a window that still needs painting keeps offering WM_PAINT.
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) DispatchMessage(&msg);
    }
    g_hwndCalc = nullptr;
}

BOOL SendFaceCommand(HWND face, int id, int code)
{
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(face, DWL_DLGPROC));
    if (!proc) return FALSE;
    return static_cast<BOOL>(proc(face, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(face, id))));
}

BOOL PressKey(HWND face, int id)
{
    return SendFaceCommand(face, id, BN_CLICKED);
}

void PressKeys(HWND face, const char* tokens)
{
    std::istringstream in(tokens);
    std::string token;
    while (in >> token) PressKey(face, KeyTokenToId(token));
}
