// SHCreateMenuBar on desktop Windows: the handheld's bar along the bottom of the screen becomes a
// 26-pixel strip along the bottom of its parent's frame, below the client area, as a desktop
// menu bar sits above it. The strip is the parent's non-client area (the parent is subclassed),
// drawn as the handheld's bar; a plain button posts its command to the parent, a drop-down
// button opens its menu above the bar as a real pop-up menu. The parent grows by the strip, so
// the program, which makes its window 26 pixels less high when it has a bar, keeps the
// handheld's client area. The bar's window is a hidden child of the parent that holds the bar:
// destroying it takes the strip away. Knowingly lacks: button images, SHCMBF_* flags.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include "platform/extras.h"
#include "platform/shell/menu.h"
#include "platform/shell/menu_bar_buttons.h"
#include "platform/shell/shell_draw.h"
#include "platform/shell/win32/shell_win32.h"

namespace {

const wchar_t kMenuBarClass[] = L"ShellMenuBar";
const wchar_t kBarProperty[] = L"ShellMenuBar";
constexpr LRESULT kHitBar = HTOBJECT;  // a hit-test code no frame part uses

struct MenuBar {
    HWND parent = nullptr;
    HWND window = nullptr;
    HINSTANCE instance = nullptr;
    UINT menuId = 0;
    WNDPROC parentProc = nullptr;
    std::vector<ShellBarButton> buttons;  // in the strip
    int pressed = -1;
    int tracking = -1;
};

MenuBar* BarOf(HWND parent)
{
    return static_cast<MenuBar*>(GetPropW(parent, kBarProperty));
}

bool ResourceBytes(HINSTANCE instance, LPCWSTR type, UINT id, const void** data, DWORD* size)
{
    HRSRC res = FindResourceW(instance, MAKEINTRESOURCEW(id), type);
    *data = res ? LockResource(LoadResource(instance, res)) : nullptr;
    *size = res ? SizeofResource(instance, res) : 0;
    return *data != nullptr;
}

bool LoadButtons(MenuBar& bar, UINT id)
{
    const void* data;
    DWORD size;
    ShellMenuBarResource parsed;
    if (!ResourceBytes(bar.instance, RT_RCDATA, id, &data, &size) || !ParseMenuBarResource(data, size, &parsed)) {
        return false;
    }
    std::vector<ShellMenuItem> menu;
    if (!ResourceBytes(bar.instance, RT_MENU, parsed.menuId, &data, &size) || !ParseMenuTemplate(data, size, &menu)) {
        return false;
    }
    bar.menuId = parsed.menuId;
    bar.buttons = MakeBarButtons(bar.instance, parsed, menu);
    return true;
}

void PaintBar(const MenuBar& bar, HDC hdc, POINT at)
{
    RECT client;
    GetClientRect(bar.parent, &client);
    PaintBarButtons(hdc, bar.buttons, bar.pressed, at, client.right);
}

// The strip's top-left corner in the parent's window coordinates and on the screen.
POINT StripInWindow(HWND parent)
{
    RECT window, client;
    GetWindowRect(parent, &window);
    GetClientRect(parent, &client);
    POINT p{0, client.bottom};
    ClientToScreen(parent, &p);
    return POINT{p.x - window.left, p.y - window.top};
}

POINT StripOnScreen(HWND parent)
{
    RECT client;
    GetClientRect(parent, &client);
    POINT p{0, client.bottom};
    ClientToScreen(parent, &p);
    return p;
}

void Repaint(const MenuBar& bar)
{
    HDC hdc = GetWindowDC(bar.parent);
    if (!hdc) return;
    PaintBar(bar, hdc, StripInWindow(bar.parent));
    ReleaseDC(bar.parent, hdc);
}

void SetPressed(MenuBar& bar, int index)
{
    if (bar.pressed == index) return;
    bar.pressed = index;
    Repaint(bar);
}

int HitButton(const MenuBar& bar, POINT screen)
{
    POINT strip = StripOnScreen(bar.parent);
    return HitBarButton(bar.buttons, POINT{screen.x - strip.x, screen.y - strip.y});
}

bool InStrip(const MenuBar& bar, POINT screen)
{
    RECT client;
    GetClientRect(bar.parent, &client);
    POINT strip = StripOnScreen(bar.parent);
    RECT r{strip.x, strip.y, strip.x + client.right, strip.y + kMenuBarHeight};
    return PtInRect(&r, screen);
}

void OpenDropDown(MenuBar& bar, int index)
{
    HMENU menu = nullptr;
    const void* data;
    DWORD size;
    if (ResourceBytes(bar.instance, RT_MENU, bar.menuId, &data, &size)) menu = LoadMenuIndirectW(data);
    HMENU popup = menu ? GetSubMenu(menu, static_cast<int>(bar.buttons[index].menuIndex)) : nullptr;
    if (popup) {
        POINT strip = StripOnScreen(bar.parent);
        UINT command = static_cast<UINT>(TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD,
                                                          strip.x + bar.buttons[index].rect.left, strip.y,
                                                          bar.parent, nullptr));
        if (command) PostMessageW(bar.parent, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    if (menu) DestroyMenu(menu);
}

void OnPenDown(MenuBar& bar, POINT screen)
{
    if (!IsWindowEnabled(bar.parent)) return;
    int hit = HitButton(bar, screen);
    if (hit < 0) return;
    SetCapture(bar.parent);
    bar.tracking = hit;
    SetPressed(bar, hit);
}

void OnPenUp(MenuBar& bar, POINT screen)
{
    int index = bar.tracking;
    bool inside = HitButton(bar, screen) == index;
    bar.tracking = -1;
    ReleaseCapture();
    if (inside && bar.buttons[index].dropDown) {
        OpenDropDown(bar, index);
    } else if (inside) {
        // Posted: Exit destroys this bar, which must not happen inside its own pen handling.
        PostMessageW(bar.parent, WM_COMMAND, MAKEWPARAM(bar.buttons[index].command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(bar.window));
    }
    SetPressed(bar, -1);
}

POINT ScreenPointOf(HWND hwnd, LPARAM lParam, bool client)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (client) ClientToScreen(hwnd, &p);
    return p;
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MenuBar* bar = BarOf(hwnd);
    if (!bar) return DefWindowProcW(hwnd, msg, wParam, lParam);
    WNDPROC next = bar->parentProc;
    switch (msg) {
    case WM_NCCALCSIZE: {
        LRESULT result = CallWindowProcW(next, hwnd, msg, wParam, lParam);
        RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                              : reinterpret_cast<RECT*>(lParam);
        client->bottom = std::max(client->top, client->bottom - kMenuBarHeight);
        return result;
    }
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
        LRESULT result = CallWindowProcW(next, hwnd, msg, wParam, lParam);
        Repaint(*bar);
        return result;
    }
    case WM_SIZE:
        // The bar moves with the parent's bottom edge, however the parent was resized.
        RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        break;
    case WM_NCHITTEST:
        if (InStrip(*bar, ScreenPointOf(hwnd, lParam, false))) return kHitBar;
        break;
    case WM_NCLBUTTONDOWN:
        if (wParam != static_cast<WPARAM>(kHitBar)) break;
        OnPenDown(*bar, ScreenPointOf(hwnd, lParam, false));
        return 0;
    case WM_LBUTTONUP:
        if (bar->tracking < 0) break;
        OnPenUp(*bar, ScreenPointOf(hwnd, lParam, true));
        return 0;
    case WM_MOUSEMOVE:
        if (bar->tracking < 0) break;
        SetPressed(*bar, HitButton(*bar, ScreenPointOf(hwnd, lParam, true)) == bar->tracking ? bar->tracking : -1);
        return 0;
    case WM_CAPTURECHANGED:
        if (bar->tracking >= 0) {
            bar->tracking = -1;
            SetPressed(*bar, -1);
        }
        break;
    }
    return CallWindowProcW(next, hwnd, msg, wParam, lParam);
}

void ResizeParent(HWND parent, int grow)
{
    RECT r;
    GetWindowRect(parent, &r);
    SetWindowPos(parent, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + grow,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The bar's window going away takes the strip from the parent.
LRESULT CALLBACK MenuBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCDESTROY) {
        std::unique_ptr<MenuBar> bar(reinterpret_cast<MenuBar*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        if (bar && IsWindow(bar->parent) && BarOf(bar->parent) == bar.get()) {
            SetWindowLongPtrW(bar->parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(bar->parentProc));
            RemovePropW(bar->parent, kBarProperty);
            ResizeParent(bar->parent, -kMenuBarHeight);
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || !IsWindow(info->hwndParent) || BarOf(info->hwndParent)) return FALSE;
    auto bar = std::make_unique<MenuBar>();
    bar->parent = info->hwndParent;
    bar->instance = info->hInstRes;
    if (!(info->dwFlags & SHCMBF_EMPTYBAR) && !LoadButtons(*bar, info->nToolBarId)) return FALSE;
    WNDCLASSW wc{};
    wc.lpfnWndProc = MenuBarProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kMenuBarClass;
    RegisterClassW(&wc);  // fails harmlessly when registered already
    bar->window = CreateWindowExW(0, kMenuBarClass, L"", WS_CHILD, 0, 0, 0, 0, info->hwndParent, nullptr,
                                  wc.hInstance, nullptr);
    if (!bar->window) return FALSE;
    MenuBar* kept = bar.release();
    SetWindowLongPtrW(kept->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(kept));
    SetPropW(kept->parent, kBarProperty, kept);
    kept->parentProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(kept->parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParentProc)));
    ResizeParent(kept->parent, kMenuBarHeight);
    info->hwndMB = kept->window;
    return TRUE;
}

void PaintShellMenuBar(HWND parent, HDC hdc, int top)
{
    if (const MenuBar* bar = BarOf(parent)) PaintBar(*bar, hdc, POINT{0, top});
}

void PaintShellNavigationBar(HWND active, HDC hdc)
{
    constexpr int kTitleLeft = 6;
    FillShellRect(hdc, RECT{0, 0, kScreenWidth, kNavBarHeight}, kShellTitleBack);
    if (!active) return;
    WCHAR title[256] = L"";
    GetWindowTextW(active, title, 256);
    ShellFontScope font(hdc, true);
    DrawShellText(hdc, title, RECT{kTitleLeft, 0, kScreenWidth - kTitleLeft, kNavBarHeight}, kShellTitleText,
                  DT_LEFT | DT_VCENTER);
}
