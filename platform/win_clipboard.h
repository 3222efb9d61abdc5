// The clipboard as Win32 shapes it: open, empty, set or get data in a movable memory block, close.
// Only Unicode text is kept; the text itself lives with the backend (the desktop's clipboard in
// the SDL backend, an in-memory one headless). Knowingly lacks: other formats, delayed rendering,
// clipboard viewers and owners' messages.
#pragma once
#include "platform/win_types.h"

#define WM_COPY 0x0301
#define WM_PASTE 0x0302

#define CF_UNICODETEXT 13

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

// Memory blocks. A bad handle gives null, 0 or FALSE, never a crash. GlobalFree returns null on
// success and the handle on failure, as in Win32.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
LPVOID GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
std::size_t GlobalSize(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);

// One window at a time may hold the clipboard open; the others get FALSE until it is closed.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// CF_UNICODETEXT only. On success the block belongs to the clipboard (do not free it); the text
// is read up to its terminator or the block's end. Null on failure (the caller keeps the block).
HANDLE SetClipboardData(UINT format, HANDLE mem);
// A block owned by the clipboard holding the text with its terminator, valid until the
// clipboard is closed or emptied; null when there is no text, or the text is too big for the
// layer to take (more than kClipboardTextLimitBytes of UTF-8) or not valid UTF-8.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

// A clipboard this big is refused rather than copied through the layer.
constexpr std::size_t kClipboardTextLimitBytes = 1u << 20;
