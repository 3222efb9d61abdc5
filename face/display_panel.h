// What the display panel shows, as a function of the calculator state alone: the painter only
// turns this into drawing calls, and the headless trace prints it. Positions are not here: they
// depend on measured text extents and the device resolution.
#pragma once
#include <string>
#include <string_view>
#include "engine/calc_state.h"
#include "platform/extras.h"

// Width of the number font per 72nds of an inch: wide for short texts, narrow for long ones.
constexpr int PANEL_WIDTH_WIDE = 8;
constexpr int PANEL_WIDTH_NARROW = 4;
constexpr int PANEL_WIDTH_NARROW_BIN = 3;
// Up to this many code units of display text the number keeps the wide font.
constexpr std::size_t PANEL_WIDE_TEXT_MAX = 12;

struct PanelModel {
    WideString number;       // grouped and upper-cased, as drawn
    int widthFactor;             // 8, 4 or 3
    const WCHAR* baseLabel;      // TEXT("DEC"), TEXT("HEX") or TEXT("BIN")
    const WCHAR* angleLabel;     // TEXT("DEG") or TEXT("RAD"); null when not drawn
    WideString memoryLine;   // "M: " and the memory value; empty when none
    bool hasMemoryLine;
};

PanelModel ComputePanelModel(const CalcState& state);

// The display text up to its terminator, never reading past the record's room.
WideStringView PanelDisplayText(const CalcState& state);

// Digit grouping of the base in `modeFlags` (BIN 8 with spaces, HEX 4 with spaces, DEC 3 with
// commas before the first point, a leading minus kept out of the count). Case is left alone.
WideString GroupDisplayText(WideStringView text, DWORD modeFlags);

int NumberWidthFactor(WideStringView text, DWORD modeFlags);
