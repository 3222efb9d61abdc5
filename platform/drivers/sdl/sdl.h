// The SDL2 backend: the device screen in a desktop window. The pure part of its key mapping is
// declared here too, so it can be checked without a display.
#pragma once
#include "platform/drivers/backend.h"
#include "platform/drivers/desktop.h"

// open(scale) takes 1..kMaxScreenScale, or 0 for the desktop's own choice (desktop.h).
const Backend& SdlBackend();

// The virtual key for an SDL key code (SDL_Keycode's value), or 0 for keys the layer does not pass.
int VirtualKeyFromSdlKeycode(int keycode);
