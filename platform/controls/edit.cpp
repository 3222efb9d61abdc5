// EDIT: a text holder with Win32's case styles and text limit. It draws plain text when shown;
// caret, selection and typing are not provided (no window of the program types into one).
// Its text limit lives in the window's extra bytes (0: the default).
#include <algorithm>
#include <string>
#include "platform/controls/controls.h"

namespace {

constexpr int kDefaultEditLimit = 30000;

DWORD StyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
}

void ApplyCase(DWORD style, std::u16string& text)
{
    if (style & ES_UPPERCASE) {
        CharUpper(text.data());
    } else if (style & ES_LOWERCASE) {
        for (char16_t& c : text) {
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
}

LRESULT OnSetText(HWND hwnd, LPARAM lParam)
{
    // The limit binds typing only; text set by the program is kept whole, as in Win32.
    auto* text = reinterpret_cast<LPCWSTR>(lParam);
    std::u16string value = text ? text : u"";
    ApplyCase(StyleOf(hwnd), value);
    DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}

void OnLimitText(HWND hwnd, WPARAM limit)
{
    SetWindowLongPtr(hwnd, 0, limit == 0 ? 0x7FFFFFFE : static_cast<LONG_PTR>(std::min<WPARAM>(limit, 0x7FFFFFFE)));
}

LRESULT OnGetLimitText(HWND hwnd)
{
    LONG_PTR limit = GetWindowLongPtr(hwnd, 0);
    return limit ? limit : kDefaultEditLimit;
}

void OnPaint(HWND hwnd)
{
    DWORD style = StyleOf(hwnd);
    UINT align = (style & ES_RIGHT) ? DT_RIGHT : (style & ES_CENTER) ? DT_CENTER : DT_LEFT;
    PaintControlText(hwnd, align | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETTEXT: return OnSetText(hwnd, lParam);
    case EM_LIMITTEXT: OnLimitText(hwnd, wParam); return 0;
    case EM_GETLIMITTEXT: return OnGetLimitText(hwnd);
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}
