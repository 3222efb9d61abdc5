// STATIC: left-aligned text and icons, on the dialog's white.
#include "platform/user/window_internal.h"

namespace {
void OnPaint(HWND hwnd, const Window& w)
{
    DWORD kind = w.style & 0x1F;
    if (kind == SS_ICON) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        if (hdc) {
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            if (w.icon) DrawIcon(hdc, 0, 0, w.icon);
        }
        EndPaint(hwnd, &ps);
        return;
    }
    UINT align = kind == SS_CENTER ? DT_CENTER : kind == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    PaintControlText(hwnd, w, align | DT_TOP | DT_SINGLELINE);
}
}  // namespace

LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = FindWin(hwnd);
    if (!w) return 0;
    switch (msg) {
    case STM_SETICON: {
        HICON old = w->icon;
        w->icon = reinterpret_cast<HICON>(wParam);
        // An icon static takes the icon's size.
        SetWindowPos(hwnd, nullptr, 0, 0, 32, 32, SWP_NOMOVE | SWP_NOZORDER);
        InvalidateRect(hwnd, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_DESTROY:
        if (w->icon) DestroyIcon(w->icon);
        w->icon = nullptr;
        return 0;
    case WM_SETTEXT: {
        LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_PAINT:
        OnPaint(hwnd, *w);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}
