// Messages private to the layer (never seen by the program's procedures as anything but
// DefWindowProc work).
#pragma once

// Another process asked for this top-level window to come to the front.
#define WM_PLATFORM_RAISE 0x7FF0
