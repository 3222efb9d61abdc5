// Focus, activation, capture and finding windows by class and title (here and in other processes).
#include "platform/drivers/backend.h"
#include "platform/user/input.h"
#include "platform/user/window_internal.h"
#include "platform/user/window_observer.h"
#include "platform/user/remote_windows.h"

namespace {
HWND g_focus = nullptr;
HWND g_active = nullptr;
HWND g_capture = nullptr;
void (*g_activeChanged)(HWND) = nullptr;
}  // namespace

void SetActiveWindowObserver(void (*observer)(HWND))
{
    g_activeChanged = observer;
}

HWND SetFocus(HWND hwnd)
{
    if (hwnd && !FindWin(hwnd)) return nullptr;
    // Focus in an inactive window activates it first (its WM_ACTIVATE may take the focus itself).
    HWND top = GetAncestor(hwnd, GA_ROOT);
    if (hwnd && top != GetActiveWindow()) SetActiveWindow(top);
    if (hwnd && !FindWin(hwnd)) return nullptr;
    HWND old = g_focus;
    if (old == hwnd) return old;
    g_focus = hwnd;
    if (FindWin(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (FindWin(hwnd) && g_focus == hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    if (FindWin(old)) NotifyWindowChange(old, WindowChange::Focus);
    if (FindWin(hwnd) && g_focus == hwnd) NotifyWindowChange(hwnd, WindowChange::Focus);
    return old;
}

HWND GetFocus()
{
    return FindWin(g_focus) ? g_focus : nullptr;
}

HWND SetActiveWindow(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    if (hwnd && (!w || w->parent)) return nullptr;
    HWND old = FindWin(g_active) ? g_active : nullptr;
    if (old == hwnd) return old;
    g_active = hwnd;
    if (old) SendMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    if (FindWin(hwnd)) SendMessage(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    if (g_activeChanged) g_activeChanged(g_active);
    if (FindWin(old)) NotifyWindowChange(old, WindowChange::Active);
    if (FindWin(hwnd) && g_active == hwnd) NotifyWindowChange(hwnd, WindowChange::Active);
    return old;
}

HWND GetActiveWindow()
{
    return FindWin(g_active) ? g_active : nullptr;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    // Bit 0 asks for the window's owned pop-ups to come forward too; the handle is the same.
    hwnd = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(hwnd) & ~std::uintptr_t(1));
    if (IsRemoteHandle(hwnd)) return RemoteWindows()->setForeground(hwnd);
    Window* w = FindWin(hwnd);
    if (!w) return FALSE;
    while (w->parent) {
        hwnd = w->parent;
        w = FindWin(hwnd);
    }
    // An owned window that is showing (a modal dialog) keeps the front.
    HWND target = hwnd;
    for (HWND other : TopLevelWindows()) {
        Window* o = FindWin(other);
        if (o && o->owner == hwnd && (o->style & WS_VISIBLE)) target = other;
    }
    SetActiveWindow(target);
    CurrentBackend().raise();
    return TRUE;
}

HWND SetCapture(HWND hwnd)
{
    HWND old = FindWin(g_capture) ? g_capture : nullptr;
    if (!FindWin(hwnd)) return old;
    g_capture = hwnd;
    return old;
}

BOOL ReleaseCapture()
{
    HWND old = FindWin(g_capture) ? g_capture : nullptr;
    g_capture = nullptr;
    if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    return FindWin(g_capture) ? g_capture : nullptr;
}

static bool TextEquals(const std::u16string& a, LPCWSTR b)
{
    return b && !IS_INTRESOURCE(b) && a == b;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam)
{
    if (!proc) return FALSE;
    std::vector<HWND> windows = TopLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        Window* w = FindWin(*it);
        if (w && !w->destroying && !proc(*it, lParam)) return FALSE;
    }
    return TRUE;
}

HWND FindWindow(LPCWSTR className, LPCWSTR windowName)
{
    for (HWND hwnd : TopLevelWindows()) {
        Window* w = FindWin(hwnd);
        if (!w || w->destroying) continue;
        bool classOk = !className || TextEquals(w->className, className);
        bool titleOk = !windowName || TextEquals(w->text, windowName);
        if (classOk && titleOk) return hwnd;
    }
    if (!RemoteWindows()) return nullptr;
    if (!className || !windowName || IS_INTRESOURCE(className) || IS_INTRESOURCE(windowName)) return nullptr;
    return RemoteWindows()->find(className, windowName);
}
