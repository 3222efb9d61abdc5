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
// Defined by the face: shows the keys of the mode in `flags`.
void UpdateKeyVisibility(HWND hDlg, DWORD flags);
