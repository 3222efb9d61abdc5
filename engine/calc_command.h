// The engine's single entry point for the face's key commands, and the key groups it routes by.
#pragma once
#include "platform/windows.h"

// wParam: command identifier (low word), notification code (high word); lParam: the key's window.
// TRUE when the command was handled (the face is then repainted), FALSE otherwise.
BOOL OnCalcCommand(HWND hDlg, WPARAM wParam, LPARAM lParam);

BOOL IsDigitKey(int id);
BOOL IsBinaryOperatorKey(int id);
BOOL IsMemoryKey(int id);
BOOL IsBaseKey(int id);
