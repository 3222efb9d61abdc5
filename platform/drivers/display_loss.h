// What happens when the X server goes away under a running window: the program says so in one
// line on standard error, withdraws its published windows and ends with status 1.
#pragma once

// Takes over Xlib's handler of a lost connection, when Xlib is loaded at all (an SDL on another
// video driver has nothing to watch). Call once the display is open.
void WatchForDisplayLoss();

// Says so, withdraws the published windows and ends the process with status 1.
[[noreturn]] void EndWithoutDisplay();
