// Key captions in a heavy font of cell height 18. In our Gothic face some captions are wider
// than a 43-pixel key ("三角関", "＋/－", "asin") and some taller than its face ("√" fills the
// whole cell): such a caption is drawn condensed (a narrower lfWidth), or smaller when it is too
// tall, never clipped; one that fits but would touch the bevel moves the least that keeps it off.
#include "face/key_caption.h"

#include <string_view>
#include "face/text_fit.h"

namespace {

// Positive height: the caption font's cell height in pixels.
constexpr LONG kCaptionFontHeight = 18;

// Where the text's glyphs put ink, from its cell's top-left corner, in the selected font.
RECT TextInkBox(HDC hdc, WideStringView text)
{
    static const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    TEXTMETRIC tm = {};
    GetTextMetrics(hdc, &tm);
    RECT box = {0, 0, 0, 0};
    bool any = false;
    int pen = 0;
    for (WCHAR c : text) {
        GLYPHMETRICS gm = {};
        if (GetGlyphOutline(hdc, c, GGO_METRICS, &gm, 0, nullptr, &kIdentity) == GDI_ERROR) continue;
        RECT glyph = {pen + gm.gmptGlyphOrigin.x, tm.tmAscent - gm.gmptGlyphOrigin.y, 0, 0};
        glyph.right = glyph.left + static_cast<LONG>(gm.gmBlackBoxX);
        glyph.bottom = glyph.top + static_cast<LONG>(gm.gmBlackBoxY);
        pen += gm.gmCellIncX;
        if (!any) box = glyph;
        if (glyph.left < box.left) box.left = glyph.left;
        if (glyph.top < box.top) box.top = glyph.top;
        if (glyph.right > box.right) box.right = glyph.right;
        if (glyph.bottom > box.bottom) box.bottom = glyph.bottom;
        any = true;
    }
    return box;
}

int TextInkWidth(HDC hdc, WideStringView text)
{
    RECT ink = TextInkBox(hdc, text);
    return ink.right - ink.left;
}

int TextInkHeight(HDC hdc, WideStringView text)
{
    RECT ink = TextInkBox(hdc, text);
    return ink.bottom - ink.top;
}

// The caption font: cell height 18 and heavy, lower only for a caption too tall for the face,
// then condensed as far as its width needs.
LOGFONT CaptionFont(HDC hdc, WideStringView caption, const RECT& face)
{
    LOGFONT lf = {};
    lf.lfHeight = kCaptionFontHeight;
    lf.lfWeight = FW_EXTRABOLD;
    const int faceHeight = face.bottom - face.top;
    int inkHeight = MeasureInFont(hdc, lf, caption, TextInkHeight);
    if (inkHeight > faceHeight) {
        lf.lfHeight = kCaptionFontHeight * faceHeight / inkHeight;
        while (lf.lfHeight > 1 && MeasureInFont(hdc, lf, caption, TextInkHeight) > faceHeight) --lf.lfHeight;
    }
    return CondensedToFit(hdc, lf, caption, face.right - face.left, TextInkWidth);
}

// How far ink spanning [low, high) must move to lie within [faceLow, faceHigh): none when it
// already does.
LONG ShiftInto(LONG low, LONG high, LONG faceLow, LONG faceHigh)
{
    if (low < faceLow) return faceLow - low;
    if (high > faceHigh) return faceHigh - high;
    return 0;
}

}  // namespace

void DrawKeyCaption(HDC hdc, const WCHAR* caption, const RECT& item, const RECT& face)
{
    WideStringView text(caption);
    LOGFONT lf = CaptionFont(hdc, text, face);
    HFONT hfont = CreateFontIndirect(&lf);
    HGDIOBJ oldFont = SelectObject(hdc, hfont);

    // Where DT_CENTER | DT_VCENTER puts the cell, and so the ink.
    SIZE cell = {};
    GetTextExtentPoint32(hdc, text.data(), static_cast<int>(text.size()), &cell);
    RECT ink = TextInkBox(hdc, text);
    LONG x = (item.left + item.right - cell.cx) / 2;
    LONG y = (item.top + item.bottom - cell.cy) / 2;
    LONG dx = ShiftInto(x + ink.left, x + ink.right, face.left, face.right);
    LONG dy = ShiftInto(y + ink.top, y + ink.bottom, face.top, face.bottom);
    RECT rc = {item.left + dx, item.top + dy, item.right + dx, item.bottom + dy};
    DrawText(hdc, caption, -1, &rc, DT_CENTER | DT_VCENTER);

    SelectObject(hdc, oldFont);
    DeleteObject(hfont);
}
