// Shared pieces of the key handlers. The display text's capacity is enforced here, in one place.
#include "engine/key_support.h"

#include "engine/calc_state.h"
#include "engine/face_ops.h"
#include "engine/number_text.h"
#include "resources/resource_ids.h"

CalcBase BaseOfModeFlags(DWORD modeFlags)
{
    if (modeFlags & MODE_DEC) return BASE_DEC;
    if (modeFlags & MODE_HEX) return BASE_HEX;
    return BASE_BIN;
}

CalcBase BaseOfCheckedKey(HWND hDlg)
{
    if (FaceIsKeyChecked(hDlg, IDC_BASE_HEX)) return BASE_HEX;
    if (FaceIsKeyChecked(hDlg, IDC_BASE_DEC)) return BASE_DEC;
    return BASE_BIN;
}

std::int32_t ParseIntText(CalcBase base, const WCHAR* text)
{
    return base == BASE_HEX ? ParseHexText(text) : ParseBinText(text);
}

void FormatIntText(CalcBase base, std::int32_t value, WCHAR* dest)
{
    if (base == BASE_HEX)
        FormatHexText(value, dest);
    else
        FormatBinText(value, dest);
}

void CanonicalText(CalcBase base, const WCHAR* text, WCHAR* dest)
{
    if (base == BASE_DEC)
        FormatDecText(ParseDecText(text), dest);
    else
        FormatIntText(base, ParseIntText(base, text), dest);
}

int TextLength(const WCHAR* text)
{
    int n = 0;
    while (n < kDisplayTextCap && text[n] != 0) ++n;
    return n;
}

void CopyDisplayText(const WCHAR* text)
{
    g_calc.displayText[0] = 0;
    AppendDisplayText(text);
}

void AppendDisplayText(const WCHAR* text)
{
    WCHAR* dest = g_calc.displayText;
    int n = TextLength(dest);
    if (n >= kDisplayTextCap) n = kDisplayTextCap - 1;  // never trust a missing terminator
    for (; n < kDisplayTextCap - 1 && *text != 0; ++n, ++text) dest[n] = *text;
    dest[n] = 0;
}

void ShowDisplayText(HWND hDlg, const WCHAR* text)
{
    CopyDisplayText(text);
    FaceSetStoreText(hDlg, g_calc.displayText);
}

BOOL EndWithRepaint(HWND hDlg)
{
    FaceRepaint(hDlg);
    return TRUE;
}

BOOL EndSettled(HWND hDlg)
{
    g_calc.entryFlags &= ~static_cast<DWORD>(ENTRY_TYPING);
    return EndWithRepaint(hDlg);
}
