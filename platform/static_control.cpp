// STATIC: left-aligned text and icons, on the dialog's white.
#include "platform/window_internal.h"

namespace {
void OnPaint(HWND hwnd, const Window& w)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc) {
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if ((w.style & 0x1F) == SS_ICON) {
            if (w.icon) DrawIcon(hdc, 0, 0, w.icon);
        } else {
            HGDIOBJ oldFont = w.font ? SelectObject(hdc, w.font) : nullptr;
            SetBkMode(hdc, TRANSPARENT);
            SetTextColor(hdc, RGB(0, 0, 0));
            UINT align = (w.style & 0x1F) == SS_CENTER ? DT_CENTER : (w.style & 0x1F) == SS_RIGHT ? DT_RIGHT : DT_LEFT;
            DrawText(hdc, w.text.c_str(), -1, &r, align | DT_TOP | DT_SINGLELINE);
            if (oldFont) SelectObject(hdc, oldFont);
        }
    }
    EndPaint(hwnd, &ps);
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
