// Which keys each mode shows: a pure decision, testable without windows.
#pragma once
#include "platform/windows.h"

enum KeyMode { KEYMODE_BIN, KEYMODE_HEX, KEYMODE_DEC, KEYMODE_DEC_TRIG, KEYMODE_NONE };

struct KeyShow {
    int id;
    BOOL show;
};

// The key set of `flags` (base and MODE_TRIG_PANEL) with `degrees` telling π's state.
// Fills `out` (room for kToggledKeyCount) and returns how many; 0 for an invalid base.
constexpr int kToggledKeyCount = 44;
int DecideKeyVisibility(DWORD flags, BOOL degrees, KeyShow* out);
KeyMode KeyModeOf(DWORD flags);
