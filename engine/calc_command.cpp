// Routes each key command of the face to its handler; it does no work of its own.
#include "engine/calc_command.h"

#include "engine/key_handlers.h"
#include "engine/unary_functions.h"
#include "resources/resource_ids.h"

BOOL IsDigitKey(int id)
{
    return id >= IDC_DIGIT_0 && id <= IDC_DIGIT_F;
}

BOOL IsBinaryOperatorKey(int id)
{
    switch (id) {
    case IDC_SUB: case IDC_ADD: case IDC_MUL: case IDC_DIV: case IDC_EQUALS:
    case IDC_AND: case IDC_OR: case IDC_XOR: case IDC_MOD: case IDC_POWER:
        return TRUE;
    }
    return FALSE;
}

BOOL IsMemoryKey(int id)
{
    return id >= IDC_MEM_CLEAR && id <= IDC_MEM_SUB;
}

BOOL IsBaseKey(int id)
{
    return id == IDC_BASE_HEX || id == IDC_BASE_DEC || id == IDC_BASE_BIN;
}

BOOL OnCalcCommand(HWND hDlg, WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    int id = LOWORD(wParam);
    if (IsDigitKey(id))          return OnDigitKey(hDlg, id);
    if (IsBinaryOperatorKey(id)) return OnOperatorKey(hDlg, id);
    if (IsUnaryKey(id))          return OnUnaryKey(hDlg, id);
    if (IsMemoryKey(id))         return OnMemoryKey(hDlg, id);
    if (IsBaseKey(id))           return OnBaseKey(hDlg, id);
    switch (id) {
    case IDC_POINT:      return OnPointKey(hDlg, id);
    case IDC_CLEAR:      return OnClearKey(hDlg, id);
    case IDC_BACKSPACE:  return OnBackspaceKey(hDlg, id);
    case IDC_PI:         return OnPiKey(hDlg, id);
    case IDC_ANGLE_UNIT: return OnAngleUnitKey(hDlg, id, lParam);
    case IDC_TRIG_PANEL: return OnTrigPanelKey(hDlg, id);
    }
    return FALSE;
}
