// Pen input routed as Win32 routes mouse input: capture first, else the deepest visible window
// under the point; a window disabled by a modal dialog (or with a disabled ancestor) gets nothing.
#include "platform/user/input.h"
#include "platform/shell/shell_windows.h"
#include "platform/user/window_internal.h"

namespace {

void (*g_threadHook)(const MSG&) = nullptr;

bool EnabledChain(HWND hwnd)
{
    for (Window* w = FindWin(hwnd); w; w = FindWin(w->parent)) {
        if (w->style & WS_DISABLED) return false;
    }
    return true;
}

}  // namespace

void InjectPen(UINT msg, POINT screen)
{
    HWND target = GetCapture();
    if (!target) target = WindowFromPoint(screen);
    if (!target || (!GetCapture() && !EnabledChain(target))) return;
    if (msg == WM_LBUTTONDOWN) {
        // The pen activates the top-level window it lands on.
        HWND top = target;
        while (Window* w = FindWin(top)) {
            if (!w->parent) break;
            top = w->parent;
        }
        // ... unless it is one of the layer's bars or menus, which leave the active window as it is.
        Window* topWindow = FindWin(top);
        bool activates = topWindow && !(topWindow->exStyle & WS_EX_NOACTIVATE);
        if (activates && GetActiveWindow() != top) SetActiveWindow(top);
    }
    POINT client = screen;
    ScreenToClient(target, &client);
    SendMessage(target, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(client.x, client.y));
}

void SetThreadMessageHook(void (*hook)(const MSG& msg))
{
    g_threadHook = hook;
}

void RunThreadMessageHook(const MSG& msg)
{
    if (g_threadHook) g_threadHook(msg);
}

