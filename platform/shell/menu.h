// The shell's menus: menu templates and menu-bar resources read into plain data, the menu bar
// window that SHCreateMenuBar makes from them, and its drop-down menus. Internal to platform/.
#pragma once
#include <cstddef>
#include <string>
#include <vector>
#include "platform/windows.h"

constexpr std::size_t kMenuItemCap = 256;     // items in one menu template, all levels together
constexpr int kMenuDepthCap = 8;              // pop-ups inside pop-ups
constexpr std::size_t kMenuBarButtonCap = 16;

struct ShellMenuItem {
    UINT flags = 0;  // MF_POPUP, MF_GRAYED, MF_SEPARATOR as the template has them (MF_END dropped)
    UINT id = 0;
    WideString text;
    std::vector<ShellMenuItem> items;  // a pop-up's entries
    bool IsSeparator() const { return (flags & MF_SEPARATOR) || (!(flags & MF_POPUP) && id == 0 && text.empty()); }
    bool IsSelectable() const { return !IsSeparator() && !(flags & (MF_GRAYED | MF_POPUP)); }
};

// A menu template: version and header size, then items; MF_END closes each level.
// False for anything malformed or over the caps.
bool ParseMenuTemplate(const void* data, std::size_t size, std::vector<ShellMenuItem>* items);

struct ShellMenuBarButton {
    UINT command = 0;
    UINT state = 0;    // TBSTATE_*
    UINT style = 0;    // TBSTYLE_*
    UINT labelId = 0;  // string resource
    UINT menuIndex = 0;
};
struct ShellMenuBarResource {
    UINT menuId = 0;
    std::vector<ShellMenuBarButton> buttons;
};

// A menu-bar resource: menu id, button count, then per button seven words: image, command,
// state, style, label string, 0, menu index. False when malformed or over the cap.
bool ParseMenuBarResource(const void* data, std::size_t size, ShellMenuBarResource* out);

// The drop-down menu window. It opens with its bottom-left corner at `bottomLeft` (screen),
// holds the pen until it closes, posts the chosen item's command to `target` and tells
// `owner` WM_SHELL_MENU_CLOSED when it goes.
#define WM_SHELL_MENU_CLOSED (WM_USER + 0x31)
HWND OpenShellMenuPopup(const std::vector<ShellMenuItem>& items, POINT bottomLeft, HWND target, HWND owner);
// Screen rectangle of the popup's item `index` (separators count); false if there is none.
bool ShellMenuPopupItemRect(HWND popup, int index, RECT* rect);

// The menu bar's button `index`, in screen coordinates; false if there is none.
bool ShellMenuBarButtonRect(HWND menuBar, int index, RECT* rect);
// The menu bar's open drop-down menu, or null.
HWND ShellMenuBarPopup(HWND menuBar);

// What the accessibility bridge lists of a menu bar: its buttons, and a drop-down button's
// items (in the order of ShellMenuPopupItemRect's indexes). False when `menuBar` is no menu bar,
// or `button` no drop-down button of it.
struct ShellMenuEntry {
    std::u16string text;
    bool enabled = true;
    bool dropDown = false;
    bool separator = false;
};
bool ShellMenuBarEntries(HWND menuBar, std::vector<ShellMenuEntry>* buttons);
bool ShellMenuBarItems(HWND menuBar, int button, std::vector<ShellMenuEntry>* items);
// The visible menu bar made for `owner` (SHCreateMenuBar's hwndParent), or null.
HWND ShellMenuBarOf(HWND owner);
// The window the bar was made for, or null when `menuBar` is no menu bar.
HWND ShellMenuBarOwner(HWND menuBar);
// The button whose drop-down is open, or -1.
int ShellMenuBarOpenButton(HWND menuBar);
