// Keys that tap dialog controls: a program registers a table from typed character or virtual key
// to control identifier, and a key reaching a top-level window's default procedure presses the
// control with that identifier in the window's dialogs, if it is shown, as the pen would.
#pragma once
#include <cstddef>
#include "platform/win_types.h"

// One entry: fVirt is FVIRTKEY when `key` is a virtual key (WM_KEYDOWN), 0 when it is a typed
// character (WM_CHAR). `id` is the control tapped.
struct KEYTAP {
    BYTE fVirt;
    WORD key;
    WORD id;
};

// The table stays owned by the caller and must outlive the registration; registering again
// under the same instance replaces it, a null table removes it.
void RegisterKeyTaps(HINSTANCE instance, const KEYTAP* table, std::size_t count);

// DefWindowProc's handling of WM_KEYDOWN, WM_KEYUP and WM_CHAR.
//  - A key's control shows pressed while the key is held; on the key's release it is released
//    and clicked (BN_CLICKED to its parent), through the button's own click.
//  - Auto-repeat does nothing: one click per press, whatever the hold time.
//  - A key going down while another key's control is held completes that tap first, so keys
//    click in the order they were pressed, however the fingers roll.
//  - A character typed with no key down (an input method, a script) taps at once.
//  - A character that comes of a key already tapped by its virtual key is that key's own text
//    and taps nothing; with Ctrl held, characters tap nothing (Ctrl+letters are shortcuts).
//  - Hidden, disabled or missing controls are not pressed: the key does nothing.
void HandleKeyTapMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
