// Fonts and text: sizes and widths as the font description asks, extents, clipping, placement,
// UTF-16 decoding and upper-casing.
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>
#include "platform/kernel/text_utf16.h"
#include "platform/windows.h"

namespace {

constexpr COLORREF kPaper = RGB(255, 255, 255);

HFONT MakeFont(LONG height, LONG width = 0, LONG weight = 0, const char16_t* face = u"")
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
    return CreateFontIndirect(&lf);
}

// A white memory DC with a font selected; restores and deletes everything.
struct TextCanvas {
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ oldBmp, oldFont;
    HFONT font;
    int w, h;

    TextCanvas(HFONT f, int width = 200, int height = 60) : font(f), w(width), h(height)
    {
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateCompatibleBitmap(dc, w, h);
        oldBmp = SelectObject(dc, bmp);
        oldFont = SelectObject(dc, font);
        Clear();
    }
    ~TextCanvas()
    {
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBmp);
        DeleteObject(font);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    void Clear()
    {
        RECT all{0, 0, w, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    LONG Width(const std::u16string& s)
    {
        SIZE sz{};
        EXPECT_TRUE(GetTextExtentPoint32(dc, s.data(), int(s.size()), &sz));
        return sz.cx;
    }
    // The bounding box of everything not white; empty when nothing was drawn.
    RECT Ink()
    {
        RECT r{w, h, 0, 0};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (GetPixel(dc, x, y) != kPaper) {
                    r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }
    std::vector<COLORREF> Pixels()
    {
        std::vector<COLORREF> p;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) p.push_back(GetPixel(dc, x, y));
        return p;
    }
};

TEST(FontMetricsTest, NegativeHeightIsEmHeightPositiveIsCellHeight)
{
    struct Case {
        LONG height;
        bool cell;
    };
    for (Case c : {Case{-26, false}, Case{-9, false}, Case{-10, false}, Case{18, true}, Case{30, true}}) {
        SCOPED_TRACE(c.height);
        TextCanvas t(MakeFont(c.height, 0, 800));
        TEXTMETRIC tm{};
        ASSERT_TRUE(GetTextMetrics(t.dc, &tm));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        if (c.cell) {
            EXPECT_EQ(tm.tmHeight, c.height);
        } else {
            EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -c.height);
        }
        SIZE sz{};
        GetTextExtentPoint32(t.dc, u"0", 1, &sz);
        EXPECT_EQ(sz.cy, tm.tmHeight);
    }
}

TEST(FontMetricsTest, WidthScalesTheAverageCharacter)
{
    // The Gothic face's digits are of average width: the description's width is each digit's advance.
    for (LONG width : {10, 5, 4}) {
        SCOPED_TRACE(width);
        TextCanvas t(MakeFont(-26, width, 0));
        EXPECT_EQ(t.Width(u"0123456789"), 10 * width);
        TEXTMETRIC tm{};
        GetTextMetrics(t.dc, &tm);
        EXPECT_EQ(tm.tmAveCharWidth, width);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 26);  // the height does not change with the width
    }
    TextCanvas natural(MakeFont(-26));
    TextCanvas narrow(MakeFont(-26, 5));
    EXPECT_GT(natural.Width(u"12345"), narrow.Width(u"12345"));
}

// Fonts made and deleted in turn, more kinds than are remembered at once, each time measure as
// their own description says, never as the last font of another description did.
TEST(FontMetricsTest, FontsMadeInTurnKeepTheirOwnSizes)
{
    struct Kind {
        LONG height, width, weight;
        const char16_t* face;
    };
    const Kind kinds[] = {{18, 0, 800, u""}, {18, 0, 400, u""}, {-26, 0, 0, u""}, {-26, 5, 0, u""},
                          {30, 0, 800, u""}, {18, 0, 800, u"NoSuchFace"}};
    LONG first[std::size(kinds)] = {};
    for (int round = 0; round < 3; ++round) {
        for (std::size_t k = 0; k < std::size(kinds); ++k) {
            const Kind& kind = kinds[k];
            TextCanvas t(MakeFont(kind.height, kind.width, kind.weight, kind.face));
            TEXTMETRIC tm{};
            ASSERT_TRUE(GetTextMetrics(t.dc, &tm));
            if (kind.height > 0) EXPECT_EQ(tm.tmHeight, kind.height) << k;
            if (kind.width > 0) EXPECT_EQ(tm.tmAveCharWidth, kind.width) << k;
            LONG width = t.Width(u"0123456789");
            if (round == 0) first[k] = width;
            EXPECT_EQ(width, first[k]) << "kind " << k << " round " << round;
        }
    }
    EXPECT_GT(first[0], first[1]);  // bold is wider than regular at the same height
}

TEST(TextExtentTest, GrowsWithLengthAndBoldIsWider)
{
    TextCanvas t(MakeFont(-12));
    LONG one = t.Width(u"8"), three = t.Width(u"888");
    EXPECT_GT(one, 0);
    EXPECT_EQ(three, 3 * one);
    EXPECT_LT(t.Width(u"88"), three);
    EXPECT_GT(t.Width(u"ＡＢ"), t.Width(u"AB"));  // fullwidth forms are wider
    SIZE sz{};
    EXPECT_TRUE(GetTextExtentPoint32(t.dc, u"888", -1, &sz));  // -1: up to the terminator
    EXPECT_EQ(sz.cx, three);
    EXPECT_TRUE(GetTextExtentPoint32(t.dc, nullptr, 0, &sz));
    EXPECT_EQ(sz.cx, 0);
    EXPECT_FALSE(GetTextExtentPoint32(t.dc, nullptr, 3, &sz));

    TextCanvas normal(MakeFont(-20, 0, FW_NORMAL));
    TextCanvas bold(MakeFont(-20, 0, 800));
    EXPECT_GT(bold.Width(u"ABCDEF"), normal.Width(u"ABCDEF"));
}

// A heavy face without a bold file is emboldened in proportion to its width: condensed, as the
// panel draws long numbers (width 3 and 4 at 96 dpi, here three times the size as on a scale-3
// screen), a zero keeps the hole inside it: a row across its middle goes dark, clear, dark.
TEST(BoldTextTest, CondensedHeavyZerosKeepTheirCounters)
{
    for (LONG width : {3, 4, 8}) {
        TextCanvas t(MakeFont(-26 * 3, width * 3, FW_EXTRABOLD), 60, 100);
        ASSERT_TRUE(ExtTextOut(t.dc, 4, 4, 0, nullptr, u"0", 1, nullptr));
        RECT ink = t.Ink();
        std::string rows;  // the middle half's rows, a letter a pixel: D dark, c clear, - between
        for (LONG y = (3 * ink.top + ink.bottom) / 4; y < (ink.top + 3 * ink.bottom) / 4; ++y, rows += '|') {
            for (LONG x = ink.left; x < ink.right; ++x) {
                int red = GetRValue(GetPixel(t.dc, x, y));
                rows += red < 64 ? 'D' : red > 192 ? 'c' : '-';
            }
        }
        EXPECT_TRUE(std::regex_search(rows, std::regex("D-*c-*D"))) << "width " << width << ": a solid oval";
    }
}

TEST(TextExtentTest, UnknownFacesFallBackToTheDefaultFace)
{
    TextCanvas plain(MakeFont(-16));
    for (const char16_t* face : {u"System", u"MS UI Gothic", u"No Such Face 12345"}) {
        TextCanvas t(MakeFont(-16, 0, 0, face));
        EXPECT_EQ(t.Width(u"Quorix 3.12 計算機"), plain.Width(u"Quorix 3.12 計算機")) << std::string(face, face + 3);
    }
}

TEST(ExtTextOutTest, DrawsOnlyInsideItsClipRectangle)
{
    TextCanvas t(MakeFont(-26, 10, 800));
    SetBkMode(t.dc, TRANSPARENT);
    ASSERT_TRUE(ExtTextOut(t.dc, 5, 5, 0, nullptr, u"88888", 5, nullptr));
    RECT all = t.Ink();
    ASSERT_LT(all.left, all.right);
    t.Clear();
    RECT clip{20, 10, 40, 25};
    ASSERT_TRUE(ExtTextOut(t.dc, 5, 5, ETO_CLIPPED, &clip, u"88888", 5, nullptr));
    RECT ink = t.Ink();
    ASSERT_LT(ink.left, ink.right);  // something is drawn inside
    EXPECT_GE(ink.left, clip.left);
    EXPECT_GE(ink.top, clip.top);
    EXPECT_LE(ink.right, clip.right);
    EXPECT_LE(ink.bottom, clip.bottom);
}

TEST(ExtTextOutTest, OpaqueModeFillsTheCellTransparentModeDoesNot)
{
    TextCanvas t(MakeFont(-12));
    SetBkColor(t.dc, RGB(0, 255, 0));
    SetBkMode(t.dc, OPAQUE);
    ExtTextOut(t.dc, 10, 10, 0, nullptr, u"  ", 2, nullptr);
    TEXTMETRIC tm{};
    GetTextMetrics(t.dc, &tm);
    LONG w = t.Width(u"  ");
    EXPECT_EQ(GetPixel(t.dc, 10, 10), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(t.dc, 10 + w - 1, 10 + tm.tmHeight - 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(t.dc, 10 + w, 10), kPaper);
    EXPECT_EQ(GetPixel(t.dc, 10, 10 + tm.tmHeight), kPaper);
    t.Clear();
    SetBkMode(t.dc, TRANSPARENT);
    ExtTextOut(t.dc, 10, 10, 0, nullptr, u"  ", 2, nullptr);
    EXPECT_EQ(t.Ink().right, 0);
}

TEST(ExtTextOutTest, TextColourIsUsed)
{
    TextCanvas t(MakeFont(-20, 0, 800));
    SetBkMode(t.dc, TRANSPARENT);
    SetTextColor(t.dc, RGB(200, 0, 0));
    ExtTextOut(t.dc, 0, 0, 0, nullptr, u"■", 1, nullptr);
    int solid = 0;
    for (COLORREF c : t.Pixels()) {
        if (c != kPaper) {
            EXPECT_EQ(GetGValue(c), GetBValue(c));  // blends of red over white only
        }
        if (c == RGB(200, 0, 0)) ++solid;
    }
    EXPECT_GT(solid, 20);
}

// DrawText centring a key caption must put it where ExtTextOut at the centred cell puts it.
TEST(DrawTextTest, CentresOneLineInTheRectangleAndClipsToIt)
{
    const RECT key{0, 0, 43, 21};
    TextCanvas a(MakeFont(18, 0, 800), 60, 30);
    TextCanvas b(MakeFont(18, 0, 800), 60, 30);
    SetBkMode(a.dc, TRANSPARENT);
    SetBkMode(b.dc, TRANSPARENT);
    RECT r = key;
    int ret = DrawText(a.dc, u"M+", -1, &r, DT_CENTER | DT_VCENTER);
    LONG w = b.Width(u"M+");
    ExtTextOut(b.dc, (43 - w) / 2, (21 - 18) / 2, ETO_CLIPPED, &key, u"M+", 2, nullptr);
    EXPECT_EQ(a.Pixels(), b.Pixels());
    EXPECT_EQ(ret, (21 - 18) / 2 + 18);  // with DT_VCENTER: from the top to the text's bottom

    a.Clear();
    RECT small{10, 5, 20, 12};
    DrawText(a.dc, u"WWWWWW", -1, &small, DT_CENTER | DT_VCENTER);
    RECT ink = a.Ink();
    EXPECT_GE(ink.left, small.left);
    EXPECT_LE(ink.right, small.right);
    EXPECT_GE(ink.top, small.top);
    EXPECT_LE(ink.bottom, small.bottom);
}

TEST(DrawTextTest, CalcRectMeasuresLinesAndPrefixes)
{
    TextCanvas t(MakeFont(-12));
    TEXTMETRIC tm{};
    GetTextMetrics(t.dc, &tm);
    RECT r{5, 7, 5, 7};
    EXPECT_EQ(DrawText(t.dc, u"ab\ncdef", -1, &r, DT_CALCRECT), 2 * tm.tmHeight);
    EXPECT_EQ(r.right - r.left, t.Width(u"cdef"));
    EXPECT_EQ(r.bottom - r.top, 2 * tm.tmHeight);
    r = RECT{0, 0, 0, 0};
    DrawText(t.dc, u"&Save && go", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, t.Width(u"Save & go"));
    r = RECT{0, 0, 0, 0};
    DrawText(t.dc, u"&Save", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.right, t.Width(u"&Save"));
    EXPECT_EQ(t.Ink().right, 0);  // measuring draws nothing
    RECT wrap{0, 0, t.Width(u"one two"), 0};
    EXPECT_EQ(DrawText(t.dc, u"one two three", -1, &wrap, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);
    EXPECT_EQ(DrawText(t.dc, u"x", -1, nullptr, 0), 0);
}

TEST(Utf16Test, DecodesPairsAndReplacesBrokenSurrogates)
{
    struct Case {
        std::u16string in;
        std::u32string want;
    };
    const Case cases[] = {
        {u"A\u3042", U"A\u3042"},
        {u"\U00020BB7", U"\U00020BB7"},
        {std::u16string{0xD842}, U"\uFFFD"},
        {std::u16string{0xDFB7, u'x'}, U"\uFFFDx"},
        {std::u16string{0xD842, u'x'}, U"\uFFFDx"},
        {std::u16string{0xD842, 0xD842, 0xDFB7}, U"\uFFFD\U00020BB7"},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeUtf16(c.in.data(), c.in.size()), c.want);

    TextCanvas t(MakeFont(-12));
    EXPECT_EQ(t.Width(std::u16string{0xD800, u'A'}), t.Width(u"\uFFFDA"));
}

TEST(CharUpperTest, UpperCasesInPlaceAndReturnsItsArgument)
{
    struct Case {
        std::u16string in, want;
    };
    const Case cases[] = {
        {u"7fffffff", u"7FFFFFFF"},
        {u"1.5e-07", u"1.5E-07"},
        {u"ａｂｃ１２", u"ＡＢＣ１２"},
        {u"éàÿ", u"ÉÀŸ"},
        {u"M: ff", u"M: FF"},
        {u"計算", u"計算"},
    };
    for (const Case& c : cases) {
        std::u16string s = c.in;
        EXPECT_EQ(CharUpper(s.data()), s.data());
        EXPECT_EQ(s, c.want);
    }
    // A pointer with a zero high word carries one character.
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(CharUpper(reinterpret_cast<LPWSTR>(std::uintptr_t(u'q')))), std::uintptr_t(u'Q'));
}

}  // namespace
