// What the display panel shows for a given calculator state: grouping, font width, labels and
// the memory line, all without a window.
#include <gtest/gtest.h>

#include <string>

#include "face/display_panel.h"

namespace {

constexpr DWORD kDec = MODE_DEC | MODE_DEGREES;
constexpr DWORD kHex = MODE_HEX | MODE_DEGREES;
constexpr DWORD kBin = MODE_BIN | MODE_DEGREES;

CalcState MakeState(std::u16string_view text, DWORD modeFlags, std::int32_t intMemory = 0,
                    double realMemory = 0.0)
{
    CalcState state = {};
    text.copy(state.displayText, kDisplayTextCap - 1);
    state.modeFlags = modeFlags;
    state.intMemory = intMemory;
    state.realMemory = realMemory;
    return state;
}

// ASCII view of a text for messages; "null" for no text at all.
std::string Narrow(const char16_t* text)
{
    if (text == nullptr) return "null";
    std::string out;
    for (; *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

struct NumberCase {
    DWORD modeFlags;
    const char16_t* text;
    const char16_t* drawn;
    int widthFactor;
};

const NumberCase kNumberCases[] = {
    // modeFlags            text                   drawn                       width
    {kBin,                  u"101101101",          u"1 01101101",              8},
    {kBin,                  u"11111111",           u"11111111",                8},
    {kBin,                  u"1111111111111",      u"11111 11111111",          3},
    {kBin,                  u"11111111111111111111111111111011",
                            u"11111111 11111111 11111111 11111011",            3},
    {kHex,                  u"7fffffff",           u"7FFF FFFF",               8},
    {kHex,                  u"12345",              u"1 2345",                  8},
    {kHex | MODE_TRIG_PANEL, u"abcde",             u"A BCDE",                  8},
    {kHex,                  u"",                   u"",                        8},
    {kDec,                  u"1234567.25",         u"1,234,567.25",            8},
    {kDec,                  u"123456.",            u"123,456.",                8},
    {kDec,                  u"0.",                 u"0.",                      8},
    {kDec,                  u"12",                 u"12",                      8},
    {kDec,                  u"1.234567e+20",       u"1.234567E+20",            8},
    {kDec,                  u"1234.5678.9",        u"1,234.5678.9",            8},
    // 12 units keep the wide font although grouping makes them 15; 13 narrow it.
    {kDec,                  u"123456789012",       u"123,456,789,012",         8},
    {kDec,                  u"0.000123456789",     u"0.000123456789",          4},
    {kHex,                  u"1111111111111",      u"1 1111 1111 1111",        4},
    // A leading minus stays out of the count.
    {kDec,                  u"-123.",              u"-123.",                   8},
    {kDec,                  u"-1234567.2525",      u"-1,234,567.2525",         4},
    {kDec,                  u"-inf",               u"-INF",                    8},
    // Before start-up no base bit is set: grouped as DEC. BIN is tested before HEX.
    {MODE_TRIG_PANEL,       u"1234",               u"1,234",                   8},
    {MODE_BIN | MODE_HEX,   u"123456789",          u"1 23456789",              8},
};

TEST(ComputePanelModel, GroupsUpperCasesAndSizesTheNumber)
{
    for (const NumberCase& c : kNumberCases) {
        PanelModel model = ComputePanelModel(MakeState(c.text, c.modeFlags));
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.modeFlags << " text "
                                        << Narrow(c.text));
        EXPECT_EQ(Narrow(model.number.c_str()), Narrow(c.drawn));
        EXPECT_EQ(model.widthFactor, c.widthFactor);
    }
}

// Entries longer than any working buffer are grouped whole; the panel's clip cuts them.
TEST(GroupDisplayText, GroupsTextsOfAnyLength)
{
    std::u16string digits(255, u'1');
    std::u16string grouped = GroupDisplayText(digits, kBin);
    ASSERT_EQ(grouped.size(), 255u + 31u);  // a first group of 7, then 31 groups of 8
    EXPECT_EQ(grouped.find(u' '), 7u);
    std::erase(grouped, u' ');
    EXPECT_EQ(grouped, digits);

    std::u16string decimal = u"-" + std::u16string(200, u'9') + u".5";
    std::u16string decGrouped = GroupDisplayText(decimal, kDec);
    EXPECT_EQ(decGrouped.size(), decimal.size() + 66u);
    EXPECT_EQ(decGrouped.substr(0, 4), u"-99,");
    EXPECT_EQ(decGrouped.substr(decGrouped.size() - 6), u",999.5");
}

struct LabelCase {
    DWORD modeFlags;
    const char* base;
    const char* angle;
};

const LabelCase kLabelCases[] = {
    // modeFlags                                 base    angle
    {MODE_DEC | MODE_DEGREES,                    "DEC",  "null"},
    {MODE_DEC | MODE_TRIG_PANEL | MODE_DEGREES,  "DEC",  "DEG"},
    {MODE_DEC | MODE_TRIG_PANEL,                 "DEC",  "RAD"},
    {MODE_HEX | MODE_TRIG_PANEL | MODE_DEGREES,  "HEX",  "null"},
    {MODE_BIN | MODE_TRIG_PANEL,                 "BIN",  "null"},
    {MODE_TRIG_PANEL | MODE_DEGREES,             "DEC",  "null"},
};

TEST(ComputePanelModel, ChoosesBaseAndAngleLabels)
{
    for (const LabelCase& c : kLabelCases) {
        PanelModel model = ComputePanelModel(MakeState(u"0.", c.modeFlags));
        EXPECT_EQ(Narrow(model.baseLabel), c.base) << "flags 0x" << std::hex << c.modeFlags;
        EXPECT_EQ(Narrow(model.angleLabel), c.angle) << "flags 0x" << std::hex << c.modeFlags;
    }
}

struct MemoryCase {
    DWORD modeFlags;
    std::int32_t intMemory;
    double realMemory;
    const char* line;  // "null" when no memory line is drawn
};

const MemoryCase kMemoryCases[] = {
    // modeFlags  intMemory  realMemory   line
    {kDec,        0,         0.0,         "null"},
    {kBin,        0,         -0.0,        "null"},
    {kHex,        255,       0.0,         "M: FF"},
    {kHex,        -1,        0.0,         "M: FFFFFFFF"},
    {kBin,        12345,     0.0,         "M: 11000000111001"},
    {kDec,        0,         -1234567.0,  "M: -1234567."},
    // Either memory counts, whatever the base; the base's own memory is shown.
    {kDec,        5,         0.0,         "M: 0."},
    {kHex,        0,         2.5,         "M: 0"},
    {kBin,        0,         2.5,         "M: 0"},
};

TEST(ComputePanelModel, WritesTheMemoryLineOfTheCurrentBase)
{
    for (const MemoryCase& c : kMemoryCases) {
        PanelModel model = ComputePanelModel(MakeState(u"0.", c.modeFlags, c.intMemory,
                                                       c.realMemory));
        const char16_t* line = model.hasMemoryLine ? model.memoryLine.c_str() : nullptr;
        EXPECT_EQ(Narrow(line), c.line) << "flags 0x" << std::hex << c.modeFlags << std::dec
                                        << " int " << c.intMemory << " real " << c.realMemory;
        EXPECT_EQ(model.hasMemoryLine, !model.memoryLine.empty());
    }
}

// The exponent form's "e" is drawn upper case in the memory line too.
TEST(ComputePanelModel, UpperCasesAnExponentInTheMemoryLine)
{
    std::string line = Narrow(ComputePanelModel(MakeState(u"0.", kDec, 0, 1e20)).memoryLine.c_str());
    EXPECT_EQ(line.rfind("M: 1.E+", 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - 2), "20") << line;
}

// A record whose text fills its whole room without a terminator is read only within its room.
TEST(ComputePanelModel, StaysInsideAnUnterminatedDisplayText)
{
    CalcState state = MakeState(u"", kBin);
    for (WCHAR& c : state.displayText) c = u'1';
    EXPECT_EQ(PanelDisplayText(state).size(), static_cast<std::size_t>(kDisplayTextCap));
    EXPECT_EQ(ComputePanelModel(state).number.size(), 256u + 31u);
}

}  // namespace
