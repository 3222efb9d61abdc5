// The face's template as the program builds it, read back by the layer's template reader.
#include <gtest/gtest.h>
#include "platform/controls/dialog_template.h"
#include "resources/program_resources.h"

namespace {

struct ExpectedItem {
    WORD id;
    const char16_t* caption;
    short x, y, cx, cy;
    DWORD style;
};

// Rows of the face's key table, in template order.
const ExpectedItem kExpected[] = {
    {1017, u"", 3, 7, 129, 17, 0x4080008E},          {1000, u"0", 3, 140, 25, 12, 0x5001000B},
    {1001, u"1", 3, 126, 25, 12, 0x5001000B},       {1002, u"2", 29, 126, 25, 12, 0x5001000B},
    {1003, u"3", 55, 126, 25, 12, 0x5001000B},      {1004, u"4", 3, 112, 25, 12, 0x5001000B},
    {1005, u"5", 29, 112, 25, 12, 0x5001000B},      {1006, u"6", 55, 112, 25, 12, 0x5001000B},
    {1007, u"7", 3, 98, 25, 12, 0x5001000B},        {1008, u"8", 29, 98, 25, 12, 0x5001000B},
    {1009, u"9", 55, 98, 25, 12, 0x5001000B},       {1010, u"A", 3, 84, 25, 12, 0x5001000B},
    {1011, u"B", 29, 84, 25, 12, 0x5001000B},       {1012, u"C", 55, 84, 25, 12, 0x5001000B},
    {1013, u"D", 3, 70, 25, 12, 0x5001000B},        {1014, u"E", 29, 70, 25, 12, 0x5001000B},
    {1015, u"F", 55, 70, 25, 12, 0x5001000B},       {1038, u"\uFF0B/\uFF0D", 29, 140, 25, 12, 0x5001000B},
    {1022, u".", 55, 140, 25, 12, 0x5001000B},      {1019, u"\uFF0B", 81, 84, 25, 12, 0x5001000B},
    {1018, u"\uFF0D", 81, 98, 25, 12, 0x5001000B},  {1020, u"\u00D7", 81, 112, 25, 12, 0x5001000B},
    {1021, u"\u00F7", 81, 126, 25, 12, 0x5001000B}, {1030, u"\uFF1D", 81, 140, 51, 12, 0x5001000B},
    {1031, u"RC", 107, 84, 25, 12, 0x5001000B},     {1032, u"RM", 107, 98, 25, 12, 0x5001000B},
    {1033, u"M+", 107, 112, 25, 12, 0x5001000B},    {1034, u"M-", 107, 126, 25, 12, 0x5001000B},
    {1029, u"C/CE", 107, 56, 25, 12, 0x5001000B},   {1023, u"\uFF11\uFF16\u9032", 3, 36, 25, 12, 0x50031009},
    {1024, u"\uFF11\uFF10\u9032", 29, 36, 25, 12, 0x50001009},
    {1026, u"\uFF12\u9032", 55, 36, 25, 12, 0x50001009},
    {1067, u"10^x", 3, 84, 25, 12, 0x5001000B},     {1057, u"x^y", 29, 84, 25, 12, 0x5003000B},
    {1056, u"x^2", 55, 84, 25, 12, 0x5003000B},     {1046, u"n!", 3, 70, 25, 12, 0x5001000B},
    {1035, u"log", 3, 56, 25, 12, 0x5001000B},      {1036, u"ln", 29, 56, 25, 12, 0x5001000B},
    {1061, u"\u221A", 55, 56, 25, 12, 0x5001000B},  {1066, u"EXP", 29, 70, 25, 12, 0x5001000B},
    {1052, u"MOD", 55, 70, 25, 12, 0x5003000B},     {1048, u"AND", 3, 56, 25, 12, 0x5003000B},
    {1049, u"OR", 29, 56, 25, 12, 0x5003000B},      {1050, u"XOR", 55, 56, 25, 12, 0x5003000B},
    {2031, u"NOT", 81, 56, 25, 12, 0x5003000B},     {1051, u"\u03C0", 81, 70, 25, 12, 0x5003000B},
    {1058, u"sin", 3, 56, 25, 12, 0x5003000B},      {1059, u"cos", 29, 56, 25, 12, 0x5003000B},
    {1060, u"tan", 55, 56, 25, 12, 0x5003000B},     {1040, u"sinh", 3, 70, 25, 12, 0x5003000B},
    {1042, u"cosh", 29, 70, 25, 12, 0x5003000B},    {1041, u"tanh", 55, 70, 25, 12, 0x5003000B},
    {1063, u"asin", 3, 84, 25, 12, 0x5003000B},     {1064, u"acos", 29, 84, 25, 12, 0x5003000B},
    {1065, u"atan", 55, 84, 25, 12, 0x5003000B},    {1044, u"RAD", 81, 36, 25, 12, 0x5001000B},
    {1062, u"\u4E09\u89D2\u95A2", 107, 36, 25, 12, 0x5001000B},
    {1037, u"\u2190BS", 107, 70, 25, 12, 0x5001000B},
};

std::vector<WORD> FaceTemplate()
{
    return BuildDialogTemplate(CalcDialogDesc());
}

}  // namespace

TEST(DialogTemplate, FaceTemplateReadsBackAsTheKeyTable)
{
    std::vector<WORD> bytes = FaceTemplate();
    ParsedDialog d;
    ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size() * 2, &d));
    EXPECT_EQ(d.style, 0x50000040u);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 141);
    EXPECT_EQ(d.cy, 159);
    EXPECT_EQ(d.fontName, u"System");
    EXPECT_EQ(d.pointSize, 9);
    EXPECT_EQ(d.caption, u"");
    ASSERT_EQ(d.items.size(), std::size(kExpected));
    for (std::size_t i = 0; i < d.items.size(); ++i) {
        const ParsedDialogItem& got = d.items[i];
        const ExpectedItem& want = kExpected[i];
        SCOPED_TRACE("row " + std::to_string(i + 1));
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.caption, want.caption);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.exStyle, 0u);
        EXPECT_EQ(got.className, want.id == 1017 ? u"EDIT" : u"BUTTON");
    }
}

TEST(DialogTemplate, EveryTruncationIsRefused)
{
    std::vector<WORD> words = FaceTemplate();
    const BYTE* bytes = reinterpret_cast<const BYTE*>(words.data());
    std::size_t size = words.size() * 2;
    ParsedDialog d;
    // The last item's caption and creation-data word end the template: any shorter read fails.
    for (std::size_t cut = 0; cut < size; ++cut) {
        ASSERT_FALSE(ParseDialogTemplate(bytes, cut, &d)) << "cut at " << cut;
    }
    EXPECT_TRUE(ParseDialogTemplate(bytes, size, &d));
}

TEST(DialogTemplate, HostileCountsAndStringsStayInBounds)
{
    std::vector<WORD> words = FaceTemplate();
    ParsedDialog d;
    // An item count far beyond the items present.
    std::vector<WORD> more = words;
    more[4] = 0xFFFF;
    EXPECT_FALSE(ParseDialogTemplate(more.data(), more.size() * 2, &d));
    // A caption that never ends.
    std::vector<WORD> endless(64, u'x');
    endless[0] = 0; endless[1] = 0; endless[2] = 0; endless[3] = 0; endless[4] = 0;
    EXPECT_FALSE(ParseDialogTemplate(endless.data(), endless.size() * 2, &d));
    // An unknown class atom.
    std::vector<WORD> badAtom = words;
    for (std::size_t i = 0; i + 1 < badAtom.size(); ++i) {
        if (badAtom[i] == 0xFFFF && badAtom[i + 1] == 0x0081) {
            badAtom[i + 1] = 0x0099;
            break;
        }
    }
    EXPECT_FALSE(ParseDialogTemplate(badAtom.data(), badAtom.size() * 2, &d));
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 100, &d));
}
