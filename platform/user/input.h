// Pen and key input, as the backends (and the driver's taps) deliver it: to the window under the
// pen, or to the window that captured it; keys to the active window.
#pragma once
#include "platform/windows.h"

void InjectPenDown(POINT screen);
void InjectPenMove(POINT screen);
void InjectPenUp(POINT screen);
// A tap: pen down and up at one point.
void InjectTap(POINT screen);

// Messages posted to a null window go to this hook when dispatched (the driver uses one to run
// inside the program's own message loop).
void SetThreadMessageHook(void (*hook)(const MSG& msg));
void RunThreadMessageHook(const MSG& msg);

// Whether top-level windows are published to, and looked up in, other processes.
void EnableCrossProcessWindows(bool enable);
bool CrossProcessWindowsEnabled();

// The signal (TERM, INT, HUP or QUIT) that made the program close its windows, or 0. While
// windows are published these signals close them as the close button would, so nothing is left
// behind; the program may end with status 128 + the signal.
int EndingSignal();

