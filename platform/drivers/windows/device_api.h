// The program's API on Windows: the real user32, gdi32 and kernel32, and the handheld's shell
// over them. Where desktop Windows differs from the handheld, a name the program calls stands for
// the Windows driver's function of the same shape, which adds what the handheld supplied and
// otherwise is the real call: the device's Gothic face for a font that names none, the work-area
// size of a CW_USEDEFAULT window, dialogs laid out in the device's dialog units, keys that tap the
// face's keys, the device's files and help viewer, and what the headless driver needs (windows
// that are never shown, paint into its picture).
#pragma once
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include "platform/win_shell.h"

#ifndef GET_X_LPARAM
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#endif

// The handheld's caption ok button; on the desktop SHInitDialog's ok button stands for it.
#define WS_EX_CAPTIONOKBTN 0x80000000L
// The handheld names the window's and the dialog's slots as 32-bit Windows does.
#ifndef GWL_WNDPROC
#define GWL_WNDPROC GWLP_WNDPROC
#define GWL_USERDATA GWLP_USERDATA
#endif
#ifndef DWL_MSGRESULT
#define DWL_MSGRESULT DWLP_MSGRESULT
#define DWL_DLGPROC DWLP_DLGPROC
#define DWL_USER DWLP_USER
#endif

// The handheld's machine-wide keys are the user's own: HKEY_LOCAL_MACHINE\Software\... of the
// device is HKEY_CURRENT_USER\Software\... here, which needs no administrator.
#undef HKEY_LOCAL_MACHINE
#define HKEY_LOCAL_MACHINE HKEY_CURRENT_USER

HWND WINAPI DeviceCreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                                 int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL WINAPI DeviceShowWindow(HWND hwnd, int command);
HWND WINAPI DeviceFindWindow(LPCWSTR className, LPCWSTR title);
BOOL WINAPI DeviceSetForegroundWindow(HWND hwnd);
BOOL WINAPI DeviceGetMessage(LPMSG msg, HWND hwnd, UINT first, UINT last);
LRESULT WINAPI DeviceDispatchMessage(const MSG* msg);
LRESULT WINAPI DeviceDefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
HWND WINAPI DeviceCreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                                            LPARAM param);
INT_PTR WINAPI DeviceDialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                                            LPARAM param);
HDC WINAPI DeviceBeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL WINAPI DeviceEndPaint(HWND hwnd, const PAINTSTRUCT* ps);
BOOL WINAPI DeviceCreateProcess(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD flags,
                                LPVOID environment, LPCWSTR directory, LPSTARTUPINFOW startup,
                                LPPROCESS_INFORMATION info);
HFONT WINAPI DeviceCreateFontIndirect(const LOGFONTW* font);
BOOL WINAPI DeviceDeleteFile(LPCWSTR path);
BOOL WINAPI DeviceCreateDirectory(LPCWSTR path, LPSECURITY_ATTRIBUTES attributes);

// The driver itself calls the real functions.
#ifndef DEVICE_API_NO_REDIRECT
#undef CreateWindowEx
#define CreateWindowEx DeviceCreateWindowEx
#undef ShowWindow
#define ShowWindow DeviceShowWindow
#undef FindWindow
#define FindWindow DeviceFindWindow
#undef SetForegroundWindow
#define SetForegroundWindow DeviceSetForegroundWindow
#undef GetMessage
#define GetMessage DeviceGetMessage
#undef DispatchMessage
#define DispatchMessage DeviceDispatchMessage
#undef DefWindowProc
#define DefWindowProc DeviceDefWindowProc
#undef CreateDialogIndirectParam
#define CreateDialogIndirectParam DeviceCreateDialogIndirectParam
#undef DialogBoxIndirectParam
#define DialogBoxIndirectParam DeviceDialogBoxIndirectParam
#undef BeginPaint
#define BeginPaint DeviceBeginPaint
#undef EndPaint
#define EndPaint DeviceEndPaint
#undef CreateFontIndirect
#define CreateFontIndirect DeviceCreateFontIndirect
#undef CreateProcess
#define CreateProcess DeviceCreateProcess
#undef DeleteFile
#define DeleteFile DeviceDeleteFile
#undef CreateDirectory
#define CreateDirectory DeviceCreateDirectory
#endif
