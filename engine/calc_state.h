// The calculator's one state record and its flags; lives for the whole run, never saved.
#pragma once
#include <cstdint>
#include "platform/windows.h"

// Room for 255 characters and the terminator; the display store hands back at most 254.
constexpr int kDisplayTextCap = 256;
constexpr int kStoreFetchLimit = 255;

#define ENTRY_TYPING 0x001
#define ENTRY_OP_PENDING 0x010
#define ENTRY_CLEAR_ONCE 0x100

#define MODE_DEC 0x01
#define MODE_HEX 0x02
#define MODE_BIN 0x04
#define MODE_BASE_MASK 0x07
#define MODE_TRIG_PANEL 0x08
#define MODE_DEGREES 0x20

struct CalcState {
    WCHAR displayText[kDisplayTextCap];
    std::uint32_t pendingOp;
    DWORD entryFlags;
    DWORD modeFlags;
    std::int32_t intMemory;
    std::int32_t intAccum;
    double realMemory;
    double realAccum;
};

extern CalcState g_calc;
