// Keys that tap dialog controls (the program registers its table through extras.h).
#pragma once
#include "platform/extras.h"

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
