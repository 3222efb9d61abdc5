// The navigation bar: a layer window across the top of the device screen, repainted when the
// active window or its title changes. It never becomes active itself and is never published.
// Knowingly lacks: the Start menu, the clock and the input panel button of a real handheld.
#include "platform/extras.h"
#include "platform/user/rect.h"
#include "platform/shell/navigation_bar.h"
#include <algorithm>
#include <vector>
#include "platform/shell/shell_draw.h"
#include "platform/shell/shell_windows.h"

namespace {

const WCHAR kNavBarClass[] = u"ShellNavigationBar";
constexpr int kTitleLeft = 6;
constexpr int kOkWidth = 30;
constexpr int kOkMargin = 3;

HWND g_navBar = nullptr;
std::vector<HWND> g_doneWindows;  // windows that asked for the "ok" button
std::u16string g_shownTitle;
bool g_okTracking = false;
bool g_okPressed = false;

RECT OkRectInBar()
{
    return RECT{kScreenWidth - kOkMargin - kOkWidth, kOkMargin, kScreenWidth - kOkMargin, kNavBarHeight - kOkMargin};
}

bool ShowsOk(HWND active)
{
    if (!IsWindow(active)) return false;
    if (static_cast<DWORD>(GetWindowLong(active, GWL_EXSTYLE)) & WS_EX_CAPTIONOKBTN) return true;
    return std::find(g_doneWindows.begin(), g_doneWindows.end(), active) != g_doneWindows.end();
}

void ForgetDeadWindows()
{
    std::erase_if(g_doneWindows, [](HWND hwnd) { return !IsWindow(hwnd); });
}

// Painted at once rather than when the queue runs dry: the bar is current whatever the
// program does next (a screenshot, a modal loop).
void Refresh()
{
    if (!IsWindow(g_navBar)) return;
    InvalidateRect(g_navBar, nullptr, FALSE);
    UpdateWindow(g_navBar);
}

// The program's own top-level windows, as opposed to the layer's bars, menus and boxes.
BOOL CALLBACK StopAtProgramWindow(HWND hwnd, LPARAM found)
{
    if (!IsProgramWindow(hwnd)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

bool ProgramWindowsRemain()
{
    bool found = false;
    EnumWindows(StopAtProgramWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CreateBar();

// The bar lives as long as the program's windows: it goes with the last of them and comes back
// with the next one to be activated.
void OnActiveChanged(HWND active)
{
    ForgetDeadWindows();
    g_okTracking = false;
    g_okPressed = false;
    if (!active && !ProgramWindowsRemain()) {
        if (IsWindow(g_navBar)) DestroyWindow(g_navBar);
        g_shownTitle.clear();
        return;
    }
    if (active && !IsWindow(g_navBar)) CreateBar();
    Refresh();
}

void OnTitleChanged(HWND hwnd)
{
    if (hwnd == GetActiveWindow()) Refresh();
}

// Read from the window table: painting the bar sends the program's windows nothing.
std::u16string ActiveTitle()
{
    HWND active = GetActiveWindow();
    std::u16string title(static_cast<std::size_t>(GetWindowTextLength(active)) + 1, u'\0');
    title.resize(static_cast<std::size_t>(GetWindowText(active, title.data(), static_cast<int>(title.size()))));
    return title;
}

void PaintOk(HDC hdc, bool pressed)
{
    RECT ok = OkRectInBar();
    FillShellRect(hdc, ok, pressed ? kShellTitleText : kShellTitleBack);
    FrameShellRect(hdc, ok, kShellTitleText);
    DrawShellText(hdc, u"ok", ok, pressed ? kShellTitleBack : kShellTitleText, DT_CENTER | DT_VCENTER);
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc) {
        bool ok = ShowsOk(GetActiveWindow());
        g_shownTitle = ActiveTitle();
        FillShellRect(hdc, RECT{0, 0, kScreenWidth, kNavBarHeight}, kShellTitleBack);
        ShellFontScope font(hdc, true);
        RECT title{kTitleLeft, 0, ok ? OkRectInBar().left - 4 : kScreenWidth - kTitleLeft, kNavBarHeight};
        DrawShellText(hdc, g_shownTitle.c_str(), title, kShellTitleText, DT_LEFT | DT_VCENTER);
        if (ok) PaintOk(hdc, g_okPressed);
    }
    EndPaint(hwnd, &ps);
}

bool InOk(LPARAM lParam)
{
    return RectContains(OkRectInBar(), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
}

void SetOkPressed(bool pressed)
{
    if (g_okPressed == pressed) return;
    g_okPressed = pressed;
    InvalidateRect(g_navBar, nullptr, FALSE);
    UpdateWindow(g_navBar);
}

void OnPenDown(HWND hwnd, LPARAM lParam)
{
    if (!ShowsOk(GetActiveWindow()) || !InOk(lParam)) return;
    SetCapture(hwnd);
    g_okTracking = true;
    SetOkPressed(true);
}

void OnPenUp(LPARAM lParam)
{
    if (!g_okTracking) return;
    g_okTracking = false;
    bool clicked = g_okPressed && InOk(lParam);
    SetOkPressed(false);
    ReleaseCapture();
    // Posted, so the dialog ends from its own loop and not inside this bar's pen handling.
    if (clicked) PostMessage(GetActiveWindow(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

LRESULT CALLBACK NavigationBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:         OnPaint(hwnd); return 0;
    case WM_ERASEBKGND:    return 1;  // the bar paints every pixel itself
    case WM_LBUTTONDOWN:   OnPenDown(hwnd, lParam); return 0;
    case WM_MOUSEMOVE:     if (g_okTracking) SetOkPressed(InOk(lParam)); return 0;
    case WM_LBUTTONUP:     OnPenUp(lParam); return 0;
    case WM_CAPTURECHANGED:
        g_okTracking = false;
        SetOkPressed(false);
        return 0;
    case WM_DESTROY:
        if (hwnd == g_navBar) g_navBar = nullptr;
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

void CreateBar()
{
    WNDCLASS wc{};
    wc.lpfnWndProc = NavigationBarProc;
    wc.lpszClassName = kNavBarClass;
    RegisterClass(&wc);  // fails harmlessly when registered already
    g_navBar = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_LAYER_PRIVATE, kNavBarClass, u"", WS_POPUP, 0, 0,
                              kScreenWidth, kNavBarHeight, nullptr, nullptr, nullptr, nullptr);
    if (!g_navBar) return;
    ShowWindow(g_navBar, SW_SHOWNOACTIVATE);
    Refresh();
}

}  // namespace

void InstallNavigationBar()
{
    SetActiveWindowObserver(OnActiveChanged);
    SetWindowTitleObserver(OnTitleChanged);
    if (!IsWindow(g_navBar)) CreateBar();
}

HWND NavigationBarWindow()
{
    return IsWindow(g_navBar) ? g_navBar : nullptr;
}

void SetNavigationBarDoneButton(HWND window, bool shown)
{
    ForgetDeadWindows();
    std::erase(g_doneWindows, window);
    if (shown && IsWindow(window)) g_doneWindows.push_back(window);
    Refresh();
}

bool NavigationBarOkRect(RECT* rect)
{
    if (!rect || !NavigationBarWindow() || !ShowsOk(GetActiveWindow())) return false;
    *rect = OkRectInBar();  // the bar sits at the screen's origin
    return true;
}

std::u16string NavigationBarTitle()
{
    return g_shownTitle;
}
