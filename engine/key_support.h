// Helpers the key handlers share: the base in use, base-dependent reading and writing, bounded
// copies into the display text, and the two ways a handled command ends.
#pragma once
#include <cstdint>
#include "platform/windows.h"

enum CalcBase { BASE_DEC, BASE_HEX, BASE_BIN };

CalcBase BaseOfModeFlags(DWORD modeFlags);
// The binary operators take the base from the check state of the base keys.
CalcBase BaseOfCheckedKey(HWND hDlg);

// HEX and BIN only.
std::int32_t ParseIntText(CalcBase base, const WCHAR* text);
void FormatIntText(CalcBase base, std::int32_t value, WCHAR* dest);
// Reads the text in `base` and writes it back in `base`'s canonical form.
void CanonicalText(CalcBase base, const WCHAR* text, WCHAR* dest);

int TextLength(const WCHAR* text);
// Both cut at kDisplayTextCap - 1 characters and always terminate.
void CopyDisplayText(const WCHAR* text);
void AppendDisplayText(const WCHAR* text);
// displayText becomes `text`, then the display store gets displayText.
void ShowDisplayText(HWND hDlg, const WCHAR* text);

// Repaint and report the command handled.
BOOL EndWithRepaint(HWND hDlg);
// End the entry, then repaint and report the command handled.
BOOL EndSettled(HWND hDlg);
