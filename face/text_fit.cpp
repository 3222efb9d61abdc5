// Condensing text to a room. Widths grow about in proportion to lfWidth, so the first guess is
// the proportional one and at most a few narrower widths are tried after it.
#include "face/text_fit.h"

namespace {

// The width of `text` in `lf`; `aveCharWidth`, when given, gets the font's average width.
int WidthIn(HDC hdc, const LOGFONT& lf, std::u16string_view text, TextWidthFn width, LONG* aveCharWidth)
{
    HFONT hfont = CreateFontIndirect(&lf);
    HGDIOBJ oldFont = SelectObject(hdc, hfont);
    int w = width(hdc, text);
    if (aveCharWidth) {
        TEXTMETRIC tm = {};
        GetTextMetrics(hdc, &tm);
        *aveCharWidth = tm.tmAveCharWidth;
    }
    SelectObject(hdc, oldFont);
    DeleteObject(hfont);
    return w;
}

}  // namespace

int TextAdvanceWidth(HDC hdc, std::u16string_view text)
{
    SIZE size = {};
    GetTextExtentPoint32(hdc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

LOGFONT CondensedToFit(HDC hdc, LOGFONT lf, std::u16string_view text, int room, TextWidthFn width)
{
    LONG average = 0;
    int natural = WidthIn(hdc, lf, text, width, &average);
    if (natural <= room || natural <= 0) return lf;
    LONG start = lf.lfWidth > 0 ? lf.lfWidth : average;
    lf.lfWidth = start * room / natural;
    if (lf.lfWidth < 1) lf.lfWidth = 1;
    while (lf.lfWidth > 1 && WidthIn(hdc, lf, text, width, nullptr) > room) --lf.lfWidth;
    return lf;
}
