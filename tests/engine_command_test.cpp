// The command entry point on the real face: which identifiers it handles, what it refuses, that a
// handled command paints the face before it returns, and the display store's limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "engine/calc_command.h"
#include "tests/engine_test_keys.h"
#include "tests/message_sequence.h"

namespace {

using enginetest::EngineFace;
using enginetest::Narrow;
using enginetest::PressSequence;
using enginetest::SameState;
using enginetest::SendCommand;
using enginetest::StoreText;
using enginetest::UpperDisplayText;

// Every identifier the engine handles; ←BS (1037) only while a number is being typed.
const std::set<int> kHandledIds = [] {
    std::set<int> ids;
    for (int id = 1000; id <= 1015; ++id) ids.insert(id);
    for (int id : {1018, 1019, 1020, 1021, 1022, 1023, 1024, 1026, 1029, 1030, 1031, 1032, 1033, 1034,
                   1035, 1036, 1037, 1038, 1040, 1041, 1042, 1044, 1046, 1048, 1049, 1050, 1051, 1052,
                   1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064, 1065, 1066, 1067, 2031})
        ids.insert(id);
    return ids;
}();

// Counts WM_PAINT reaching the face, to tell a repainted command from one that changed nothing.
class EngineCommand : public EngineFace {
protected:
    void SetUp() override
    {
        EngineFace::SetUp();
        paints_ = std::make_unique<MessageRecorder>(face_, std::vector<UINT>{WM_PAINT});
    }
    void TearDown() override
    {
        paints_.reset();
        EngineFace::TearDown();
    }
    std::size_t PaintCount() const { return paints_->Messages().size(); }
    std::unique_ptr<MessageRecorder> paints_;
};

TEST_F(EngineCommand, HandlesExactlyTheRoutedIdentifiers)
{
    bool fresh = false;
    for (int id = 0; id <= 2100; ++id) {
        // A refused command leaves the face as it was, so only a handled one needs a new face.
        if (!fresh) {
            TearDown();
            SetUp();
            PressSequence(face_, "5");  // typing, so that ←BS is handled too
            fresh = true;
        }
        CalcState before = g_calc;
        std::size_t paintsBefore = PaintCount();
        BOOL handled = PressKey(face_, id);
        bool expected = kHandledIds.count(id) != 0;
        if (expected) fresh = false;
        ASSERT_EQ(handled != FALSE, expected) << "identifier " << id;
        if (expected) {
            EXPECT_GT(PaintCount(), paintsBefore) << "handled " << id << " without painting";
        } else {
            EXPECT_TRUE(SameState(before, g_calc)) << "refused " << id << " but changed the state";
            EXPECT_EQ(PaintCount(), paintsBefore) << "refused " << id << " but painted";
        }
    }
}

TEST_F(EngineCommand, RefusesEveryNotificationButAClick)
{
    PressSequence(face_, "5 +");
    for (int code : {1, 2, 0x300, 0x8000, 0xFFFF}) {
        for (int id : {IDC_DIGIT_0 + 7, IDC_EQUALS, IDC_CLEAR, IDC_BASE_HEX, IDC_SQRT, IDC_MEM_ADD}) {
            CalcState before = g_calc;
            std::u16string store = StoreText(face_);
            std::size_t paintsBefore = PaintCount();
            EXPECT_FALSE(SendCommand(face_, id, code)) << id << " code " << code;
            EXPECT_TRUE(SameState(before, g_calc)) << id << " code " << code;
            EXPECT_EQ(StoreText(face_), store);
            EXPECT_EQ(PaintCount(), paintsBefore);
        }
    }
}

TEST_F(EngineCommand, BackspaceWithoutAnEntryIsRefused)
{
    struct Case {
        const char* keys;
        BOOL lastResult;
    };
    const Case cases[] = {
        {"BS", FALSE},
        {". BS", TRUE},
        {". BS BS", TRUE},
        {". BS BS BS", FALSE},
        {"5 + BS", FALSE},
        {"5 sqrt BS", FALSE},
        {"pi BS", TRUE},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        EXPECT_EQ(PressSequence(face_, c.keys), c.lastResult) << c.keys;
    }
}

TEST_F(EngineCommand, RefusedHexDigitStillRepaints)
{
    PressSequence(face_, "HEX 12345678");
    std::size_t paintsBefore = PaintCount();
    EXPECT_TRUE(PressSequence(face_, "9"));
    EXPECT_GT(PaintCount(), paintsBefore);
    EXPECT_EQ(Narrow(StoreText(face_)), "12345678");
}

TEST_F(EngineCommand, HexLettersAreUpperInTheStore)
{
    PressSequence(face_, "HEX A");
    EXPECT_EQ(Narrow(StoreText(face_)), "A");
    PressSequence(face_, "B");
    EXPECT_EQ(Narrow(StoreText(face_)), "AB");
    EXPECT_EQ(Narrow(UpperDisplayText()), "AB");
}

// An entry in DEC or BIN grows to 255 characters; from then on a digit replaces the last one,
// because the store hands back at most 254.
TEST_F(EngineCommand, LongEntriesStopAtTheStoreLimit)
{
    for (const char* base : {"DEC", "BIN"}) {
        TearDown();
        SetUp();
        PressSequence(face_, base);
        for (int i = 0; i < 300; ++i) PressSequence(face_, "1");
        EXPECT_EQ(StoreText(face_).size(), 255u) << base;
        PressSequence(face_, "0");
        std::u16string store = StoreText(face_);
        ASSERT_EQ(store.size(), 255u) << base;
        EXPECT_EQ(store.back(), u'0') << base;
        EXPECT_EQ(store[253], u'1') << base;
        EXPECT_EQ(UpperDisplayText(), store) << base;
    }
}

TEST_F(EngineCommand, ReadsAtMost254CharactersBack)
{
    // 255 typed digits "1...1" then "+" then "=": the value read has 254 digits.
    for (int i = 0; i < 255; ++i) PressSequence(face_, "1");
    PressSequence(face_, "+ 0 =");
    EXPECT_EQ(Narrow(StoreText(face_)), "1.111111111E+253");
}

TEST_F(EngineCommand, DigitKeyFetchesTheStoreBeforeAppending)
{
    PressSequence(face_, "HEX A");
    g_calc.displayText[0] = u'a';  // as if the formatter had written lower case
    PressSequence(face_, "B");
    EXPECT_EQ(Narrow(UpperDisplayText()), "AB");
    EXPECT_EQ(g_calc.displayText[0], u'A');
}

}  // namespace
