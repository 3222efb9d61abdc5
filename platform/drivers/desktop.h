// What the desktop backends (x11, sdl) share: the window's scale, the program's main window, its
// title and icon, and closing it as the desktop asks. Pure where it can be, so it is tested
// without a display.
#pragma once
#include <string>
#include <vector>
#include "platform/extras.h"
#include "platform/windows.h"

struct IconImage;


// The largest whole factor (1..kMaxScreenScale) at which the device screen takes at most 85% of
// the usable desktop in both directions; 1 when even that does not fit.
int DefaultWindowScale(int usableWidth, int usableHeight);
// The largest whole factor at which the device screen fits the usable desktop whole; 1 at least.
int LargestFittingScale(int usableWidth, int usableHeight);
// The scale a window opens at. `requested` 0: the desktop's density (`dpi`, 0 when unknown)
// within DefaultWindowScale. An explicit 1..kMaxScreenScale that does not fit is lowered to
// LargestFittingScale and `*lowered` says why in one line (empty otherwise). A usable area of
// 0 x 0 (unknown) lowers nothing.
int ChooseWindowScale(int requested, double dpi, int usableWidth, int usableHeight, std::string* lowered);
// The same, saying the line on standard error.
int ChooseWindowScaleLoudly(int requested, double dpi, int usableWidth, int usableHeight);
// The device pixel under a window pixel: rounds toward minus infinity, so a point left of or
// above the window never lands on the screen's first row or column.
POINT DevicePointFromWindow(int x, int y, int scale);

// The program's main window: its first top-level window that is not the layer's own.
HWND DesktopMainWindow();
// The desktop window's title: the main window's text in UTF-8, so that it stays the program's
// name while a dialog or a message box is up. False when there is none yet.
bool DesktopTitle(std::string* utf8);
// The images of the main window's class icon; null when it has none.
const std::vector<IconImage>* DesktopIconImages();
