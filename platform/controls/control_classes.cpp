// The predefined window classes: the dialog class and the controls, and the text painting that
// the text controls share.
#include "platform/user/window_internal.h"

void RegisterControlClasses()
{
    struct Predefined {
        const WCHAR* name;
        WNDPROC proc;
        int brush;
    };
    const Predefined classes[] = {
        {kDialogClassName, DefDlgProc, WHITE_BRUSH},
        {u"BUTTON", ButtonWndProc, -1},
        {u"EDIT", EditWndProc, WHITE_BRUSH},
        {u"STATIC", StaticWndProc, WHITE_BRUSH},
    };
    for (const Predefined& p : classes) {
        WNDCLASS wc{};
        wc.lpfnWndProc = p.proc;
        wc.lpszClassName = p.name;
        wc.hbrBackground = p.brush >= 0 ? static_cast<HBRUSH>(GetStockObject(p.brush)) : nullptr;
        RegisterClass(&wc);
    }
}

void PaintControlText(HWND hwnd, const Window& w, UINT format)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc) {
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HGDIOBJ oldFont = w.font ? SelectObject(hdc, w.font) : nullptr;
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, RGB(0, 0, 0));
        DrawText(hdc, w.text.c_str(), -1, &r, format);
        if (oldFont) SelectObject(hdc, oldFont);
    }
    EndPaint(hwnd, &ps);
}
