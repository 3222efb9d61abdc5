// The calculator face's dialog procedure and its initialisation.
#include "engine/calc_command.h"
#include "engine/calc_state.h"
#include "engine/face_ops.h"
#include "face/face.h"
#include "resources/resource_ids.h"

COLORREF g_faceColor;

INT_PTR CALLBACK CalcDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:             return OnCalcPaint(hDlg);
    case WM_DRAWITEM:          return OnCalcDrawItem(hDlg, wParam, lParam);
    case WM_INITDIALOG:        return OnCalcInitDialog(hDlg);
    case WM_COMMAND:           return OnCalcCommand(hDlg, wParam, lParam);
    case WM_COPY:              return OnCalcCopy(hDlg);
    case WM_PASTE:             return OnCalcPaste(hDlg);
    case WM_CALC_SHOWMODEKEYS: return OnCalcShowModeKeys(hDlg, wParam);
    }
    return FALSE;
}

BOOL OnCalcInitDialog(HWND hDlg)
{
    g_faceColor = 0x00FFCC99;
    g_calc.intMemory = 0;
    g_calc.realMemory = 0.0;
    g_calc.displayText[0] = u'0';
    g_calc.displayText[1] = u'.';
    g_calc.displayText[2] = 0;
    SetDlgItemText(hDlg, IDC_DISPLAY_STORE, g_calc.displayText);
    SendDlgItemMessage(hDlg, IDC_BASE_HEX, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessage(hDlg, IDC_BASE_DEC, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessage(hDlg, IDC_BASE_BIN, BM_SETCHECK, BST_UNCHECKED, 0);
    UpdateKeyVisibility(hDlg, g_calc.modeFlags);
    return TRUE;
}

BOOL OnCalcShowModeKeys(HWND hDlg, WPARAM modeFlags)
{
    UpdateKeyVisibility(hDlg, static_cast<DWORD>(modeFlags));
    return TRUE;
}
