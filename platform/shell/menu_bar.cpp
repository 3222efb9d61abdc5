// SHCreateMenuBar and the menu bar window: the bottom 26 pixels of the device screen, its
// buttons built from a menu-bar resource and a menu. A plain button posts its command to the
// bar's parent; a drop-down button opens its menu above the bar. The bar is a layer window: it
// never becomes active and is never published. It ignores the pen while its parent is disabled
// (a modal box is up). Knowingly lacks: button images, and any flag but SHCMBF_EMPTYBAR and
// SHCMBF_HIDDEN.
#include <algorithm>
#include "platform/extras.h"
#include "platform/user/rect.h"
#include "platform/shell/navigation_bar.h"
#include "platform/kernel/resource_table.h"
#include "platform/shell/shell_draw.h"
#include "platform/shell/menu.h"
#include "platform/shell/shell_windows.h"

namespace {

const WCHAR kMenuBarClass[] = u"ShellMenuBar";
constexpr int kButtonPadding = 10;
constexpr int kMinButtonWidth = 36;
constexpr int kLabelCap = 100;

struct BarButton {
    UINT command = 0;
    bool enabled = true;
    bool dropDown = false;
    std::u16string label;
    std::vector<ShellMenuItem> menu;  // the drop-down's items
    RECT rect{};                      // client coordinates
};

struct MenuBarData {
    HWND parent = nullptr;
    std::vector<BarButton> buttons;
    int pressed = -1;   // drawn pressed: under the pen, or its menu is open
    int tracking = -1;  // the pen went down on this button
    HWND popup = nullptr;
};

MenuBarData* DataOf(HWND hwnd)
{
    if (!IsWindowOfClass(hwnd, kMenuBarClass)) return nullptr;
    return reinterpret_cast<MenuBarData*>(GetWindowLongPtr(hwnd, GWL_USERDATA));
}

std::u16string LabelOf(HINSTANCE instance, const ShellMenuBarButton& b, const std::vector<ShellMenuItem>& menu)
{
    WCHAR text[kLabelCap];
    if (LoadString(instance, b.labelId, text, kLabelCap) > 0) return text;
    return b.menuIndex < menu.size() ? menu[b.menuIndex].text : std::u16string();
}

// The bar's buttons from resource `id` of `instance`; false when either resource is missing or
// malformed.
bool LoadButtons(HINSTANCE instance, UINT id, std::vector<BarButton>* out)
{
    const ResourceEntry* bar = FindResourceEntry(instance, RT_RCDATA, id);
    ShellMenuBarResource parsed;
    if (!bar || !ParseMenuBarResource(bar->data, bar->size, &parsed)) return false;
    const ResourceEntry* menuRes = FindResourceEntry(instance, RT_MENU, parsed.menuId);
    std::vector<ShellMenuItem> menu;
    if (!menuRes || !ParseMenuTemplate(menuRes->data, menuRes->size, &menu)) return false;
    for (const ShellMenuBarButton& b : parsed.buttons) {
        BarButton button;
        button.command = b.command;
        button.enabled = (b.state & TBSTATE_ENABLED) != 0;
        button.label = LabelOf(instance, b, menu);
        if ((b.style & TBSTYLE_DROPDOWN) && b.menuIndex < menu.size() && (menu[b.menuIndex].flags & MF_POPUP)) {
            button.dropDown = true;
            button.menu = menu[b.menuIndex].items;
        }
        out->push_back(std::move(button));
    }
    return true;
}

// Buttons sit side by side from the left, each as wide as its label and some room.
void LayOut(std::vector<BarButton>& buttons)
{
    HDC hdc = GetDC(nullptr);
    {
        ShellFontScope font(hdc, false);
        int x = 0;
        for (BarButton& b : buttons) {
            int width = std::max(kMinButtonWidth, ShellTextWidth(hdc, b.label.c_str()) + 2 * kButtonPadding);
            b.rect = RECT{x, 1, std::min(x + width, kScreenWidth), kMenuBarHeight};
            x = b.rect.right;
        }
    }
    ReleaseDC(nullptr, hdc);
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    MenuBarData* d = DataOf(hwnd);
    if (hdc && d) {
        FillShellRect(hdc, RECT{0, 0, kScreenWidth, kMenuBarHeight}, kShellBarBack);
        FillShellRect(hdc, RECT{0, 0, kScreenWidth, 1}, kShellBarLine);
        ShellFontScope font(hdc, false);
        for (std::size_t i = 0; i < d->buttons.size(); ++i) {
            const BarButton& b = d->buttons[i];
            bool pressed = static_cast<int>(i) == d->pressed;
            if (pressed) FillShellRect(hdc, b.rect, kShellHighlight);
            COLORREF color = pressed ? kShellHighlightText : b.enabled ? kShellText : kShellGrayText;
            DrawShellText(hdc, b.label.c_str(), b.rect, color, DT_CENTER | DT_VCENTER);
        }
    }
    EndPaint(hwnd, &ps);
}

void SetPressed(HWND hwnd, MenuBarData& d, int index)
{
    if (d.pressed == index) return;
    d.pressed = index;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

int HitButton(const MenuBarData& d, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (std::size_t i = 0; i < d.buttons.size(); ++i) {
        if (d.buttons[i].enabled && RectContains(d.buttons[i].rect, p)) return static_cast<int>(i);
    }
    return -1;
}

void OnPenDown(HWND hwnd, LPARAM lParam)
{
    MenuBarData* d = DataOf(hwnd);
    if (!d || !IsWindowEnabled(d->parent)) return;
    int hit = HitButton(*d, lParam);
    if (hit < 0) return;
    SetCapture(hwnd);
    d->tracking = hit;
    SetPressed(hwnd, *d, hit);
}

void OnPenMove(HWND hwnd, LPARAM lParam)
{
    MenuBarData* d = DataOf(hwnd);
    if (!d || d->tracking < 0) return;
    SetPressed(hwnd, *d, HitButton(*d, lParam) == d->tracking ? d->tracking : -1);
}

void OpenDropDown(HWND hwnd, MenuBarData& d, int index)
{
    const BarButton& b = d.buttons[index];
    RECT bar;
    GetWindowRect(hwnd, &bar);
    d.popup = OpenShellMenuPopup(b.menu, POINT{bar.left + b.rect.left, bar.top}, d.parent, hwnd);
    SetPressed(hwnd, d, d.popup ? index : -1);
}

void OnPenUp(HWND hwnd, LPARAM lParam)
{
    MenuBarData* d = DataOf(hwnd);
    if (!d || d->tracking < 0) return;
    int index = d->tracking;
    bool inside = HitButton(*d, lParam) == index;
    d->tracking = -1;
    ReleaseCapture();  // before a drop-down takes the pen
    if (!inside) {
        SetPressed(hwnd, *d, -1);
        return;
    }
    if (d->buttons[index].dropDown) {
        OpenDropDown(hwnd, *d, index);
        return;
    }
    SetPressed(hwnd, *d, -1);
    // Posted: Exit destroys this bar, which must not happen inside its own pen handling.
    PostMessage(d->parent, WM_COMMAND, MAKEWPARAM(d->buttons[index].command, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

void OnCaptureChanged(HWND hwnd)
{
    MenuBarData* d = DataOf(hwnd);
    if (!d || d->tracking < 0) return;
    d->tracking = -1;
    SetPressed(hwnd, *d, -1);
}

void OnMenuClosed(HWND hwnd)
{
    MenuBarData* d = DataOf(hwnd);
    if (!d) return;
    d->popup = nullptr;
    SetPressed(hwnd, *d, -1);
}

void OnDestroy(HWND hwnd)
{
    MenuBarData* d = DataOf(hwnd);
    if (d && IsWindow(d->popup)) {
        HWND popup = d->popup;
        d->popup = nullptr;
        DestroyWindow(popup);
    }
}

LRESULT CALLBACK MenuBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:             OnPaint(hwnd); return 0;
    case WM_ERASEBKGND:        return 1;
    case WM_LBUTTONDOWN:       OnPenDown(hwnd, lParam); return 0;
    case WM_MOUSEMOVE:         OnPenMove(hwnd, lParam); return 0;
    case WM_LBUTTONUP:         OnPenUp(hwnd, lParam); return 0;
    case WM_CAPTURECHANGED:    OnCaptureChanged(hwnd); return 0;
    case WM_SHELL_MENU_CLOSED: OnMenuClosed(hwnd); return 0;
    case WM_DESTROY:           OnDestroy(hwnd); return 0;
    case WM_NCDESTROY:
        delete DataOf(hwnd);
        SetWindowLongPtr(hwnd, GWL_USERDATA, 0);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || !IsWindow(info->hwndParent)) return FALSE;
    auto* d = new MenuBarData;
    d->parent = info->hwndParent;
    if (!(info->dwFlags & SHCMBF_EMPTYBAR) && !LoadButtons(info->hInstRes, info->nToolBarId, &d->buttons)) {
        delete d;
        return FALSE;
    }
    LayOut(d->buttons);
    InstallNavigationBar();
    WNDCLASS wc{};
    wc.lpfnWndProc = MenuBarProc;
    wc.lpszClassName = kMenuBarClass;
    RegisterClass(&wc);  // fails harmlessly when registered already
    // Not owned by the parent: an owned window would take the parent's place when it is brought
    // to the front. The parent destroys its bar itself.
    HWND bar = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_LAYER_PRIVATE, kMenuBarClass, u"", WS_POPUP, 0,
                              kScreenHeight - kMenuBarHeight, kScreenWidth, kMenuBarHeight, nullptr, nullptr,
                              info->hInstRes, nullptr);
    if (!bar) {
        delete d;
        return FALSE;
    }
    SetWindowLongPtr(bar, GWL_USERDATA, reinterpret_cast<LONG_PTR>(d));
    if (!(info->dwFlags & SHCMBF_HIDDEN)) {
        ShowWindow(bar, SW_SHOWNOACTIVATE);
        UpdateWindow(bar);  // like the navigation bar, painted at once
    }
    info->hwndMB = bar;
    return TRUE;
}

bool ShellMenuBarButtonRect(HWND menuBar, int index, RECT* rect)
{
    MenuBarData* d = DataOf(menuBar);
    if (!d || !rect || index < 0 || index >= static_cast<int>(d->buttons.size())) return false;
    RECT bar;
    GetWindowRect(menuBar, &bar);
    *rect = RectOffset(d->buttons[index].rect, bar.left, bar.top);
    return true;
}

HWND ShellMenuBarPopup(HWND menuBar)
{
    MenuBarData* d = DataOf(menuBar);
    return d && IsWindow(d->popup) ? d->popup : nullptr;
}

bool ShellMenuBarEntries(HWND menuBar, std::vector<ShellMenuEntry>* buttons)
{
    MenuBarData* d = DataOf(menuBar);
    if (!d || !buttons) return false;
    buttons->clear();
    for (const BarButton& b : d->buttons) buttons->push_back(ShellMenuEntry{b.label, b.enabled, b.dropDown, false});
    return true;
}

bool ShellMenuBarItems(HWND menuBar, int button, std::vector<ShellMenuEntry>* items)
{
    MenuBarData* d = DataOf(menuBar);
    if (!d || !items || button < 0 || button >= static_cast<int>(d->buttons.size())) return false;
    if (!d->buttons[button].dropDown) return false;
    items->clear();
    for (const ShellMenuItem& item : d->buttons[button].menu) {
        items->push_back(ShellMenuEntry{item.text, item.IsSelectable(), (item.flags & MF_POPUP) != 0, item.IsSeparator()});
    }
    return true;
}

HWND ShellMenuBarOf(HWND owner)
{
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            MenuBarData* d = DataOf(hwnd);
            if (!d || d->parent != s->owner || !IsWindowVisible(hwnd)) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int ShellMenuBarOpenButton(HWND menuBar)
{
    MenuBarData* d = DataOf(menuBar);
    return d && IsWindow(d->popup) ? d->pressed : -1;
}

HWND ShellMenuBarOwner(HWND menuBar)
{
    MenuBarData* d = DataOf(menuBar);
    return d ? d->parent : nullptr;
}
