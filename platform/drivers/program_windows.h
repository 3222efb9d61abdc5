// What every desktop backend does alike, over the public API: the title to show and closing the
// program when the desktop's close button is pressed. Internal to drivers/.
#pragma once
#include <string>

// The active window's title in UTF-8; empty when there is none (or no title).
std::string ActiveWindowTitle();
// Closes the program as its main window's close button would: WM_CLOSE to the bottom-most of the
// program's top-level windows, or the end of the message loop when it has none.
void CloseProgram();
