// The binary operators and "＝": apply the pending operator to the value on display, show the
// result, and become the pending operator. Strictly left to right, one operator deep.
#include "engine/calc_state.h"
#include "engine/face_ops.h"
#include "engine/key_handlers.h"
#include "engine/key_support.h"
#include "engine/number_text.h"
#include "engine/operator_eval.h"

namespace {

// In HEX and BIN the first operator leaves the entered text as it is ("00FF" stays "00FF").
void ApplyIntKey(CalcBase base, WCHAR* text)
{
    std::int32_t operand = ParseIntText(base, text);
    if (!(g_calc.entryFlags & ENTRY_OP_PENDING)) {
        g_calc.intAccum = operand;
        return;
    }
    g_calc.intAccum = ApplyIntOperator(g_calc.pendingOp, g_calc.intAccum, operand);
    FormatIntText(base, g_calc.intAccum, text);
}

// In DEC the display is always rewritten in the standard form.
void ApplyRealKey(WCHAR* text)
{
    double operand = ParseDecText(text);
    if (!(g_calc.entryFlags & ENTRY_OP_PENDING))
        g_calc.realAccum = operand;
    else
        g_calc.realAccum = ApplyRealOperator(g_calc.pendingOp, g_calc.realAccum, operand);
    FormatDecText(g_calc.realAccum, text);
}

}  // namespace

BOOL OnOperatorKey(HWND hDlg, int id)
{
    WCHAR text[kDisplayTextCap];
    FaceFetchStoreText(hDlg, text);
    CalcBase base = BaseOfCheckedKey(hDlg);
    if (base == BASE_DEC)
        ApplyRealKey(text);
    else
        ApplyIntKey(base, text);
    g_calc.pendingOp = static_cast<std::uint32_t>(id);
    g_calc.entryFlags &= ~static_cast<DWORD>(ENTRY_TYPING);
    g_calc.entryFlags |= ENTRY_OP_PENDING;
    ShowDisplayText(hDlg, text);
    return EndWithRepaint(hDlg);
}
