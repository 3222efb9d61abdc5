// The Windows driver's core: the program's name, its top-level windows (sized as the handheld's
// work area, never shown headless, private to the process unless published), the thread message
// hook, and the calls of extras.h that the real API answers by itself.
#define DEVICE_API_NO_REDIRECT
#include "platform/drivers/windows/windows_driver.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>
#include "platform/drivers/windows/device_api.h"
#include "platform/extras.h"
#include "platform/user/key_taps.h"

namespace {

std::string g_programName = "program";
bool g_desktopShown = false;      // OpenDesktopWindow: windows show on the desktop
bool g_crossProcess = false;      // other processes may find our windows, and we theirs
int g_screenScale = 1;
void (*g_threadHook)(const MSG&) = nullptr;
std::vector<HWND> g_topLevels;    // the program's own, oldest first

bool IsProgramTopLevel(HWND hwnd)
{
    return std::find(g_topLevels.begin(), g_topLevels.end(), hwnd) != g_topLevels.end();
}

void ForgetDeadWindows()
{
    g_topLevels.erase(std::remove_if(g_topLevels.begin(), g_topLevels.end(), [](HWND h) { return !IsWindow(h); }),
                      g_topLevels.end());
}

bool IsKeyMessage(UINT msg)
{
    return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR;
}

}  // namespace

// ---- extras.h: what the real API answers by itself ------------------------------------------------

void SetProgramName(const char* name)
{
    g_programName = name ? name : "program";
    // Called first thing: the standard streams carry the program's bytes as they are, lines
    // ending in LF as on Linux, so that scripts read the same output from both builds.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

const char* ProgramName()
{
    return g_programName.c_str();
}

void RegisterResources(HINSTANCE, const ResourceEntry*, std::size_t)
{
    // The program's resources are the executable's own, compiled from its resource script.
}

bool SetScreenScale(int scale)
{
    if (scale < 1 || scale > kMaxScreenScale) return false;
    g_screenScale = scale;
    return true;
}

int ScreenScale()
{
    return g_screenScale;
}

bool OpenDesktopWindow(int)
{
    // The desktop is always there; its own display scaling sizes the window (see the manifest).
    g_desktopShown = true;
    return true;
}

void CloseDesktopWindow()
{
    g_desktopShown = false;
}

void SetThreadMessageHook(void (*hook)(const MSG& msg))
{
    g_threadHook = hook;
}

void EnableCrossProcessWindows(bool enable)
{
    g_crossProcess = enable;
}

void UseOffScreenWindow()
{
    // Nothing to mark: an off-screen run's windows are never shown, and a desktop run takes only
    // a shown window for its running copy (DeviceFindWindow).
}

int EndingSignal()
{
    return 0;  // Windows ends a program with messages (WM_CLOSE, WM_ENDSESSION), not signals
}

// ---- The driver's own ----------------------------------------------------------------------------

bool DesktopShown()
{
    return g_desktopShown;
}

std::vector<HWND> ProgramTopLevelWindows()
{
    ForgetDeadWindows();
    return g_topLevels;
}

SIZE WorkAreaWindowSize(DWORD style, DWORD exStyle)
{
    RECT r{0, 0, kScreenWidth, kScreenHeight - kNavBarHeight};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// ---- Redirected calls ----------------------------------------------------------------------------

HWND WINAPI DeviceCreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                                 int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    bool topLevel = !(style & WS_CHILD) && !parent;
    if (topLevel && !(style & WS_POPUP)) {
        // The title bar stands for the handheld's navigation bar, with its close button.
        style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        if (width == static_cast<int>(CW_USEDEFAULT)) {
            SIZE size = WorkAreaWindowSize(style, exStyle);
            width = size.cx;
            height = size.cy;
        }
    }
    if (topLevel && !g_desktopShown) {
        style &= ~WS_VISIBLE;
        // Private: no other process can find a scripted run's window.
        if (!g_crossProcess) parent = HWND_MESSAGE;
        if (x == static_cast<int>(CW_USEDEFAULT)) x = y = 0;
    }
    HWND hwnd = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu, instance, param);
    if (hwnd && topLevel) g_topLevels.push_back(hwnd);
    return hwnd;
}

BOOL WINAPI DeviceShowWindow(HWND hwnd, int command)
{
    if (!g_desktopShown && IsProgramTopLevel(hwnd)) return FALSE;  // was hidden, stays hidden
    return ShowWindow(hwnd, command);
}

// A desktop run's running copy is a shown window: an off-screen (headless) run is never taken
// for it. Runs without the desktop (a tool sending commands, other off-screen runs) find either.
struct ShownWindowSearch {
    LPCWSTR className;
    LPCWSTR title;
    HWND found;
};

BOOL CALLBACK MatchShownWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<ShownWindowSearch*>(param);
    WCHAR cls[256], title[256];
    if (!IsWindowVisible(hwnd) || !GetClassNameW(hwnd, cls, 256) || lstrcmpiW(cls, search->className) != 0) return TRUE;
    GetWindowTextW(hwnd, title, 256);
    if (search->title && lstrcmpW(title, search->title) != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND WINAPI DeviceFindWindow(LPCWSTR className, LPCWSTR title)
{
    if (!g_crossProcess) return nullptr;
    if (!g_desktopShown || !className) return FindWindowW(className, title);
    ShownWindowSearch search{className, title, nullptr};
    EnumWindows(MatchShownWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL WINAPI DeviceSetForegroundWindow(HWND hwnd)
{
    // Bit 0 of the handle asks for the window's owned windows too: its last active pop-up.
    auto value = reinterpret_cast<UINT_PTR>(hwnd);
    HWND window = reinterpret_cast<HWND>(value & ~static_cast<UINT_PTR>(1));
    if (!IsWindow(window)) return FALSE;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    if (value & 1) window = GetLastActivePopup(window);
    return SetForegroundWindow(window);
}

BOOL WINAPI DeviceGetMessage(LPMSG msg, HWND hwnd, UINT first, UINT last)
{
    BOOL result = GetMessageW(msg, hwnd, first, last);
    if (result > 0 && msg->hwnd && IsKeyMessage(msg->message)) {
        // Keys are the top-level window's, as on the handheld, whichever key a click gave the
        // focus: its shortcuts and key taps then work after a click as before it.
        HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        if (root && HasKeyTaps(root)) msg->hwnd = root;
    }
    return result;
}

LRESULT WINAPI DeviceDispatchMessage(const MSG* msg)
{
    if (msg && !msg->hwnd) {
        if (g_threadHook) g_threadHook(*msg);
        return 0;
    }
    return DispatchMessageW(msg);
}

HFONT WINAPI DeviceCreateFontIndirect(const LOGFONTW* font)
{
    if (!font || font->lfFaceName[0]) return CreateFontIndirectW(font);
    // No face named: the device's Gothic face, which Japanese Windows has as MS UI Gothic.
    LOGFONTW gothic = *font;
    lstrcpynW(gothic.lfFaceName, L"MS UI Gothic", LF_FACESIZE);
    return CreateFontIndirectW(&gothic);
}
