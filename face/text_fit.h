// Text that would run past its room is drawn condensed, never clipped: the same font with a
// narrower lfWidth.
#pragma once
#include <string_view>
#include "platform/extras.h"
#include "platform/windows.h"

// A measure of `text` in the font selected into `hdc`, in pixels (its width, its ink's height).
using TextMeasureFn = int (*)(HDC hdc, WideStringView text);

// The advance width of `text`, as it is laid out.
int TextAdvanceWidth(HDC hdc, WideStringView text);

// `measure` of `text` in a font made from `lf` for the purpose.
int MeasureInFont(HDC hdc, const LOGFONT& lf, WideStringView text, TextMeasureFn measure);

// `lf` when `text` is at most `room` pixels wide in it (as `width` measures), else `lf` with the
// widest lfWidth at which it is, or 1 when none is.
LOGFONT CondensedToFit(HDC hdc, LOGFONT lf, WideStringView text, int room, TextMeasureFn width);
