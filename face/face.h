// The calculator face: its dialog procedure and the handlers it routes to.
#pragma once
#include "platform/windows.h"

extern COLORREF g_faceColor;

INT_PTR CALLBACK CalcDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL OnCalcInitDialog(HWND hDlg);
BOOL OnCalcPaint(HWND hDlg);
BOOL OnCalcDrawItem(HWND hDlg, WPARAM wParam, LPARAM lParam);
void UpdateKeyVisibility(HWND hDlg, DWORD flags);
