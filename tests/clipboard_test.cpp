// Copy and paste: the paste check as a table of what users paste, round trips through the real
// face and the headless clipboard in every base, and the layer's clipboard and memory blocks
// refusing misuse.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "app/app.h"
#include "engine/calc_state.h"
#include "engine/clipboard_entry.h"
#include "face/display_panel.h"
#include "platform/drivers/backend.h"
#include "platform/win_clipboard.h"
#include "resources/resource_ids.h"
#include "tests/face_fixture.h"
#include "tests/shell_test_support.h"

namespace {

constexpr DWORD kDec = MODE_DEC | MODE_DEGREES;
constexpr DWORD kHex = MODE_HEX | MODE_DEGREES;
constexpr DWORD kBin = MODE_BIN | MODE_DEGREES;

struct PasteCase {
    DWORD mode;
    const char16_t* text;
    const char16_t* entry;  // null: refused
};

const PasteCase kPasteCases[] = {
    /* mode  pasted text                    entry, or refused */
    {kDec, u"1234567",                      u"1234567"},
    {kDec, u"  -12.5\n",                    u"-12.5"},
    {kDec, u"1,234,567.25",                 u"1234567.25"},
    {kDec, u"-1,234",                       u"-1234"},
    {kDec, u"1.5e+20",                      u"1.5E+20"},
    {kDec, u"1.E-25",                       u"1.E-25"},
    {kDec, u"2E5",                          u"200000."},
    {kDec, u".5",                           u"0.5"},
    {kDec, u"-.5",                          u"-0.5"},
    {kDec, u"7.",                           u"7."},
    {kDec, u"inf",                          u"INF"},
    {kDec, u"-INF",                         u"-INF"},
    {kDec, u"NaN",                          u"NAN"},
    {kDec, u"\u3000" u"42\t",               u"42"},       // ideographic space around
    {kDec, u"1,234.5.6",                    nullptr},     // two points
    {kDec, u"OS: Linux Mint 17.2",          nullptr},
    {kDec, u"0x1F",                         nullptr},
    {kDec, u"1,5",                          nullptr},     // a decimal comma, not a group
    {kDec, u"12,34",                        nullptr},
    {kDec, u"1234,567",                     nullptr},     // first group longer than three
    {kDec, u",123",                         nullptr},
    {kDec, u"1,234,",                       nullptr},
    {kDec, u"1.234,5",                      nullptr},
    {kDec, u"+5",                           nullptr},
    {kDec, u"--5",                          nullptr},
    {kDec, u"-",                            nullptr},
    {kDec, u".",                            nullptr},
    {kDec, u"1e",                           nullptr},
    {kDec, u"1e+",                          nullptr},
    {kDec, u"1 234",                        nullptr},     // spaces group HEX and BIN only
    {kDec, u"-NAN",                         nullptr},
    {kDec, u"infinity",                     nullptr},
    {kDec, u"",                             nullptr},
    {kDec, u" \r\n ",                       nullptr},
    {kDec, u"FF",                           nullptr},
    {kHex, u"ff",                           u"FF"},
    {kHex, u"  1 234 ",                     u"1234"},
    {kHex, u"DEAD BEEF",                    u"DEADBEEF"},
    {kHex, u"dead_beef",                    u"DEADBEEF"},
    {kHex, u"0",                            u"0"},
    {kHex, u"1FFFFFFFF",                    nullptr},     // nine digits
    {kHex, u"0x1F",                         nullptr},
    {kHex, u"-1",                           nullptr},
    {kHex, u"12.5",                         nullptr},
    {kHex, u"G1",                           nullptr},
    {kHex, u"_FF",                          nullptr},
    {kHex, u"F  F",                         nullptr},     // one separator between digits
    {kHex, u"",                             nullptr},
    {kBin, u"1010 0101",                    u"10100101"},
    {kBin, u"11111111111111111111111111111111", u"11111111111111111111111111111111"},
    {kBin, u"111111111111111111111111111111111", nullptr},  // 33 digits
    {kBin, u"102",                          nullptr},
    {kBin, u"1,010",                        nullptr},
    {kBin, u"OS: Linux Mint 17.2",          nullptr},
};

std::string Narrow(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

TEST(PastedNumber, AcceptsOnlyNumbersTheBaseCanShow)
{
    for (const PasteCase& c : kPasteCases) {
        WCHAR entry[kDisplayTextCap] = u"unchanged";
        bool ok = ParsePastedNumber(c.text, c.mode, entry);
        std::string label = "mode " + std::to_string(c.mode) + " text \"" + Narrow(c.text) + "\"";
        ASSERT_EQ(ok, c.entry != nullptr) << label;
        if (ok) EXPECT_EQ(std::u16string(entry), c.entry) << label;
    }
}

TEST(PastedNumber, RefusesHugeAndLongTextWithoutReadingPastTheCap)
{
    WCHAR entry[kDisplayTextCap];
    std::u16string huge(kPasteTextCap + 1, u'1');
    EXPECT_FALSE(ParsePastedNumber(huge.c_str(), kDec, entry));
    // Surrounding white space counts toward the cap: the check looks at nothing beyond it.
    std::u16string padded = std::u16string(kPasteTextCap, u' ') + u"5";
    EXPECT_FALSE(ParsePastedNumber(padded.c_str(), kDec, entry));
    std::u16string atCap = std::u16string(kPasteTextCap - 1, u' ') + u"5";
    EXPECT_TRUE(ParsePastedNumber(atCap.c_str(), kDec, entry));
    // A number the display store could not hand back whole is refused, not cut.
    EXPECT_TRUE(ParsePastedNumber(std::u16string(254, u'7').c_str(), kDec, entry));
    EXPECT_FALSE(ParsePastedNumber(std::u16string(255, u'7').c_str(), kDec, entry));
    EXPECT_FALSE(ParsePastedNumber(nullptr, kDec, entry));
}

TEST(CopiedNumber, DropsTheTrailingPointAndShowsUpperCase)
{
    struct Case {
        const char16_t* display;
        const char16_t* copied;
    };
    const Case cases[] = {
        {u"1234567.", u"1234567"}, {u"0.", u"0"},         {u"-0.", u"-0"},     {u"inf", u"INF"},
        {u"-inf", u"-INF"},        {u"nan", u"NAN"},      {u"1.e+25", u"1.E+25"}, {u"ff", u"FF"},
        {u"12.50", u"12.50"},      {u"10100101", u"10100101"},
    };
    for (const Case& c : cases) {
        WCHAR out[kDisplayTextCap];
        CopiedNumberText(c.display, out);
        EXPECT_EQ(std::u16string(out), c.copied) << Narrow(c.display);
    }
}

// --- through the face and the headless clipboard ------------------------------------------

std::string ClipboardUtf8()
{
    std::string text;
    if (!CurrentBackend().getClipboardText(&text, kClipboardTextLimitBytes)) return "<none>";
    return text;
}

void SetClipboardUtf8(const std::string& text)
{
    CurrentBackend().setClipboardText(text);
}

class ClipboardFace : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetBackend(nullptr);
        face = CreateTestFace();
        ASSERT_NE(face, nullptr);
        main = GetParent(face);
    }
    void TearDown() override
    {
        DestroyTestFace();
        SetClipboardUtf8("");
    }
    // As Ctrl+C and Ctrl+V arrive: a command to the main window.
    void Copy() { SendMessage(main, WM_COMMAND, MAKEWPARAM(IDM_COPY, 1), 0); }
    void Paste() { SendMessage(main, WM_COMMAND, MAKEWPARAM(IDM_PASTE, 1), 0); }
    std::u16string Store()
    {
        WCHAR text[kDisplayTextCap];
        GetDlgItemText(face, IDC_DISPLAY_STORE, text, kStoreFetchLimit);
        return text;
    }
    HWND face = nullptr;
    HWND main = nullptr;
};

TEST_F(ClipboardFace, CopyPutsTheShownNumberOnTheClipboard)
{
    struct Case {
        const char* keys;
        const char* copied;
    };
    const Case cases[] = {
        {"C/CE C/CE DEC 1 2 3 4 5 6 7 =", "1234567"},
        {"C/CE C/CE DEC 1 0 x^y 2 5 =", "1.E+25"},
        {"C/CE C/CE DEC 1 / 0 =", "INF"},
        {"C/CE C/CE DEC 2 +/- sqrt", "NAN"},
        {"C/CE C/CE DEC 1 . 5 0", "1.50"},
        {"C/CE C/CE HEX F F", "FF"},
        {"C/CE C/CE HEX 1 +/-", "FFFFFFFF"},
        {"C/CE C/CE BIN 1 0 1", "101"},
    };
    for (const Case& c : cases) {
        PressKeys(face, c.keys);
        Copy();
        EXPECT_EQ(ClipboardUtf8(), c.copied) << c.keys;
    }
}

TEST_F(ClipboardFace, PasteBecomesTheEntryAsIfTyped)
{
    PressKeys(face, "5 + C/CE");  // a pending operator, and the clear-once state, before the paste
    ASSERT_TRUE(g_calc.entryFlags & ENTRY_CLEAR_ONCE);
    SetClipboardUtf8("  1,234.5 \n");
    Paste();
    EXPECT_EQ(std::u16string(g_calc.displayText), u"1234.5");
    EXPECT_EQ(Store(), u"1234.5");
    EXPECT_TRUE(g_calc.entryFlags & ENTRY_TYPING);
    EXPECT_FALSE(g_calc.entryFlags & ENTRY_CLEAR_ONCE);
    PressKeys(face, "6 =");  // the entry goes on as typed, and the pending "+" takes it
    EXPECT_EQ(std::u16string(g_calc.displayText), u"1239.56");
}

// A pasted exponent is shown the way a result is: the point before the "E", so that the panel
// groups only the mantissa's integer digits.
TEST_F(ClipboardFace, PastedExponentShowsInTheDisplaysOwnForm)
{
    struct Case {
        const char* pasted;
        const char16_t* shown;  // as the panel draws it
    };
    const Case cases[] = {
        {"1,234e5", u"123,400,000."},    {"1e400", u"INF"},         {"-1e400", u"-INF"},
        {"2E5", u"200,000."},            {"1.5e+20", u"1.5E+20"},   {"12345e20", u"1.2345E+24"},
        {"-1,234e-5", u"-1.234E-02"},    {"1e-400", u"0."},         {"1,234", u"1,234"},
    };
    for (const Case& c : cases) {
        PressKeys(face, "C/CE C/CE");
        SetClipboardUtf8(c.pasted);
        Paste();
        EXPECT_EQ(ComputePanelModel(g_calc).number, c.shown) << c.pasted;
    }
}

TEST_F(ClipboardFace, RefusedPasteChangesNothing)
{
    const char* hostile[] = {"OS: Linux Mint 17.2", "1,234.5.6", "0x1F", "", "\xff\xfe" "12", "12\n34"};
    PressKeys(face, "7 +");
    const CalcState before = g_calc;
    const std::u16string store = Store();
    for (const char* text : hostile) {
        SetClipboardUtf8(text);
        MessageRecorder paints(face, {WM_PAINT});
        Paste();
        EXPECT_EQ(std::memcmp(&before, &g_calc, sizeof before), 0) << text;
        EXPECT_EQ(Store(), store) << text;
        ok_sequence(paints, {}, std::string("no repaint for ") + text);
    }
}

TEST_F(ClipboardFace, HugeClipboardIsRefused)
{
    PressKeys(face, "4");
    SetClipboardUtf8(std::string(kClipboardTextLimitBytes + 1, '1'));
    Paste();
    EXPECT_EQ(std::u16string(g_calc.displayText), u"4") << "beyond what the layer takes";
    SetClipboardUtf8(std::string(100000, '1'));
    Paste();
    EXPECT_EQ(std::u16string(g_calc.displayText), u"4") << "beyond the paste's cap";
}

TEST_F(ClipboardFace, RoundTripsInEveryBase)
{
    struct Case {
        const char* keys;
        const char* copied;
    };
    const Case cases[] = {
        {"C/CE C/CE DEC 9 8 7 6 5 4 3 2 1 =", "987654321"},
        {"C/CE C/CE DEC 1 / 3 =", "0.3333333333"},
        {"C/CE C/CE DEC 1 / 0 +/- =", "-INF"},
        {"C/CE C/CE HEX D E A D B E E F", "DEADBEEF"},
        {"C/CE C/CE BIN 1 1 0 1 NOT", "11111111111111111111111111110010"},
    };
    for (const Case& c : cases) {
        PressKeys(face, c.keys);
        Copy();
        ASSERT_EQ(ClipboardUtf8(), c.copied) << c.keys;
        PressKeys(face, "C/CE");
        Paste();
        Copy();
        EXPECT_EQ(ClipboardUtf8(), c.copied) << "pasted back after " << c.keys;
        EXPECT_TRUE(g_calc.entryFlags & ENTRY_TYPING) << c.keys;
    }
}

TEST_F(ClipboardFace, PasteFollowsTheCurrentBase)
{
    SetClipboardUtf8("1010");
    Paste();
    EXPECT_EQ(std::u16string(g_calc.displayText), u"1010") << "DEC reads it as a decimal";
    PressKeys(face, "HEX");
    SetClipboardUtf8("ab cd");
    Paste();
    EXPECT_EQ(Store(), u"ABCD");
    PressKeys(face, "BIN");
    const std::u16string shown = g_calc.displayText;
    Paste();  // "ab cd" is no binary number
    EXPECT_EQ(std::u16string(g_calc.displayText), shown);
}

// --- the layer's clipboard and blocks ---------------------------------------------------

TEST(ClipboardLayer, RefusesMisuseWithWin32Results)
{
    SetBackend(nullptr);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr) << "not open";
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_FALSE(OpenClipboard(reinterpret_cast<HWND>(0x12345)));

    InitCommonControls();
    HWND a = CreateWindowEx(0, u"STATIC", u"a", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HWND b = CreateWindowEx(0, u"STATIC", u"b", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(a));
    EXPECT_FALSE(OpenClipboard(b)) << "one holder at a time";
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr) << "emptied";
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, reinterpret_cast<HANDLE>(0x777)), nullptr) << "not a block";
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 4 * sizeof(WCHAR));
    std::memcpy(GlobalLock(mem), u"abc", 4 * sizeof(WCHAR));
    EXPECT_EQ(SetClipboardData(1 /* CF_TEXT */, mem), nullptr) << "only Unicode text";
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, mem), mem);
    HANDLE got = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(std::u16string(static_cast<const WCHAR*>(GlobalLock(got))), u"abc");
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GlobalLock(got), nullptr) << "the clipboard's block goes when it is closed";
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_TRUE(OpenClipboard(b));
    EXPECT_TRUE(CloseClipboard());
    DestroyWindow(a);
    DestroyWindow(b);
    SetClipboardUtf8("");
}

TEST(ClipboardLayer, TextWithoutTerminatorAndLoneSurrogatesAreHandled)
{
    SetBackend(nullptr);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 3 * sizeof(WCHAR));
    std::memcpy(GlobalLock(mem), u"123", 3 * sizeof(WCHAR));  // fills the block: no terminator
    ASSERT_EQ(SetClipboardData(CF_UNICODETEXT, mem), mem);
    EXPECT_EQ(ClipboardUtf8(), "123");
    HGLOBAL bad = GlobalAlloc(GMEM_MOVEABLE, 2 * sizeof(WCHAR));
    static_cast<WCHAR*>(GlobalLock(bad))[0] = 0xD800;
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, bad), nullptr) << "a lone surrogate has no UTF-8";
    EXPECT_EQ(GlobalFree(bad), nullptr) << "a refused block stays the caller's";
    EXPECT_TRUE(CloseClipboard());
    SetClipboardUtf8("\xc3\x28");  // malformed UTF-8 from the desktop reads as no text
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    SetClipboardUtf8("\xe8\xa8\x88 1");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(std::u16string(static_cast<const WCHAR*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)))), u"計 1");
    EXPECT_TRUE(CloseClipboard());
    SetClipboardUtf8("");
}

TEST(ClipboardLayer, MemoryBlocksRefuseBadHandles)
{
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
    EXPECT_EQ(GlobalSize(reinterpret_cast<HGLOBAL>(0x6C0000)), 0u);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 10);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalSize(mem), 10u);
    EXPECT_EQ(GlobalFree(mem), nullptr);
    EXPECT_EQ(GlobalFree(mem), mem) << "freed twice";
    EXPECT_EQ(GlobalLock(mem), nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, std::size_t(1) << 40), nullptr);
}

}  // namespace
