// The application shell's globals and entry points.
#pragma once
#include "platform/windows.h"

extern HINSTANCE g_hInst;
extern HWND g_hwndCalc;
extern HWND g_hwndMenuBar;

int AppMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
BOOL InitMainWindow(HINSTANCE hInstance, int nCmdShow);
ATOM RegisterMainWndClass(HINSTANCE hInstance, LPCWSTR className);
LRESULT CALLBACK MainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
HWND CreateMainMenuBar(HWND hWnd);
LRESULT OnMainCommand(HWND hWnd, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
