// The clipboard: Win32's open / empty / set / get / close over the backend's text clipboard.
// Text crosses as UTF-8; what the backend holds is never trusted: too big or malformed text
// reads as no text. Knowingly lacks: formats other than CF_UNICODETEXT, WM_DESTROYCLIPBOARD and
// the other owner notifications.
#include <string>
#include "platform/drivers/backend.h"
#include "platform/win_clipboard.h"
#include "platform/kernel/host_text.h"
#include "platform/user/window_internal.h"

namespace {

struct ClipboardState {
    bool open = false;
    HWND owner = nullptr;
    HGLOBAL block = nullptr;  // the last block handed in or out; the clipboard owns it
};
ClipboardState g_clip;

void DropBlock()
{
    if (g_clip.block) GlobalFree(g_clip.block);
    g_clip.block = nullptr;
}

bool RefuseUnlessOpen()
{
    if (g_clip.open) return false;
    SetLastError(1418);  // ERROR_CLIPBOARD_NOT_OPEN
    return true;
}

// The block's text up to its terminator or its end, whichever comes first.
std::u16string_view TextOfBlock(HGLOBAL mem)
{
    auto* text = static_cast<const WCHAR*>(GlobalLock(mem));
    if (!text) return {};
    std::size_t units = GlobalSize(mem) / sizeof(WCHAR);
    std::size_t n = 0;
    while (n < units && text[n] != 0) ++n;
    return std::u16string_view(text, n);
}

HGLOBAL BlockOfText(const std::u16string& text)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
    auto* dest = static_cast<WCHAR*>(GlobalLock(mem));
    if (!dest) return nullptr;
    text.copy(dest, text.size());
    dest[text.size()] = 0;
    GlobalUnlock(mem);
    return mem;
}

bool ReadBackendText(std::u16string* text)
{
    const Backend& backend = CurrentBackend();
    std::string utf8;
    if (!backend.getClipboardText || !backend.getClipboardText(&utf8, kClipboardTextLimitBytes)) return false;
    return Utf8ToUtf16(utf8, text) && !text->empty();
}

}  // namespace

BOOL OpenClipboard(HWND owner)
{
    if (owner && !FindWin(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (g_clip.open && g_clip.owner != owner) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    g_clip.open = true;
    g_clip.owner = owner;
    return TRUE;
}

BOOL CloseClipboard()
{
    if (RefuseUnlessOpen()) return FALSE;
    DropBlock();
    g_clip.open = false;
    g_clip.owner = nullptr;
    return TRUE;
}

BOOL EmptyClipboard()
{
    if (RefuseUnlessOpen()) return FALSE;
    DropBlock();
    const Backend& backend = CurrentBackend();
    if (backend.setClipboardText) backend.setClipboardText(std::string());
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE mem)
{
    if (RefuseUnlessOpen()) return nullptr;
    const Backend& backend = CurrentBackend();
    std::u16string_view text = TextOfBlock(mem);
    std::string utf8;
    if (format != CF_UNICODETEXT || !GlobalLock(mem) || !backend.setClipboardText || !Utf16ToUtf8(text, &utf8) ||
        utf8.size() > kClipboardTextLimitBytes || !backend.setClipboardText(utf8)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (g_clip.block != mem) DropBlock();
    g_clip.block = mem;
    return mem;
}

HANDLE GetClipboardData(UINT format)
{
    if (RefuseUnlessOpen()) return nullptr;
    std::u16string text;
    if (format != CF_UNICODETEXT || !ReadBackendText(&text)) return nullptr;
    HGLOBAL mem = BlockOfText(text);
    if (!mem) return nullptr;
    DropBlock();
    g_clip.block = mem;
    return mem;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    std::u16string text;
    return format == CF_UNICODETEXT && ReadBackendText(&text);
}
