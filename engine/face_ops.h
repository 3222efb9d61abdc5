// The engine's only way to the window system: the few face operations its key handlers need.
#pragma once
#include "platform/windows.h"

// Sets the display store's text (the store upper-cases letters).
void FaceSetStoreText(HWND hDlg, LPCWSTR text);
// Fetches the display store's text into `dest` (kDisplayTextCap units), limit 255 with terminator.
void FaceFetchStoreText(HWND hDlg, WCHAR* dest);
BOOL FaceIsKeyChecked(HWND hDlg, int id);
void FaceSetKeyCheck(HWND hDlg, int id, BOOL checked);
void FaceShowKey(HWND hDlg, int id, BOOL show);
void FaceSetKeyCaption(HWND hwndKey, LPCWSTR caption);
// Invalidates the whole face without erasing and paints it before returning.
void FaceRepaint(HWND hDlg);
// Shows exactly the keys of the mode in `modeFlags`. Which keys those are is the face's business:
// it is asked with WM_CALC_SHOWMODEKEYS (wParam: the mode flags), so the engine never calls into
// the face's code.
#define WM_CALC_SHOWMODEKEYS (WM_APP + 1)
void FaceShowModeKeys(HWND hDlg, DWORD modeFlags);
