// The Windows driver's parts, to one another. Internal to the driver.
#pragma once
#include <string>
#include <vector>
#include <windows.h>

// Whether OpenDesktopWindow was called: windows show on the desktop. Otherwise the run is
// headless and the program's top-level windows are never shown.
bool DesktopShown();
// The program's live top-level windows, oldest first.
std::vector<HWND> ProgramTopLevelWindows();
// The outer size of a window whose client area is the handheld's work area.
SIZE WorkAreaWindowSize(DWORD style, DWORD exStyle);
// Paints every shown window of `top` into `hdc`, whose origin is the top-left corner of the
// device screen's work area (the client area's top-left corner), and the menu bar below it.
void PaintWindowTree(HWND top, HDC hdc, POINT workAreaOrigin);
// The device root: $<PROGRAM>_DEVICE_ROOT, else %LOCALAPPDATA%\<Program>\device; created when
// missing. Empty when it cannot be had.
std::wstring DeviceRootFolder();
// A device path ("\Windows\x.htp") as a path under the device root; false, with the thread's
// last error set, for a path that would name anything outside it.
bool MapDevicePathToHost(LPCWSTR devicePath, std::wstring* hostPath);
// Makes a new dialog's controls answer screen readers with their registered descriptions, and a
// hidden edit control (a display the dialog paints) as shown read-only text.
void MakeControlsAccessible(HWND dialog);
