// Keys that tap dialog controls (the program registers its table through extras.h). The rules
// are the same in both builds: the platform's DefWindowProc and the Windows driver's hand their
// key messages here.
#pragma once
#include "platform/extras.h"
#include "platform/windows.h"

// Handling of WM_KEYDOWN, WM_KEYUP and WM_CHAR.
//  - A key's control shows pressed while the key is held; on the key's release it is released
//    and clicked (BN_CLICKED to its parent), through the button's own click.
//  - Auto-repeat does nothing: one click per press, whatever the hold time.
//  - A key going down while another key's control is held completes that tap first, so keys
//    click in the order they were pressed, however the fingers roll.
//  - A character typed with no key down (an input method, a script) taps at once.
//  - A character that comes of a key already tapped by its virtual key is that key's own text
//    and taps nothing; with Ctrl held, characters tap nothing (Ctrl+letters are shortcuts).
//  - Hidden, disabled or missing controls are not pressed: the key does nothing.
//  - Keys the table does not name, where KeyTapsMoveFocus(): Tab and Shift+Tab move the focus to
//    the next or previous shown control of the window's dialogs (creation order, which is
//    template order) and from then on show where it is; Space presses the focused control as
//    its own key would.
void HandleKeyTapMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Whether the top-level window `root` has a table: its keys are its own, whichever control has
// the focus.
bool HasKeyTaps(HWND root);

// Whether the focus is shown (a ring around the focused control): off until Tab is first used,
// so that a program driven by the pen or its own keys looks as it always did.
bool KeyboardCuesShown();

// What each build supplies: whether keys reach the controls of the top-level window `root` as
// far as the window itself goes (the Windows driver's headless windows are never shown), and
// whether Tab and Space move and use the focus (only where a ring shows it).
bool KeyTapsReachWindow(HWND root);
bool KeyTapsMoveFocus();
