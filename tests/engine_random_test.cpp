// Random commands to the real face, with a fixed seed: after every one the state's invariants hold
// and nothing has crashed. QUORIX_RANDOM_COMMANDS sets the count (default 20,000).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "tests/engine_test_keys.h"

namespace {

using enginetest::EngineFace;
using enginetest::Narrow;
using enginetest::SendCommand;
using enginetest::StoreText;
using enginetest::UpperDisplayText;

const std::set<std::uint32_t> kOperatorIds = {0, 1018, 1019, 1020, 1021, 1030, 1048, 1049, 1050, 1052, 1057};

long CommandCount()
{
    const char* text = std::getenv("QUORIX_RANDOM_COMMANDS");
    if (text == nullptr || *text == 0) return 20000;
    long count = std::strtol(text, nullptr, 10);
    return count > 0 ? count : 20000;
}

// The identifiers the keys send, where bugs would hide; the rest is noise that must be refused.
int RandomIdentifier(std::mt19937& random)
{
    std::uniform_int_distribution<int> percent(0, 99);
    if (percent(random) < 70) {
        std::uniform_int_distribution<int> key(1000, 1068);
        int id = key(random);
        return id == 1068 ? 2031 : id;
    }
    return std::uniform_int_distribution<int>(0, 2100)(random);
}

int RandomNotification(std::mt19937& random)
{
    if (std::uniform_int_distribution<int>(0, 99)(random) >= 5) return BN_CLICKED;
    return std::uniform_int_distribution<int>(1, 0xFFFF)(random);
}

// Empty when every invariant holds, else what is wrong.
std::string BrokenInvariants(HWND face)
{
    std::ostringstream broken;
    DWORD base = g_calc.modeFlags & MODE_BASE_MASK;
    if (base != MODE_DEC && base != MODE_HEX && base != MODE_BIN) broken << "base bits " << base << "; ";
    if (g_calc.modeFlags & ~static_cast<DWORD>(0x2F)) broken << "stray mode bits; ";
    if (g_calc.entryFlags & ~static_cast<DWORD>(ENTRY_TYPING | ENTRY_OP_PENDING | ENTRY_CLEAR_ONCE))
        broken << "stray entry bits; ";
    if ((g_calc.entryFlags & ENTRY_TYPING) && (g_calc.entryFlags & ENTRY_CLEAR_ONCE))
        broken << "TYPING with CLEAR_ONCE; ";
    bool terminated = false;
    for (int i = 0; i < kDisplayTextCap && !terminated; ++i) terminated = g_calc.displayText[i] == 0;
    if (!terminated) broken << "displayText unterminated; ";
    if (terminated && (g_calc.entryFlags & ENTRY_TYPING) && g_calc.displayText[0] == 0)
        broken << "TYPING with an empty display; ";
    if (terminated && StoreText(face) != UpperDisplayText())
        broken << "store \"" << Narrow(StoreText(face)) << "\" vs display \"" << Narrow(UpperDisplayText())
               << "\"; ";
    if (kOperatorIds.count(g_calc.pendingOp) == 0) broken << "pendingOp " << g_calc.pendingOp << "; ";
    const int baseKeys[] = {IDC_BASE_DEC, IDC_BASE_HEX, IDC_BASE_BIN};
    const DWORD baseBits[] = {MODE_DEC, MODE_HEX, MODE_BIN};
    for (int i = 0; i < 3; ++i)
        if (enginetest::IsChecked(face, baseKeys[i]) != (base == baseBits[i]))
            broken << "check state of " << baseKeys[i] << "; ";
    return broken.str();
}

TEST_F(EngineFace, RandomCommandsKeepTheInvariants)
{
    std::mt19937 random(0x51C0FFEE);
    const long count = CommandCount();
    long handled = 0;
    std::string history;
    for (long i = 0; i < count; ++i) {
        int id = RandomIdentifier(random);
        int code = RandomNotification(random);
        if (SendCommand(face_, id, code)) ++handled;
        // Keep the last few commands for the failure message.
        history += std::to_string(id) + (code ? "/" + std::to_string(code) : "") + " ";
        if (history.size() > 400) history.erase(0, history.size() - 300);
        std::string broken = BrokenInvariants(face_);
        ASSERT_TRUE(broken.empty()) << "after command " << i << ": " << broken << "\nlast: " << history;
    }
    // The mix must actually exercise the handlers, not only the refusals.
    EXPECT_GT(handled, count / 3);
    std::printf("%ld random commands, %ld handled\n", count, handled);
}

}  // namespace
