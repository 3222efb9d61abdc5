#include "tests/face_fixture.h"
#include <cstring>
#include <sstream>
#include <string>
#include "app/app.h"
#include "app/driver_tokens.h"
#include "engine/calc_state.h"
#include "platform/input.h"
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
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    g_hwndCalc = nullptr;
}

BOOL PressKey(HWND face, int id)
{
    return static_cast<BOOL>(SendMessage(face, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                         reinterpret_cast<LPARAM>(GetDlgItem(face, id))));
}

void PressKeys(HWND face, const char* tokens)
{
    std::istringstream in(tokens);
    std::string token;
    while (in >> token) PressKey(face, KeyTokenToId(token));
}
