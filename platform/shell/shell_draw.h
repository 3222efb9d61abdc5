// Drawing shared by the shell's windows (navigation bar, menu bar, drop-down menus, message
// boxes): their colours, their font and a few filled and framed shapes.
#pragma once
#include "platform/windows.h"

// A handheld's title bar: dark blue with white text; menus and bars in light grey.
constexpr COLORREF kShellTitleBack = RGB(0, 36, 107);
constexpr COLORREF kShellTitleText = RGB(255, 255, 255);
constexpr COLORREF kShellBarBack = RGB(214, 211, 206);
constexpr COLORREF kShellBarLine = RGB(132, 130, 132);
constexpr COLORREF kShellText = RGB(0, 0, 0);
constexpr COLORREF kShellGrayText = RGB(132, 130, 132);
constexpr COLORREF kShellHighlight = RGB(0, 36, 107);
constexpr COLORREF kShellHighlightText = RGB(255, 255, 255);
constexpr COLORREF kShellWindow = RGB(255, 255, 255);

// The device's 9-point Gothic text, as the shell writes its labels: -9 * dpi / 72 pixels high.
HFONT CreateShellFont(bool bold);
// The shell's font selected into `hdc` for as long as this lives; then the DC's own font again.
class ShellFontScope {
public:
    ShellFontScope(HDC hdc, bool bold) : hdc_(hdc), font_(CreateShellFont(bold)), old_(SelectObject(hdc, font_)) {}
    ~ShellFontScope()
    {
        SelectObject(hdc_, old_);
        DeleteObject(font_);
    }
    ShellFontScope(const ShellFontScope&) = delete;
    ShellFontScope& operator=(const ShellFontScope&) = delete;

private:
    HDC hdc_;
    HFONT font_;
    HGDIOBJ old_;
};
void FillShellRect(HDC hdc, const RECT& r, COLORREF color);
// A one-pixel frame just inside `r`.
void FrameShellRect(HDC hdc, const RECT& r, COLORREF color);
// One line of text in `r` (DT_* placement flags), transparent background.
void DrawShellText(HDC hdc, LPCWSTR text, const RECT& r, COLORREF color, UINT format);
// Width of one line of text in the shell's font.
int ShellTextWidth(HDC hdc, LPCWSTR text);
