// The mode keys: the three base keys (which convert only the display text), RAD/DEG and the
// trigonometric panel key.
#include "engine/calc_state.h"
#include "engine/face_ops.h"
#include "engine/key_handlers.h"
#include "engine/key_support.h"
#include "engine/number_text.h"
#include "resources/resource_ids.h"

namespace {

CalcBase BaseOfKey(int id)
{
    if (id == IDC_BASE_HEX) return BASE_HEX;
    if (id == IDC_BASE_DEC) return BASE_DEC;
    return BASE_BIN;
}

DWORD ModeFlagOfBase(CalcBase base)
{
    if (base == BASE_HEX) return MODE_HEX;
    if (base == BASE_DEC) return MODE_DEC;
    return MODE_BIN;
}

// DEC to an integer base truncates (saturating); an integer base to DEC is exact. The current
// base's own key rewrites the text in its canonical form.
void ConvertDisplayedValue(CalcBase from, CalcBase to, const WCHAR* text, WCHAR* dest)
{
    if (from == to) {
        CanonicalText(from, text, dest);
    } else if (to == BASE_DEC) {
        FormatDecText(IntToReal(ParseIntText(from, text)), dest);
    } else {
        std::int32_t value = from == BASE_DEC ? RealToInt(ParseDecText(text)) : ParseIntText(from, text);
        FormatIntText(to, value, dest);
    }
}

// Exactly the new base's key ends up checked.
void CheckBaseKey(HWND hDlg, CalcBase base)
{
    if (base == BASE_HEX) {
        FaceSetKeyCheck(hDlg, IDC_BASE_DEC, FALSE);
        FaceSetKeyCheck(hDlg, IDC_BASE_HEX, TRUE);
        FaceSetKeyCheck(hDlg, IDC_BASE_BIN, FALSE);
    } else if (base == BASE_DEC) {
        FaceSetKeyCheck(hDlg, IDC_BASE_HEX, FALSE);
        FaceSetKeyCheck(hDlg, IDC_BASE_DEC, TRUE);
        FaceSetKeyCheck(hDlg, IDC_BASE_BIN, FALSE);
    } else {
        FaceSetKeyCheck(hDlg, IDC_BASE_HEX, FALSE);
        FaceSetKeyCheck(hDlg, IDC_BASE_DEC, FALSE);
        FaceSetKeyCheck(hDlg, IDC_BASE_BIN, TRUE);
    }
}

}  // namespace

BOOL OnBaseKey(HWND hDlg, int id)
{
    WCHAR text[kDisplayTextCap];
    FaceFetchStoreText(hDlg, text);
    CalcBase to = BaseOfKey(id);
    WCHAR converted[kDisplayTextCap];
    ConvertDisplayedValue(BaseOfModeFlags(g_calc.modeFlags), to, text, converted);

    // Only the text crosses over: the pending operation would mix kinds, so it ends here.
    g_calc.entryFlags &= ~static_cast<DWORD>(ENTRY_TYPING | ENTRY_OP_PENDING);
    ShowDisplayText(hDlg, converted);
    CheckBaseKey(hDlg, to);
    // The visibility update reads MODE_DEGREES from g_calc itself, so store first.
    g_calc.modeFlags = (g_calc.modeFlags & ~static_cast<DWORD>(MODE_BASE_MASK)) | ModeFlagOfBase(to);
    FaceShowModeKeys(hDlg, g_calc.modeFlags);
    return EndWithRepaint(hDlg);
}

// The caption names the unit the next press selects; π shows only where angles are radians.
BOOL OnAngleUnitKey(HWND hDlg, int /*id*/, LPARAM lParam)
{
    HWND angleKey = reinterpret_cast<HWND>(lParam);
    if (g_calc.modeFlags & MODE_DEGREES) {
        g_calc.modeFlags &= ~static_cast<DWORD>(MODE_DEGREES);
        FaceShowKey(hDlg, IDC_PI, TRUE);
        FaceSetKeyCaption(angleKey, TEXT("DEG"));
    } else {
        g_calc.modeFlags |= MODE_DEGREES;
        FaceShowKey(hDlg, IDC_PI, FALSE);
        FaceSetKeyCaption(angleKey, TEXT("RAD"));
    }
    return EndWithRepaint(hDlg);
}

BOOL OnTrigPanelKey(HWND hDlg, int /*id*/)
{
    g_calc.modeFlags ^= MODE_TRIG_PANEL;
    FaceShowModeKeys(hDlg, g_calc.modeFlags);
    return EndWithRepaint(hDlg);
}
