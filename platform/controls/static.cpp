// STATIC: left-aligned text and icons, on the dialog's white. An icon static's icon lives in the
// window's extra bytes and is destroyed with the window.
#include "platform/controls/controls.h"

namespace {

HICON IconOf(HWND hwnd)
{
    return reinterpret_cast<HICON>(GetWindowLongPtr(hwnd, 0));
}

void PaintIcon(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc) {
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (HICON icon = IconOf(hwnd)) DrawIcon(hdc, 0, 0, icon);
    }
    EndPaint(hwnd, &ps);
}

void OnPaint(HWND hwnd)
{
    DWORD kind = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & 0x1F;
    if (kind == SS_ICON) {
        PaintIcon(hwnd);
        return;
    }
    UINT align = kind == SS_CENTER ? DT_CENTER : kind == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    PaintControlText(hwnd, align | DT_TOP | DT_SINGLELINE);
}

LRESULT OnSetIcon(HWND hwnd, WPARAM icon)
{
    HICON old = reinterpret_cast<HICON>(SetWindowLongPtr(hwnd, 0, static_cast<LONG_PTR>(icon)));
    // An icon static takes the icon's size.
    SetWindowPos(hwnd, nullptr, 0, 0, 32, 32, SWP_NOMOVE | SWP_NOZORDER);
    InvalidateRect(hwnd, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

void OnDestroy(HWND hwnd)
{
    if (HICON icon = IconOf(hwnd)) DestroyIcon(icon);
    SetWindowLongPtr(hwnd, 0, 0);
}

LRESULT OnSetText(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = DefWindowProc(hwnd, WM_SETTEXT, wParam, lParam);
    InvalidateRect(hwnd, nullptr, TRUE);
    return r;
}

}  // namespace

LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case STM_SETICON: return OnSetIcon(hwnd, wParam);
    case WM_DESTROY: OnDestroy(hwnd); return 0;
    case WM_SETTEXT: return OnSetText(hwnd, wParam, lParam);
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}
