// The calculator face: its dialog procedure and the handlers it routes to.
#pragma once
#include "platform/windows.h"

extern COLORREF g_faceColor;

INT_PTR CALLBACK CalcDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL OnCalcInitDialog(HWND hDlg);
BOOL OnCalcPaint(HWND hDlg);
BOOL OnCalcDrawItem(HWND hDlg, WPARAM wParam, LPARAM lParam);
// WM_COPY: the displayed number to the clipboard. WM_PASTE: the clipboard's number, if it is one
// the current base can show, becomes the entry; anything else changes nothing.
BOOL OnCalcCopy(HWND hDlg);
BOOL OnCalcPaste(HWND hDlg);
// The engine's request to show the keys of a mode (engine/face_ops.h).
BOOL OnCalcShowModeKeys(HWND hDlg, WPARAM modeFlags);
// Shows exactly the keys of the mode in `flags`; π follows MODE_DEGREES of g_calc.
void UpdateKeyVisibility(HWND hDlg, DWORD flags);
