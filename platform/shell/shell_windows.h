// The layer's own top-level windows (navigation bar, menu bar, drop-down menus, message boxes):
// the extended styles that set them apart from the program's windows, and the window core's
// notifications the shell follows. Internal to platform/.
#pragma once
#include <string_view>
#include "platform/windows.h"

// As in Win32: a tap on the window does not make it the active window, and it is never picked
// as the next active window when the active one goes away.
#define WS_EX_NOACTIVATE 0x08000000L
// Reserved for the layer (unused by Win32 and the device's shell): the window is never
// published to other processes, so no other program can find or command it.
#define WS_EX_LAYER_PRIVATE 0x01000000L

// Whether hwnd is a live window of the layer's class `className`, whose data it can trust.
inline bool IsWindowOfClass(HWND hwnd, std::u16string_view className)
{
    WCHAR name[64];
    int length = GetClassName(hwnd, name, 64);
    return length > 0 && std::u16string_view(name, static_cast<std::size_t>(length)) == className;
}
// True for the program's own top-level windows, as opposed to the layer's bars, menus and boxes.
inline bool IsProgramWindow(HWND hwnd)
{
    return !(static_cast<DWORD>(GetWindowLong(hwnd, GWL_EXSTYLE)) & WS_EX_LAYER_PRIVATE);
}

// Called with the new active top-level window (or null) after every activation change.
void SetActiveWindowObserver(void (*observer)(HWND));
// Called after SetWindowText changed the text of a top-level window.
void SetWindowTitleObserver(void (*observer)(HWND));
