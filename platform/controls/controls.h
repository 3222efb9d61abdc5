// The controls room's own view: the predefined classes' procedures, their registration and the
// text painting the text controls share. Internal to controls/.
#pragma once
#include "platform/windows.h"

extern const WCHAR kDialogClassName[];
LRESULT CALLBACK DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers the dialog class and the controls once: before the first dialog or message box.
void EnsureControlClasses();

// The window's text in its font (WM_GETFONT), in `color` with a transparent background.
void DrawControlText(HWND hwnd, HDC hdc, RECT rect, COLORREF color, UINT format);
// A whole paint of a text control: white background, then its text in black with `format`.
void PaintControlText(HWND hwnd, UINT format);
