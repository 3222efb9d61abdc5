// The device screen's navigation bar: the 26 pixels at the top that show the active top-level
// window's title and, for a dialog that asks for one, an "ok" button sending it IDOK.
#pragma once
#include <string>
#include "platform/windows.h"

// Creates the bar (later calls do nothing while it exists) and from then on follows activation
// and title changes; the bar goes when the program's last top-level window goes, and comes back
// when another is activated.
void InstallNavigationBar();
HWND NavigationBarWindow();
// Whether `window` gets the bar's "ok" button while it is active (windows with
// WS_EX_CAPTIONOKBTN get it without asking).
void SetNavigationBarDoneButton(HWND window, bool shown);
// The "ok" button's screen rectangle; false when the active window shows none.
bool NavigationBarOkRect(RECT* rect);
// The title the bar painted last.
std::u16string NavigationBarTitle();
