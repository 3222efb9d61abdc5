// The shell on desktop Windows, to the Windows driver: the headless picture paints the menu bar
// and the navigation bar through these. Internal to platform/.
#pragma once
#include <windows.h>

// The menu bar of `parent`, if it has one, with its top edge at `top` in `hdc`'s coordinates,
// which are the parent's client coordinates.
void PaintShellMenuBar(HWND parent, HDC hdc, int top);
// The handheld's navigation bar along the top of the device screen: `active`'s title.
void PaintShellNavigationBar(HWND active, HDC hdc);
