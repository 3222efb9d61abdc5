// The face operations the engine needs, on the face's own controls. Results of the platform calls
// are not examined: the face owns these controls for as long as the engine can be called.
#include "engine/face_ops.h"

#include "engine/calc_state.h"
#include "resources/resource_ids.h"

void FaceSetStoreText(HWND hDlg, LPCWSTR text)
{
    SetDlgItemText(hDlg, IDC_DISPLAY_STORE, text);
}

void FaceFetchStoreText(HWND hDlg, WCHAR* dest)
{
    dest[0] = 0;  // a failed fetch reads as the empty text
    GetDlgItemText(hDlg, IDC_DISPLAY_STORE, dest, kStoreFetchLimit);
}

BOOL FaceIsKeyChecked(HWND hDlg, int id)
{
    return SendDlgItemMessage(hDlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FaceSetKeyCheck(HWND hDlg, int id, BOOL checked)
{
    SendDlgItemMessage(hDlg, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void FaceShowKey(HWND hDlg, int id, BOOL show)
{
    ShowWindow(GetDlgItem(hDlg, id), show ? SW_SHOW : SW_HIDE);
}

void FaceSetKeyCaption(HWND hwndKey, LPCWSTR caption)
{
    SetWindowText(hwndKey, caption);
}

void FaceRepaint(HWND hDlg)
{
    InvalidateRect(hDlg, nullptr, FALSE);
    UpdateWindow(hDlg);
}

void FaceShowModeKeys(HWND hDlg, DWORD modeFlags)
{
    SendMessage(hDlg, WM_CALC_SHOWMODEKEYS, modeFlags, 0);
}
