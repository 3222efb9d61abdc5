// Every key's handler. Each ends the command itself (repaint, settle or refuse) and returns what
// OnCalcCommand returns: TRUE when handled.
#pragma once
#include "platform/windows.h"

BOOL OnDigitKey(HWND hDlg, int id);
BOOL OnPointKey(HWND hDlg, int id);
BOOL OnClearKey(HWND hDlg, int id);
BOOL OnBackspaceKey(HWND hDlg, int id);
BOOL OnPiKey(HWND hDlg, int id);
BOOL OnOperatorKey(HWND hDlg, int id);
BOOL OnUnaryKey(HWND hDlg, int id);
BOOL OnMemoryKey(HWND hDlg, int id);
BOOL OnBaseKey(HWND hDlg, int id);
BOOL OnAngleUnitKey(HWND hDlg, int id, LPARAM lParam);
BOOL OnTrigPanelKey(HWND hDlg, int id);
