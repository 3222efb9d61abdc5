// The entry keys: digits, point, C/CE, ←BS and π. They only edit the text; the value is read when
// an operator, function, memory or base key comes.
#include "engine/calc_state.h"
#include "engine/face_ops.h"
#include "engine/key_handlers.h"
#include "engine/key_support.h"
#include "engine/number_text.h"
#include "resources/resource_ids.h"

namespace {

// Eight HEX digits fill the 32-bit pattern; DEC and BIN are bounded by the store's fetch only.
constexpr int kHexDigitLimit = 8;
const WCHAR kPiText[] = TEXT("3.14159265359");

BOOL IsTyping()
{
    return (g_calc.entryFlags & ENTRY_TYPING) != 0;
}

void BeginEntry(const WCHAR* startText)
{
    CopyDisplayText(startText);
    g_calc.entryFlags |= ENTRY_TYPING;
    g_calc.entryFlags &= ~static_cast<DWORD>(ENTRY_CLEAR_ONCE);
}

}  // namespace

BOOL OnDigitKey(HWND hDlg, int id)
{
    if (IsTyping()) {
        FaceFetchStoreText(hDlg, g_calc.displayText);
        if ((g_calc.modeFlags & MODE_HEX) && TextLength(g_calc.displayText) == kHexDigitLimit)
            return EndWithRepaint(hDlg);
    } else {
        BeginEntry(TEXT(""));
    }
    WCHAR digit[kDisplayTextCap];
    AppendDisplayText(FormatHexText(id - IDC_DIGIT_0, digit));
    FaceSetStoreText(hDlg, g_calc.displayText);
    return EndWithRepaint(hDlg);
}

BOOL OnPointKey(HWND hDlg, int /*id*/)
{
    if (IsTyping())
        FaceFetchStoreText(hDlg, g_calc.displayText);
    else
        BeginEntry(TEXT("0"));
    AppendDisplayText(TEXT("."));
    FaceSetStoreText(hDlg, g_calc.displayText);
    return EndWithRepaint(hDlg);
}

BOOL OnClearKey(HWND hDlg, int /*id*/)
{
    if (g_calc.entryFlags & ENTRY_CLEAR_ONCE) {
        g_calc.pendingOp = 0;
        g_calc.realAccum = 0.0;
        g_calc.entryFlags = 0;
    } else {
        // Clear-entry only: a pending operation survives the first press.
        g_calc.entryFlags &= ~static_cast<DWORD>(ENTRY_TYPING);
        g_calc.entryFlags |= ENTRY_CLEAR_ONCE;
    }
    ShowDisplayText(hDlg, TEXT("0."));
    return EndWithRepaint(hDlg);
}

// Shortens the typed text only; the pending operator's left operand stays what it was.
BOOL OnBackspaceKey(HWND hDlg, int /*id*/)
{
    if (!IsTyping()) return FALSE;
    int length = TextLength(g_calc.displayText);
    if (length <= 1) {
        CopyDisplayText(TEXT("0"));
        g_calc.entryFlags &= ~static_cast<DWORD>(ENTRY_TYPING);
    } else {
        g_calc.displayText[length - 1] = 0;
    }
    FaceSetStoreText(hDlg, g_calc.displayText);
    return EndWithRepaint(hDlg);
}

BOOL OnPiKey(HWND hDlg, int /*id*/)
{
    BeginEntry(kPiText);
    FaceSetStoreText(hDlg, g_calc.displayText);
    return EndWithRepaint(hDlg);
}
