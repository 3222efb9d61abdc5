// EDIT: a text holder with Win32's case styles and text limit. It draws plain text when shown;
// caret, selection and typing are not provided (no window of the program types into one).
#include <algorithm>
#include "platform/user/window_internal.h"

namespace {
constexpr int kDefaultEditLimit = 30000;

void ApplyCase(const Window& w, std::u16string& text)
{
    if (w.style & ES_UPPERCASE) {
        CharUpper(text.data());
    } else if (w.style & ES_LOWERCASE) {
        for (char16_t& c : text) {
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
}

void OnPaint(HWND hwnd, const Window& w)
{
    UINT align = (w.style & ES_RIGHT) ? DT_RIGHT : (w.style & ES_CENTER) ? DT_CENTER : DT_LEFT;
    PaintControlText(hwnd, w, align | DT_VCENTER | DT_SINGLELINE);
}
}  // namespace

LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = FindWin(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_SETTEXT: {
        // The limit binds typing only; text set by the program is kept whole, as in Win32.
        auto* text = reinterpret_cast<LPCWSTR>(lParam);
        std::u16string value = text ? text : u"";
        ApplyCase(*w, value);
        w->text = std::move(value);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case EM_LIMITTEXT:
        w->textLimit = wParam == 0 ? 0x7FFFFFFE : static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE));
        return 0;
    case EM_GETLIMITTEXT:
        return w->textLimit ? w->textLimit : kDefaultEditLimit;
    case WM_PAINT:
        OnPaint(hwnd, *w);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}
