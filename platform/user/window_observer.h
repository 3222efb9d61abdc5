// What the window core tells an observer as it happens (the accessibility bridge follows the
// window tree this way). One observer; none by default, and then each notice costs one test.
// Internal to platform/.
#pragma once
#include "platform/windows.h"

enum class WindowChange {
    Created,    // WM_CREATE has returned
    Destroyed,  // about to leave the table: the handle still answers
    Shown,
    Hidden,
    Text,       // WM_SETTEXT reached the default procedure
    State,      // a control's own state (a button's check or pushed state)
    Enabled,    // enabled or disabled
    Focus,      // the focus moved to this window, or away from it
    Active,     // this top-level window became the active one, or stopped being it
};

struct WindowObserver {
    void (*changed)(HWND hwnd, WindowChange change);
    // BeginPaint (begins true, `area` the update rectangle in client coordinates) and EndPaint.
    void (*painting)(HWND hwnd, HDC hdc, const RECT& area, bool begins);
};

// The observer stays owned by the caller; null removes it.
void SetWindowObserver(const WindowObserver* observer);

void NotifyWindowChange(HWND hwnd, WindowChange change);
void NotifyPainting(HWND hwnd, HDC hdc, const RECT& area, bool begins);
