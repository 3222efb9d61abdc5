// Condensing text to a room. Widths grow about in proportion to lfWidth, so the first guess is
// the proportional one and at most a few narrower widths are tried after it.
#include "face/text_fit.h"

namespace {

int AverageCharWidth(HDC hdc, WideStringView /*text*/)
{
    TEXTMETRIC tm = {};
    GetTextMetrics(hdc, &tm);
    return tm.tmAveCharWidth;
}

}  // namespace

int TextAdvanceWidth(HDC hdc, WideStringView text)
{
    SIZE size = {};
    GetTextExtentPoint32(hdc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int MeasureInFont(HDC hdc, const LOGFONT& lf, WideStringView text, TextMeasureFn measure)
{
    HFONT hfont = CreateFontIndirect(&lf);
    HGDIOBJ oldFont = SelectObject(hdc, hfont);
    int value = measure(hdc, text);
    SelectObject(hdc, oldFont);
    DeleteObject(hfont);
    return value;
}

LOGFONT CondensedToFit(HDC hdc, LOGFONT lf, WideStringView text, int room, TextMeasureFn width)
{
    int natural = MeasureInFont(hdc, lf, text, width);
    if (natural <= room || natural <= 0) return lf;
    LONG start = lf.lfWidth > 0 ? lf.lfWidth : MeasureInFont(hdc, lf, text, AverageCharWidth);
    lf.lfWidth = start * room / natural;
    if (lf.lfWidth < 1) lf.lfWidth = 1;
    while (lf.lfWidth > 1 && MeasureInFont(hdc, lf, text, width) > room) --lf.lfWidth;
    return lf;
}
