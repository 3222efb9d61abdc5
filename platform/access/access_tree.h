// The accessibility tree, made from the window tree each time it is asked: objects are windows,
// the text runs a window paints, the menu bar's buttons and items, and the navigation bar's
// "ok" of a dialog. Nothing here knows the bus; the bridge turns it into AT-SPI2.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "platform/windows.h"

enum class AccessKind : std::uint8_t {
    Application,  // the program itself
    Window,       // hwnd
    Painted,      // run `index` that hwnd painted
    MenuButton,   // button `index` of menu bar hwnd
    MenuItem,     // item `item` of the drop-down of button `index` of menu bar hwnd
    NavOk,        // the navigation bar's "ok" while dialog hwnd is active
};

struct AccessRef {
    AccessKind kind = AccessKind::Application;
    HWND hwnd = nullptr;
    int index = 0;
    int item = 0;
    bool operator==(const AccessRef& o) const
    {
        return kind == o.kind && hwnd == o.hwnd && index == o.index && item == o.item;
    }
};

enum AccessInterface : unsigned {
    ACCESS_COMPONENT = 1,
    ACCESS_ACTION = 2,
    ACCESS_TEXT = 4,
    ACCESS_APPLICATION = 8,
};

struct AccessNode {
    std::uint32_t role = 0;
    std::u16string name;
    std::u16string description;
    std::u16string text;       // what the Text interface reads
    std::uint64_t states = 0;  // bits of atspi::State
    unsigned interfaces = 0;
    RECT extents{};            // device screen pixels
};

// False when the object no longer exists (its window is gone, its run or item no longer there).
bool DescribeAccess(const AccessRef& ref, AccessNode* node);
std::vector<AccessRef> AccessChildren(const AccessRef& ref);
// The parent; the application's parent is itself.
AccessRef AccessParent(const AccessRef& ref);
// The position among the parent's children, counted as if the object were included when it is
// not (a key just hidden), or -1 for the application.
int AccessIndexInParent(const AccessRef& ref);
// Whether the object is in the tree now (a hidden key is not).
bool AccessIncluded(const AccessRef& ref);
// The deepest object at a device screen point, under `ref` (itself included); false when none.
bool AccessAtPoint(const AccessRef& ref, POINT screen, AccessRef* found);

// The one action ("click"): false when the object cannot be used now (hidden, disabled, gone).
// The bridge performs it after answering, from the message loop.
bool AccessActionPossible(const AccessRef& ref);
void PerformAccessAction(const AccessRef& ref);
bool GrabAccessFocus(const AccessRef& ref);

// The object standing for hwnd: a window's own.
inline AccessRef WindowRef(HWND hwnd)
{
    return AccessRef{AccessKind::Window, hwnd, 0, 0};
}
// The run a hidden edit control's parent paints for it (its display), or -1.
int DisplayRunOf(HWND edit);
