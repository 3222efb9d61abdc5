// DefWindowProc: what Win32 does for the messages a window procedure leaves to it.
#include <algorithm>
#include "platform/user/input.h"
#include "platform/user/key_taps.h"
#include "platform/user/platform_messages.h"
#include "platform/shell/shell_windows.h"
#include "platform/user/window_internal.h"
#include "platform/user/window_observer.h"
#include "platform/user/remote_windows.h"

static LRESULT CopyWindowText(const Window& w, WPARAM maxCount, LPARAM buffer)
{
    auto* out = reinterpret_cast<WCHAR*>(buffer);
    if (!out || maxCount == 0) return 0;
    std::size_t n = std::min<std::size_t>(w.text.size(), maxCount - 1);
    std::copy_n(w.text.data(), n, out);
    out[n] = 0;
    return static_cast<LRESULT>(n);
}

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = FindWin(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SETTEXT: {
        auto* text = reinterpret_cast<LPCWSTR>(lParam);
        w->text = text ? text : u"";
        if (!w->parent && w->created && !(w->exStyle & WS_EX_LAYER_PRIVATE) && RemoteWindows()) {
            // Other processes find top-level windows by title: publishing again updates it.
            RemoteWindows()->publish(hwnd, w->className.c_str(), w->text.c_str());
        }
        NotifyWindowChange(hwnd, WindowChange::Text);
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyWindowText(*w, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_ERASEBKGND: {
        if (!w->background) return 0;
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, w->background);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PLATFORM_RAISE:
        SetForegroundWindow(hwnd);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        HandleKeyTapMessage(hwnd, msg, wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !IsDescendant(hwnd, GetFocus())) SetFocus(hwnd);
        return 0;
    }
    return 0;
}
