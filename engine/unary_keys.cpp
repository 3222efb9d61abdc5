// The unary keys: replace the value on display by a function of it. Accumulators, the pending
// operator and the memories stay, so the result can be a pending operator's right operand.
#include "engine/calc_state.h"
#include "engine/face_ops.h"
#include "engine/key_handlers.h"
#include "engine/key_support.h"
#include "engine/number_text.h"
#include "engine/unary_functions.h"

BOOL OnUnaryKey(HWND hDlg, int id)
{
    WCHAR text[kDisplayTextCap];
    FaceFetchStoreText(hDlg, text);
    CalcBase base = BaseOfModeFlags(g_calc.modeFlags);
    if (base == BASE_DEC) {
        BOOL degrees = (g_calc.modeFlags & MODE_DEGREES) != 0;
        FormatDecText(ApplyRealFunction(id, ParseDecText(text), degrees), text);
    } else {
        FormatIntText(base, ApplyIntFunction(id, ParseIntText(base, text)), text);
    }
    ShowDisplayText(hDlg, text);
    return EndSettled(hDlg);
}
