// Copy and paste of the displayed number: the text a copy puts on the clipboard, the check that
// pasted text is a number the current base can show, and the paste becoming the entry.
#pragma once
#include "platform/windows.h"

// Longer pasted text is refused before anything looks at it.
constexpr int kPasteTextCap = 4096;

// The display text as it is copied: upper case as the panel draws it, without group separators
// and without a trailing point ("1234567." copies as "1234567"). `dest` needs kDisplayTextCap
// units. Returns the length written.
int CopiedNumberText(const WCHAR* displayText, WCHAR* dest);

// True when `text` (terminated within kPasteTextCap units), trimmed of surrounding white space
// and group separators, is a number the base in `modeFlags` can show; `entry` (kDisplayTextCap
// units) then gets it as the display would hold it. False leaves `entry` unspecified.
//   DEC: optional "-", digits with at most one ".", optional exponent; or INF, -INF, NAN. Commas
//        group the integer digits by three ("1,234.5"); a comma anywhere else refuses the text.
//        A number with an exponent comes as a result would show it ("2E5" gives "200000.").
//   HEX: 1 to 8 hex digits; BIN: 1 to 32 binary digits. Spaces or "_" may separate digits.
bool ParsePastedNumber(const WCHAR* text, DWORD modeFlags, WCHAR* entry);

// The pasted number becomes the entry as if typed: typing state, display store, repaint.
BOOL OnPastedNumber(HWND hDlg, const WCHAR* entry);
