// The controls room's own view: the predefined classes' procedures, their registration and the
// text painting the text controls share. Internal to controls/.
#pragma once
#include "platform/windows.h"

// A dialog's extra bytes: Win32's three DWLP_ slots, then a pointer to its private state.
constexpr int DWLP_PRIVATE = DWLP_USER + static_cast<int>(sizeof(LONG_PTR));
constexpr int kDialogExtraBytes = DWLP_PRIVATE + static_cast<int>(sizeof(LONG_PTR));

LRESULT CALLBACK DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Dialog units to pixels for a dialog's font.
void DialogBaseUnits(int* bx, int* by);

// Registers the dialog class and the controls once: before the first dialog or message box.
void EnsureControlClasses();

// The window's text in its font (WM_GETFONT), in `color` with a transparent background.
void DrawControlText(HWND hwnd, HDC hdc, RECT rect, COLORREF color, UINT format);
// A whole paint of a text control: white background, then its text in black with `format`.
void PaintControlText(HWND hwnd, UINT format);
