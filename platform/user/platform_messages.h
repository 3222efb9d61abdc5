// Messages private to the layer (never seen by the program's procedures as anything but
// DefWindowProc work).
#pragma once

// Another process asked for this top-level window to come to the front.
#define WM_PLATFORM_RAISE 0x7FF0

// Posted to the thread (no window) when the process is asked to end from outside: the program's
// windows are closed as a window manager's close button would (wParam: the signal).
#define WM_PLATFORM_CLOSE_PROGRAM 0x7FF1

