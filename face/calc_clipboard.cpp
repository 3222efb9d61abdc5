// The face's copy and paste: the displayed number to the clipboard's text and back. The engine
// says what is copied and whether a paste is a number; this file only talks to the clipboard.
#include <cstring>
#include "engine/calc_state.h"
#include "engine/clipboard_entry.h"
#include "face/face.h"

BOOL OnCalcCopy(HWND hDlg)
{
    WCHAR text[kDisplayTextCap];
    int length = CopiedNumberText(g_calc.displayText, text);
    std::size_t bytes = static_cast<std::size_t>(length + 1) * sizeof(WCHAR);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* dest = GlobalLock(mem);
    if (!dest) return TRUE;
    std::memcpy(dest, text, bytes);
    GlobalUnlock(mem);
    if (!OpenClipboard(hDlg)) {
        GlobalFree(mem);
        return TRUE;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
    CloseClipboard();
    return TRUE;
}

BOOL OnCalcPaste(HWND hDlg)
{
    if (!OpenClipboard(hDlg)) return TRUE;
    WCHAR entry[kDisplayTextCap];
    bool isNumber = false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    // The clipboard's block always ends in a terminator; the check reads no further than its cap.
    if (auto* text = static_cast<const WCHAR*>(GlobalLock(data))) {
        isNumber = ParsePastedNumber(text, g_calc.modeFlags, entry);
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (isNumber) OnPastedNumber(hDlg, entry);
    return TRUE;
}
