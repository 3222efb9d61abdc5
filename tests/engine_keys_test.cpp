// Key sequences through the real command handler on the real face, as data: the keys pressed and
// the text the display store holds afterwards (the store upper-cases, so "inf" reads "INF").
#include <gtest/gtest.h>

#include <string>

#include "tests/engine_test_keys.h"

namespace {

using enginetest::EngineFace;
using enginetest::Narrow;
using enginetest::PressSequence;
using enginetest::StoreText;
using enginetest::UpperDisplayText;

std::string Repeat(char c, int n)
{
    return std::string(static_cast<std::size_t>(n), c);
}

struct KeyCase {
    std::string keys;
    std::string display;
};

class EngineKeySequences : public EngineFace {
protected:
    void RunAll(const std::vector<KeyCase>& cases)
    {
        for (const KeyCase& c : cases) {
            TearDown();
            SetUp();
            PressSequence(face_, c.keys);
            EXPECT_EQ(Narrow(StoreText(face_)), c.display) << "keys: " << c.keys;
            EXPECT_EQ(Narrow(UpperDisplayText()), c.display) << "displayText after: " << c.keys;
        }
    }
};

TEST_F(EngineKeySequences, EntryKeys)
{
    RunAll({
        {"0 7", "07"},                         // leading zeros stay as typed
        {"1.5 .", "1.5."},                     // the point key never looks for an earlier point
        {"1.5 . + 1 =", "2.5"},                // ... and the reading stops at the second one
        {".", "0."},
        {". BS", "0"},
        {". BS BS", "0"},
        {"1 2 BS BS 3", "3"},                  // the last character gives way to "0" and ends the entry
        {"1 2 BS + 5 =", "6."},
        {"5 + 3 4 BS =", "8."},                // the shortened entry is the right operand
        {"5 + 3 CLR 4 =", "9."},               // first C/CE keeps the pending addition
        {"5 + CLR CLR 4 =", "4."},             // second C/CE drops it
        {"CLR * CLR 4 =", "4."},               // the operator left CLEAR_ONCE set: this is a clear-all
        {"CLR 3 * CLR 4 =", "12."},            // a digit ended CLEAR_ONCE: this is a clear-entry
        {"HEX F CLR", "0."},
        {"HEX F CLR + 1 =", "1"},              // "0." reads as 0 in HEX
        {"pi", "3.14159265359"},
        {"pi 7", "3.141592653597"},
        {"pi BS", "3.1415926535"},
        {"pi =", "3.141592654"},
        {"4 pi", "3.14159265359"},             // π replaces a typed number
        {"HEX B", "B"},
        {"HEX 123456789", "12345678"},         // the ninth HEX digit is ignored
        {"HEX 123456789 BS 9", "12345679"},
        {"HEX 5 + 7", "7"},                    // a new entry starts from the empty text
        {"HEX pi 7", "3.141592653597"},        // the HEX limit is exactly 8 characters
        {"BIN " + Repeat('1', 40), Repeat('1', 40)},  // no BIN digit limit
    });
}

TEST_F(EngineKeySequences, DecimalOperators)
{
    RunAll({
        {"2 + 3 * 4 =", "20."},                // strictly left to right
        {"5 + +", "10."},
        {"5 * *", "25."},
        {"5 - -", "0."},
        {"5 + * 3 =", "30."},
        {"2 + 3 = =", "5."},
        {"2 + 3 = * 4 =", "20."},
        {"2 + 3 = 7 =", "7."},
        {"1.50 +", "1.5"},                     // the first operator reformats in DEC
        {"7 / 2 =", "3.5"},
        {"1 / 3 =", "0.3333333333"},
        {"1 / 3 = * 3 =", "0.9999999999"},     // values travel as 10-digit text
        {"9999999999 + 1 =", "1.E+10"},
        {"0.05 =", "5.E-02"},
        {"7 MOD 3 =", "1."},
        {"7.9 MOD 2.5 =", "1."},
        {"7 +/- MOD 3 =", "-1."},
        {"7 MOD 0 =", "NAN"},
        {"7 MOD 0.5 =", "NAN"},
        {"2147483648 +/- MOD 1 +/- =", "0."},  // the remainder that traps as a machine division
        {"3000000000 MOD 7 =", "1."},          // 2147483647 mod 7: the left operand saturates
        {"1 / 0 = MOD 2 =", "1."},             // an infinite left operand saturates
        {"0 / 0 = MOD 3 =", "0."},             // NaN truncates to 0
        {"0 / 0 = M+ 5 MOD RM =", "NAN"},      // ... so a NaN divisor is a zero divisor
        {"6 AND 3 =", "6."},                   // integer-only operators leave the accumulator
        {"2 x^y 10 =", "1024."},
        {"2 x^y 0.5 =", "1.414213562"},
        {"0 x^y 1 +/- =", "INF"},
        {"1 / 0 =", "INF"},
        {"1 +/- / 0 =", "-INF"},
        {"0 / 0 =", "NAN"},
        {"1 / 0 = * 0 =", "NAN"},
        {"1 / 0 = + 1 =", "INF"},
        {"0 / 0 = + 1 =", "NAN"},
        {"1 / 0 = - 1 / 0 = =", "INF"},
        {"1 / 0 = +/-", "-INF"},               // "INF" from the store reads back as infinity
        {"0 +/-", "-0."},
        {"0 +/- + 0 =", "0."},
        {"0 +/- =", "-0."},
    });
}

TEST_F(EngineKeySequences, HexOperators)
{
    RunAll({
        {"HEX FFFFFFFF + 1 =", "0"},
        {"HEX FFFFFFFE / 2 =", "7FFFFFFF"},    // unsigned division
        {"HEX 10000 * 10000 =", "0"},          // the product wraps
        {"HEX FFFFFFFF +", "FFFFFFFF"},        // the entered text stays
        {"HEX 00FF +", "00FF"},
        {"HEX 5 + +", "A"},
        {"HEX 7FFFFFFF + 1 =", "80000000"},
        {"HEX 80000000 - 1 =", "7FFFFFFF"},
        {"HEX 80000000 / FFFFFFFF =", "0"},
        {"HEX FFFFFFFF / 1 =", "FFFFFFFF"},
        {"HEX 80000000 * FFFFFFFF =", "80000000"},
        {"HEX 7 / 0 =", "0"},                  // no quotient: 0, and the calculator goes on
        {"HEX 7 / 0 = + 5 =", "5"},
        {"HEX 7 MOD 0 =", "0"},
        {"HEX FFFFFFFF MOD A =", "5"},         // 4294967295 mod 10
        {"HEX 80000000 MOD FFFFFFFF =", "80000000"},
        {"HEX F0 AND 3C =", "30"},
        {"HEX F0 OR 0F =", "FF"},
        {"HEX FF XOR 0F =", "F0"},
        {"HEX FFFFFFFF XOR 1 =", "FFFFFFFE"},
        {"HEX 3 x^y 2 =", "3"},                // a DEC-only operator leaves the accumulator
        {"HEX 3 MOD 2 * 4 =", "4"},
    });
}

TEST_F(EngineKeySequences, BinaryOperators)
{
    RunAll({
        {"BIN 101 + 11 =", "1000"},
        {"BIN 0 - 1 =", Repeat('1', 32)},
        {"BIN 11 * 11 =", "1001"},
        {"BIN 1 / 0 =", "0"},
        {"BIN 1 MOD 0 =", "0"},
        {"BIN 111 MOD 10 =", "1"},
        {"BIN 110 AND 011 =", "10"},
        {"BIN 110 OR 011 =", "111"},
        {"BIN 110 XOR 011 =", "101"},
        {"BIN 1" + Repeat('0', 31) + " / 10 =", "1" + Repeat('0', 30)},  // unsigned
        {"BIN " + Repeat('1', 32) + " + 1 =", "0"},
        {"BIN " + Repeat('1', 40) + " + 0 =", Repeat('1', 31)},            // saturates
        {"BIN 0" + Repeat('1', 31) + " + 1 =", "1" + Repeat('0', 31)},
    });
}

TEST_F(EngineKeySequences, UnaryKeys)
{
    RunAll({
        {"TRIG 30 sin", "0.5"},
        {"TRIG 60 cos", "0.5"},
        {"TRIG 45 tan", "1."},
        {"TRIG 180 sin", "0."},
        {"TRIG 90 tan", "-INF"},
        {"TRIG 90 +/- tan", "INF"},
        {"TRIG 0.5 asin", "30."},
        {"TRIG 1 +/- acos", "180."},
        {"TRIG 1 sinh", "1.745417863E-02"},
        {"TRIG RAD/DEG 1 sinh", "1.175201194"},
        {"TRIG RAD/DEG 1 cosh", "1.543080635"},
        {"TRIG RAD/DEG 1 atan", "0.7853981634"},
        {"TRIG RAD/DEG RAD/DEG 1 atan", "45."},
        {"TRIG RAD/DEG pi sin", "0."},         // π's 12 digits are within the snap
        {"2 sqrt x^2", "1.999999999"},
        {"2 + 9 sqrt =", "5."},                // the pending operator survives
        {"5 +/-", "-5."},
        {"5 +/- 3", "3"},                      // and typing ended
        {"5 n!", "120."},
        {"2.5 n!", "5."},
        {"3 +/- n!", "-3."},
        {"170 n!", "7.257415615E+306"},
        {"171 n!", "INF"},
        {"1 / 0 = n!", "INF"},
        {"3000000000 n!", "INF"},
        {"0 / 0 = n!", "NAN"},
        {"100 log", "2."},
        {"0 log", "-INF"},
        {"1 +/- ln", "NAN"},
        {"1 EXP", "2.718281828"},
        {"3 10^x", "1000."},
        {"1000 EXP", "INF"},
        {"5 NOT", "5."},
        {"007 NOT", "7."},
        {"HEX 007 sin", "7"},                  // scientific keys rewrite the text in canonical form
        {"HEX 1 +/-", "FFFFFFFF"},
        {"HEX 1 +/- +/-", "1"},
        {"HEX 0 NOT", "FFFFFFFF"},
        {"HEX 80000000 +/-", "80000000"},
        {"HEX 7FFFFFFF NOT", "80000000"},
        {"BIN 101 +/-", Repeat('1', 29) + "011"},
        {"BIN 101 +/- +/-", "101"},
        {"BIN 0 NOT", Repeat('1', 32)},
        {"BIN 0 NOT NOT", "0"},
        {"BIN 0011 n!", "11"},
    });
}

TEST_F(EngineKeySequences, MemoryKeys)
{
    RunAll({
        {"5 M+ RM", "5."},
        {"5 M+ HEX RM", "0"},                  // separate registers per kind
        {"5 M+ HEX DEC RM", "5."},
        {"5 M+ HEX RC DEC RM", "0."},          // RC clears both
        {"12 M+ 3", "3"},                      // M+ ends the entry
        {"12 M+", "12"},                       // ... but leaves the display
        {"2 M+ 5 + RM =", "7."},
        {"5 M+ 7 RM 1", "1"},
        {"3 M- M- RM", "-6."},
        {"HEX 1 M+ FFFFFFFF M+ RM", "0"},      // wraps
        {"HEX 1 M- RM", "FFFFFFFF"},
        {"HEX 80000000 M- RM", "80000000"},
        {"BIN 11 M+ RM + RM =", "110"},
        {"HEX FF M+ BIN RM", "11111111"},      // HEX and BIN share the integer register
        {"1 / 0 = M+ RM", "INF"},
        {"1 / 0 = M+ M- RM", "NAN"},
    });
}

TEST_F(EngineKeySequences, BaseKeys)
{
    RunAll({
        {"12.7 HEX", "C"},
        {"12.7 HEX DEC", "12."},
        {"12.7 +/- HEX", "FFFFFFF4"},          // truncation toward zero
        {"1 +/- HEX", "FFFFFFFF"},
        {"1 +/- BIN", Repeat('1', 32)},
        {"HEX FFFFFFFF DEC", "-1."},
        {"HEX FF BIN", "11111111"},
        {"BIN 1111 HEX", "F"},
        {"BIN 101 DEC", "5."},
        {"BIN 1" + Repeat('0', 31) + " DEC", "-2147483648."},
        {"5 + HEX 3 =", "3"},                  // a base switch drops the pending operation
        {"12 HEX 5", "5"},                     // and ends the entry
        {"3000000000 HEX", "7FFFFFFF"},        // saturating conversion
        {"3000000000 +/- HEX", "80000000"},
        {"1 / 0 = HEX", "7FFFFFFF"},
        {"1 +/- / 0 = BIN", "1" + Repeat('0', 31)},
        {"0 / 0 = HEX", "0"},
        {"0 +/- HEX", "0"},
        {"007 DEC", "7."},                     // the current base's key rewrites canonically
        {"HEX 00FF HEX", "FF"},
        {"BIN 0011 BIN", "11"},
        {"5 + 3 DEC =", "3."},                 // ... and ends the pending operation too
        {"1 2 TRIG 3", "123"},                 // the panel key does not end an entry
        {"1 2 RAD/DEG 3", "123"},
    });
}

TEST_F(EngineFace, StartUpStateAndCheckStates)
{
    EXPECT_EQ(Narrow(StoreText(face_)), "0.");
    EXPECT_EQ(Narrow(UpperDisplayText()), "0.");
    EXPECT_EQ(g_calc.modeFlags, 0x21u);
    EXPECT_EQ(g_calc.entryFlags, 0u);
    EXPECT_EQ(g_calc.pendingOp, 0u);
    EXPECT_EQ(g_calc.intMemory, 0);
    EXPECT_EQ(g_calc.intAccum, 0);
    EXPECT_EQ(g_calc.realMemory, 0.0);
    EXPECT_EQ(g_calc.realAccum, 0.0);
    EXPECT_FALSE(enginetest::IsChecked(face_, IDC_BASE_HEX));
    EXPECT_TRUE(enginetest::IsChecked(face_, IDC_BASE_DEC));
    EXPECT_FALSE(enginetest::IsChecked(face_, IDC_BASE_BIN));
}

TEST_F(EngineFace, BaseKeysSetModeFlagsAndExactlyOneCheck)
{
    struct Case {
        const char* keys;
        DWORD base;
        int checked;
    };
    const Case cases[] = {
        {"HEX", MODE_HEX, IDC_BASE_HEX},
        {"BIN", MODE_BIN, IDC_BASE_BIN},
        {"HEX BIN", MODE_BIN, IDC_BASE_BIN},
        {"BIN DEC", MODE_DEC, IDC_BASE_DEC},
        {"DEC", MODE_DEC, IDC_BASE_DEC},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        PressSequence(face_, c.keys);
        EXPECT_EQ(g_calc.modeFlags & MODE_BASE_MASK, c.base) << c.keys;
        for (int id : {IDC_BASE_HEX, IDC_BASE_DEC, IDC_BASE_BIN})
            EXPECT_EQ(enginetest::IsChecked(face_, id), id == c.checked) << c.keys << " key " << id;
    }
}

TEST_F(EngineFace, PanelAndAngleBitsSurviveABaseTrip)
{
    PressSequence(face_, "TRIG RAD/DEG HEX BIN DEC");
    EXPECT_EQ(g_calc.modeFlags, static_cast<DWORD>(MODE_DEC | MODE_TRIG_PANEL));
    PressSequence(face_, "TRIG RAD/DEG");
    EXPECT_EQ(g_calc.modeFlags, static_cast<DWORD>(MODE_DEC | MODE_DEGREES));
}

TEST_F(EngineFace, AngleKeyTogglesUnitCaptionAndPi)
{
    HWND angleKey = GetDlgItem(face_, IDC_ANGLE_UNIT);
    HWND piKey = GetDlgItem(face_, IDC_PI);
    PressSequence(face_, "TRIG");
    ASSERT_FALSE(IsWindowVisible(piKey));
    WCHAR caption[32] = {};

    PressSequence(face_, "RAD/DEG");
    EXPECT_EQ(g_calc.modeFlags & MODE_DEGREES, 0u);
    GetWindowText(angleKey, caption, 32);
    EXPECT_EQ(Narrow(caption), "DEG");
    EXPECT_TRUE(IsWindowVisible(piKey));

    PressSequence(face_, "RAD/DEG");
    EXPECT_NE(g_calc.modeFlags & MODE_DEGREES, 0u);
    GetWindowText(angleKey, caption, 32);
    EXPECT_EQ(Narrow(caption), "RAD");
    EXPECT_FALSE(IsWindowVisible(piKey));
}

TEST_F(EngineFace, EntryFlagsFollowEachKeyGroup)
{
    struct Case {
        const char* keys;
        DWORD entryFlags;
        std::uint32_t pendingOp;
    };
    const Case cases[] = {
        {"5", ENTRY_TYPING, 0},
        {"5 +", ENTRY_OP_PENDING, IDC_ADD},
        {"5 + 3", ENTRY_TYPING | ENTRY_OP_PENDING, IDC_ADD},
        {"5 + 3 CLR", ENTRY_OP_PENDING | ENTRY_CLEAR_ONCE, IDC_ADD},
        {"5 + 3 CLR CLR", 0, 0},
        {"CLR +", ENTRY_OP_PENDING | ENTRY_CLEAR_ONCE, IDC_ADD},
        {"CLR 5", ENTRY_TYPING, 0},
        {"CLR .", ENTRY_TYPING, 0},
        {"CLR pi", ENTRY_TYPING, 0},
        {"CLR sqrt", ENTRY_CLEAR_ONCE, 0},     // unary keys leave CLEAR_ONCE alone
        {"CLR M+", ENTRY_CLEAR_ONCE, 0},
        {"CLR HEX", ENTRY_CLEAR_ONCE, 0},
        {"5 + 3 sqrt", ENTRY_OP_PENDING, IDC_ADD},
        {"5 + 3 RM", ENTRY_OP_PENDING, IDC_ADD},
        {"5 + 3 HEX", 0, IDC_ADD},             // pendingOp keeps its old value, unread
        {"5 TRIG", ENTRY_TYPING, 0},
        {"5 RAD/DEG", ENTRY_TYPING, 0},
        {"5 BS", 0, 0},
        {"5 =", ENTRY_OP_PENDING, IDC_EQUALS},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        PressSequence(face_, c.keys);
        EXPECT_EQ(g_calc.entryFlags, c.entryFlags) << c.keys;
        EXPECT_EQ(g_calc.pendingOp, c.pendingOp) << c.keys;
    }
}

TEST_F(EngineFace, ClearAllZeroesTheRealAccumulatorOnly)
{
    PressSequence(face_, "HEX 7 + DEC 9 + CLR CLR");
    EXPECT_EQ(g_calc.realAccum, 0.0);
    EXPECT_EQ(g_calc.intAccum, 7);
}

}  // namespace
