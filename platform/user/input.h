// Pen and key input, as the backends (and the driver's taps) deliver it: to the window under the
// pen, or to the window that captured it; keys to the active window.
#pragma once
#include "platform/extras.h"
#include "platform/windows.h"


// The modifier keys' state, as the backend last saw it (GetKeyState and the accelerators read it).
void SetModifierState(bool ctrl, bool shift, bool alt);

void RunThreadMessageHook(const MSG& msg);

// As a window manager's close button: WM_CLOSE posted to the program's main window, its first
// top-level window of its own; without one, the quit message.
void CloseProgramWindows();

