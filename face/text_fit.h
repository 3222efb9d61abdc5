// Text that would run past its room is drawn condensed, never clipped: the same font with a
// narrower lfWidth.
#pragma once
#include <string_view>
#include "platform/windows.h"

// How wide `text` comes out in the font selected into `hdc`.
using TextWidthFn = int (*)(HDC hdc, std::u16string_view text);

// The advance width of `text`, as it is laid out.
int TextAdvanceWidth(HDC hdc, std::u16string_view text);

// `lf` when `text` is at most `room` pixels wide in it (as `width` measures), else `lf` with the
// widest lfWidth at which it is, or 1 when none is.
LOGFONT CondensedToFit(HDC hdc, LOGFONT lf, std::u16string_view text, int room, TextWidthFn width);
