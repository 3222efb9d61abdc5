// Drawing shared by the shell's windows. Every helper restores what it selected.
#include "platform/extras.h"
#include "platform/shell/shell_draw.h"

HFONT CreateShellFont(bool bold)
{
    const int dpi = 96;
    LOGFONT lf{};
    lf.lfHeight = -9 * dpi / 72;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;  // an empty face name means the device's Gothic face
    return CreateFontIndirect(&lf);
}

void FillShellRect(HDC hdc, const RECT& r, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
}

void FrameShellRect(HDC hdc, const RECT& r, COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    Rectangle(hdc, r.left, r.top, r.right, r.bottom);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
}

void DrawShellText(HDC hdc, LPCWSTR text, const RECT& r, COLORREF color, UINT format)
{
    RECT box = r;
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(hdc, color);
    DrawText(hdc, text, -1, &box, format | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
}

int ShellTextWidth(HDC hdc, LPCWSTR text)
{
    SIZE size{0, 0};
    int length = 0;
    while (text && text[length]) ++length;
    if (!text || !GetTextExtentPoint32(hdc, text, length, &size)) return 0;
    return size.cx;
}
