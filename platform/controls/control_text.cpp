// The text painting the text controls share: the window's own text, in its own font.
#include <string>
#include "platform/controls/controls.h"

void DrawControlText(HWND hwnd, HDC hdc, RECT rect, COLORREF color, UINT format)
{
    std::u16string text(static_cast<std::size_t>(GetWindowTextLength(hwnd)) + 1, u'\0');
    GetWindowText(hwnd, text.data(), static_cast<int>(text.size()));
    auto font = reinterpret_cast<HFONT>(SendMessage(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(hdc, font) : nullptr;
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(hdc, color);
    DrawText(hdc, text.c_str(), -1, &rect, format);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
    if (oldFont) SelectObject(hdc, oldFont);
}

void PaintControlText(HWND hwnd, UINT format)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc) {
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawControlText(hwnd, hdc, r, RGB(0, 0, 0), format);
    }
    EndPaint(hwnd, &ps);
}
