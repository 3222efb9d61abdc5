// What the X11 window decodes from the server and other clients, and encodes for them, without
// a connection: Xft.dpi in the resource text, the physical density, selection text in and out,
// and the icon property.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "platform/drivers/x11/x11_props.h"
#include "platform/gdi/bmp_ico_reader.h"

TEST(X11Props, XftDpiIsReadFromItsOwnLineOnly)
{
    struct Case {
        const char* text;
        double dpi;
    };
    const Case cases[] = {
        {"Xft.dpi:\t192\n", 192},
        {"Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n", 144},
        {"  Xft.dpi :  96.5 \r\n", 96.5},
        {"Xft.dpi:\t120\nXft.dpi:\t240\n", 240},       // the last definition wins
        {"Xft.dpi:\t120\nXft.dpi:\tlarge\n", 0},       // ... even a bad one
        {"Xft.dpix:\t192\n", 0},
        {"*Xft.dpi:\t192\n", 0},
        {"Xft.dpi\t192\n", 0},                         // no colon
        {"Xft.dpi:\t-96\n", 0},
        {"Xft.dpi:\t0\n", 0},
        {"Xft.dpi:\t1e3\n", 0},
        {"Xft.dpi:\t99999\n", 0},
        {"Xft.dpi:\t12345678901234567\n", 0},          // longer than any density
        {"Xft.dpi:\t96 dots\n", 0},
        {"", 0},
        {"Xft.dpi:", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(XftDpiFromResources(c.text), c.dpi) << c.text;
}

TEST(X11Props, PhysicalSizeGivesADensityOnlyWhenPlausible)
{
    EXPECT_NEAR(DpiFromPhysicalSize(1024, 260), 100.0, 0.1);  // what Xvfb reports
    EXPECT_NEAR(DpiFromPhysicalSize(3840, 344), 283.5, 0.1);
    EXPECT_EQ(DpiFromPhysicalSize(1024, 0), 0);
    EXPECT_EQ(DpiFromPhysicalSize(1024, 1), 0);               // made-up millimetres
    EXPECT_EQ(DpiFromPhysicalSize(0, 260), 0);
    EXPECT_EQ(DpiFromPhysicalSize(100000, 20), 0);            // beyond any screen
}

TEST(X11Props, SelectionTextIsCheckedAndConverted)
{
    struct Case {
        SelectionEncoding encoding;
        int format;
        std::string bytes;
        std::size_t limit;
        bool ok;
        std::string utf8;
    };
    const auto U = SelectionEncoding::Utf8, L = SelectionEncoding::Latin1;
    const Case cases[] = {
        {U, 8, "4,321.5", 100, true, "4,321.5"},
        {U, 8, "\xe3\x81\x82", 100, true, "\xe3\x81\x82"},
        {U, 8, "\xc0\xaf", 100, false, ""},            // overlong
        {U, 8, "\xe3\x81", 100, false, ""},            // cut short
        {U, 8, std::string("1\0" "2", 3), 100, false, ""},
        {U, 32, "1234", 100, false, ""},
        {U, 8, "12345", 4, false, ""},
        {U, 8, "1234", 4, true, "1234"},
        {L, 8, "caf\xe9", 100, true, "caf\xc3\xa9"},
        {L, 8, "\xff\xe9", 3, false, ""},              // fits as Latin-1, not once converted
        {L, 16, "12", 100, false, ""},
        {U, 8, "", 100, true, ""},
    };
    for (const Case& c : cases) {
        std::string out = "unchanged";
        bool ok = SelectionTextToUtf8(c.encoding, c.format, reinterpret_cast<const std::uint8_t*>(c.bytes.data()),
                                      c.bytes.size(), c.limit, &out);
        EXPECT_EQ(ok, c.ok) << c.bytes;
        EXPECT_EQ(out, c.ok ? c.utf8 : "unchanged") << c.bytes;
    }
}

TEST(X11Props, OutgoingStringIsLatin1WithQuestionMarksForTheRest)
{
    EXPECT_EQ(Latin1FromUtf8("1234.5"), "1234.5");
    EXPECT_EQ(Latin1FromUtf8("caf\xc3\xa9"), "caf\xe9");
    EXPECT_EQ(Latin1FromUtf8("\xe3\x81\x82=\xf0\x9f\x98\x80"), "?=?");
    EXPECT_EQ(Latin1FromUtf8("\xc3"), "?");  // cut short at the end
}

TEST(X11Props, IconPropertyHoldsEachImageWithItsMaskAsAlpha)
{
    IconImage small;
    small.width = 2;
    small.height = 1;
    small.color = {0x00123456, 0x00FFFFFF};
    small.mask = {0, 1};
    IconImage huge;
    huge.width = huge.height = kMaxNetWmIconSide + 1;
    huge.color.assign(std::size_t(huge.width) * std::size_t(huge.height), 0);
    huge.mask.assign(huge.color.size(), 0);
    IconImage broken;
    broken.width = broken.height = 4;
    broken.color.assign(3, 0);
    broken.mask.assign(16, 0);
    const std::vector<std::uint32_t> expected = {2, 1, 0xFF123456, 0x00000000};
    EXPECT_EQ(NetWmIconFromImages({huge, small, broken}), expected);
}
