// The application shell's globals and entry points.
#pragma once
#include "platform/windows.h"

extern HINSTANCE g_hInst;
extern HWND g_hwndCalc;
extern HWND g_hwndMenuBar;
