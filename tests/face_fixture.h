// Starts the program's main window and face the way the program does, for tests.
#pragma once
#include "platform/windows.h"

// Resets the calculator state to its load-time zeros, then runs the real start-up
// (InitMainWindow: main window, menu bar, face). Returns the face dialog.
HWND CreateTestFace();
// Destroys the main window and forgets the quit message its end posts.
void DestroyTestFace();
// Sends the face the command of key `id` as a click would; returns the dialog procedure's result
// (SendMessage to a dialog answers with DWL_MSGRESULT instead, as in Win32).
BOOL PressKey(HWND face, int id);
// The same with any notification code.
BOOL SendFaceCommand(HWND face, int id, int code);
// Presses the keys named by driver tokens ("5 + 3 =").
void PressKeys(HWND face, const char* tokens);
