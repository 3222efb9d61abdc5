// The drop-down menu: a layer window above the menu bar. It holds the pen while open, so a tap
// anywhere else closes it (and does nothing more); a tap on an item closes it and posts the
// item's command. It has the keyboard too while open: Escape closes it, other keys do nothing.
// Knowingly lacks: sub-menus inside the drop-down (shown, but not selectable), check marks and
// keyboard navigation.
#include <algorithm>
#include "platform/extras.h"
#include "platform/user/rect.h"
#include "platform/shell/shell_draw.h"
#include "platform/shell/menu.h"
#include "platform/shell/shell_windows.h"

namespace {

const WCHAR kPopupClass[] = u"ShellMenuPopup";
constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 7;
constexpr int kTextIndent = 10;
constexpr int kMinWidth = 80;

struct PopupData {
    std::vector<ShellMenuItem> items;
    std::vector<RECT> itemRects;  // client coordinates
    HWND target = nullptr;
    HWND owner = nullptr;
    int highlight = -1;
    bool tracking = false;
    bool closing = false;
};

PopupData* DataOf(HWND hwnd)
{
    return reinterpret_cast<PopupData*>(GetWindowLongPtr(hwnd, GWL_USERDATA));
}

// Items stack from the top inside a one-pixel frame; the menu is as wide as its widest text.
SIZE LayOut(PopupData& d)
{
    HDC hdc = GetDC(nullptr);
    int width = kMinWidth, y = 1;
    {
        ShellFontScope font(hdc, false);
        for (const ShellMenuItem& item : d.items) {
            int h = item.IsSeparator() ? kSeparatorHeight : kItemHeight;
            if (!item.IsSeparator()) width = std::max(width, ShellTextWidth(hdc, item.text.c_str()) + 2 * kTextIndent);
            d.itemRects.push_back(RECT{1, y, 0, y + h});
            y += h;
        }
    }
    ReleaseDC(nullptr, hdc);
    width = std::min(width, kScreenWidth);
    for (RECT& r : d.itemRects) r.right = width - 1;
    return SIZE{width, y + 1};
}

int HitItem(const PopupData& d, POINT client)
{
    for (std::size_t i = 0; i < d.itemRects.size(); ++i) {
        if (RectContains(d.itemRects[i], client)) return static_cast<int>(i);
    }
    return -1;
}

bool Selectable(const PopupData& d, int index)
{
    return index >= 0 && index < static_cast<int>(d.items.size()) && d.items[index].IsSelectable();
}

void PaintItem(HDC hdc, const ShellMenuItem& item, const RECT& r, bool highlighted)
{
    if (item.IsSeparator()) {
        int mid = (r.top + r.bottom) / 2;
        FillShellRect(hdc, RECT{r.left + 2, mid, r.right - 2, mid + 1}, kShellBarLine);
        return;
    }
    FillShellRect(hdc, r, highlighted ? kShellHighlight : kShellWindow);
    COLORREF color = highlighted ? kShellHighlightText : item.IsSelectable() ? kShellText : kShellGrayText;
    RECT text{r.left + kTextIndent - 1, r.top, r.right, r.bottom};
    DrawShellText(hdc, item.text.c_str(), text, color, DT_LEFT | DT_VCENTER);
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    PopupData* d = DataOf(hwnd);
    if (hdc && d) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillShellRect(hdc, client, kShellWindow);
        FrameShellRect(hdc, client, kShellText);
        ShellFontScope font(hdc, false);
        for (std::size_t i = 0; i < d->items.size(); ++i) {
            PaintItem(hdc, d->items[i], d->itemRects[i], static_cast<int>(i) == d->highlight);
        }
    }
    EndPaint(hwnd, &ps);
}

void SetHighlight(HWND hwnd, PopupData& d, int index)
{
    if (d.highlight == index) return;
    d.highlight = index;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void Close(HWND hwnd)
{
    PopupData* d = DataOf(hwnd);
    if (!d || d->closing) return;
    d->closing = true;
    HWND owner = d->owner;
    if (GetCapture() == hwnd) ReleaseCapture();
    DestroyWindow(hwnd);
    if (IsWindow(owner)) SendMessage(owner, WM_SHELL_MENU_CLOSED, 0, 0);
}

POINT PointOf(LPARAM lParam)
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

void OnPenDown(HWND hwnd, LPARAM lParam)
{
    PopupData* d = DataOf(hwnd);
    if (!d) return;
    RECT client;
    GetClientRect(hwnd, &client);
    if (!RectContains(client, PointOf(lParam))) {
        Close(hwnd);  // a tap elsewhere only closes the menu
        return;
    }
    d->tracking = true;
    int hit = HitItem(*d, PointOf(lParam));
    SetHighlight(hwnd, *d, Selectable(*d, hit) ? hit : -1);
}

void OnPenMove(HWND hwnd, LPARAM lParam)
{
    PopupData* d = DataOf(hwnd);
    if (!d || !d->tracking) return;
    int hit = HitItem(*d, PointOf(lParam));
    SetHighlight(hwnd, *d, Selectable(*d, hit) ? hit : -1);
}

void OnPenUp(HWND hwnd, LPARAM lParam)
{
    PopupData* d = DataOf(hwnd);
    if (!d || !d->tracking) return;
    d->tracking = false;
    int hit = HitItem(*d, PointOf(lParam));
    if (!Selectable(*d, hit) || hit != d->highlight) {
        SetHighlight(hwnd, *d, -1);
        return;
    }
    HWND target = d->target;
    UINT command = d->items[hit].id;
    Close(hwnd);
    // Posted: the command runs (an About box, say) once the menu is gone.
    PostMessage(target, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

LRESULT CALLBACK MenuPopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:         OnPaint(hwnd); return 0;
    case WM_ERASEBKGND:    return 1;
    case WM_LBUTTONDOWN:   OnPenDown(hwnd, lParam); return 0;
    case WM_MOUSEMOVE:     OnPenMove(hwnd, lParam); return 0;
    case WM_LBUTTONUP:     OnPenUp(hwnd, lParam); return 0;
    case WM_CAPTURECHANGED: Close(hwnd); return 0;  // someone else took the pen
    case WM_KEYDOWN:       if (wParam == VK_ESCAPE) Close(hwnd); return 0;
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:       return 0;  // a key of the open menu reaches nothing else
    case WM_NCDESTROY:
        delete DataOf(hwnd);
        SetWindowLongPtr(hwnd, GWL_USERDATA, 0);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND OpenShellMenuPopup(const std::vector<ShellMenuItem>& items, POINT bottomLeft, HWND target, HWND owner)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = MenuPopupProc;
    wc.lpszClassName = kPopupClass;
    RegisterClass(&wc);  // fails harmlessly when registered already
    auto* d = new PopupData;
    d->items = items;
    d->target = target;
    d->owner = owner;
    SIZE size = LayOut(*d);
    int left = std::clamp<int>(bottomLeft.x, 0, kScreenWidth - size.cx);
    int top = std::max<int>(bottomLeft.y - size.cy, kNavBarHeight);
    HWND popup = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_LAYER_PRIVATE, kPopupClass, u"", WS_POPUP, left, top,
                                size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
    if (!popup) {
        delete d;
        return nullptr;
    }
    SetWindowLongPtr(popup, GWL_USERDATA, reinterpret_cast<LONG_PTR>(d));
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    SetCapture(popup);
    return popup;
}

bool ShellMenuPopupItemRect(HWND popup, int index, RECT* rect)
{
    PopupData* d = IsWindowOfClass(popup, kPopupClass) ? DataOf(popup) : nullptr;
    if (!d || !rect || index < 0 || index >= static_cast<int>(d->itemRects.size())) return false;
    POINT origin{0, 0};
    ClientToScreen(popup, &origin);
    const RECT& item = d->itemRects[index];
    *rect = RECT{item.left + origin.x, item.top + origin.y, item.right + origin.x, item.bottom + origin.y};
    return true;
}
