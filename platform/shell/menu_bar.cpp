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
#include "platform/shell/menu.h"
#include "platform/shell/menu_bar_buttons.h"
#include "platform/shell/shell_windows.h"

namespace {

const WCHAR kMenuBarClass[] = u"ShellMenuBar";

struct MenuBarData {
    HWND parent = nullptr;
    std::vector<ShellBarButton> buttons;  // client coordinates
    std::vector<ShellMenuItem> menu;      // the drop-downs' items
    int pressed = -1;   // drawn pressed: under the pen, or its menu is open
    int tracking = -1;  // the pen went down on this button
    HWND popup = nullptr;
};

MenuBarData* DataOf(HWND hwnd)
{
    if (!IsWindowOfClass(hwnd, kMenuBarClass)) return nullptr;
    return reinterpret_cast<MenuBarData*>(GetWindowLongPtr(hwnd, GWL_USERDATA));
}

// The bar's buttons from resource `id` of `instance`; false when either resource is missing or
// malformed.
bool LoadButtons(HINSTANCE instance, UINT id, MenuBarData* d)
{
    const ResourceEntry* bar = FindResourceEntry(instance, RT_RCDATA, id);
    ShellMenuBarResource parsed;
    if (!bar || !ParseMenuBarResource(bar->data, bar->size, &parsed)) return false;
    const ResourceEntry* menuRes = FindResourceEntry(instance, RT_MENU, parsed.menuId);
    if (!menuRes || !ParseMenuTemplate(menuRes->data, menuRes->size, &d->menu)) return false;
    d->buttons = MakeBarButtons(instance, parsed, d->menu);
    return true;
}

const std::vector<ShellMenuItem>* DropDownItems(const MenuBarData& d, int index)
{
    const ShellBarButton& b = d.buttons[static_cast<std::size_t>(index)];
    return b.dropDown ? &d.menu[b.menuIndex].items : nullptr;
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    MenuBarData* d = DataOf(hwnd);
    if (hdc && d) PaintBarButtons(hdc, d->buttons, d->pressed, POINT{0, 0}, kScreenWidth);
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
    return HitBarButton(d.buttons, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
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
    RECT bar;
    GetWindowRect(hwnd, &bar);
    d.popup = OpenShellMenuPopup(*DropDownItems(d, index), POINT{bar.left + d.buttons[index].rect.left, bar.top},
                                 d.parent, hwnd);
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
    if (!(info->dwFlags & SHCMBF_EMPTYBAR) && !LoadButtons(info->hInstRes, info->nToolBarId, d)) {
        delete d;
        return FALSE;
    }
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
    for (const ShellBarButton& b : d->buttons) buttons->push_back(ShellMenuEntry{b.label, b.enabled, b.dropDown, false});
    return true;
}

bool ShellMenuBarItems(HWND menuBar, int button, std::vector<ShellMenuEntry>* items)
{
    MenuBarData* d = DataOf(menuBar);
    if (!d || !items || button < 0 || button >= static_cast<int>(d->buttons.size())) return false;
    const std::vector<ShellMenuItem>* menu = DropDownItems(*d, button);
    if (!menu) return false;
    items->clear();
    for (const ShellMenuItem& item : *menu) {
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
