// The SDL2 backend: the device screen in a desktop window. The pure parts of its mapping are
// declared here too, so they can be checked without a display.
#pragma once
#include "platform/drivers/backend.h"

// open(scale) takes 1..kMaxScreenScale, or 0 for DefaultWindowScale of the desktop.
const Backend& SdlBackend();

// The largest whole factor (1..kMaxScreenScale) at which the device screen takes at most 85% of
// the usable desktop in both directions; 1 when even that does not fit.
int DefaultWindowScale(int usableWidth, int usableHeight);
// The device pixel under a window pixel: rounds toward minus infinity, so a point left of or
// above the window never lands on the screen's first row or column.
POINT DevicePointFromWindow(int x, int y, int scale);
// The virtual key for an SDL key code (SDL_Keycode's value), or 0 for keys the layer does not pass.
int VirtualKeyFromSdlKeycode(int keycode);
