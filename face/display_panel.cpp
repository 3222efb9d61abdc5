// The display panel's content: grouped number, font width factor, labels and memory line.
// Upper-casing covers ASCII only: the number texts the engine writes are ASCII.
#include "face/display_panel.h"

#include "engine/number_text.h"

namespace {

struct GroupingRule {
    std::size_t groupSize;
    WCHAR separator;
};

constexpr GroupingRule kBinGrouping = {8, u' '};
constexpr GroupingRule kHexGrouping = {4, u' '};
constexpr GroupingRule kDecGrouping = {3, u','};

// BIN is tested before HEX, and everything else groups as DEC.
GroupingRule GroupingFor(DWORD modeFlags)
{
    if (modeFlags & MODE_BIN) return kBinGrouping;
    if (modeFlags & MODE_HEX) return kHexGrouping;
    return kDecGrouping;
}

bool IsDecGrouping(DWORD modeFlags)
{
    return (modeFlags & (MODE_BIN | MODE_HEX)) == 0;
}

// The first group takes what is left over, so every later group is full.
void AppendGroups(WideString& out, WideStringView digits, GroupingRule rule)
{
    std::size_t first = digits.size() % rule.groupSize;
    if (first == 0) first = rule.groupSize;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i >= first && (i - first) % rule.groupSize == 0) out += rule.separator;
        out += digits[i];
    }
}

WideString GroupDecText(WideStringView text)
{
    std::size_t point = text.find(u'.');
    WideStringView whole = text.substr(0, point);
    WideString out;
    out.reserve(text.size() + text.size() / 3 + 1);
    // A sign is not a digit: "-123." must not become "-,123.".
    if (!whole.empty() && whole.front() == u'-') {
        out += u'-';
        whole.remove_prefix(1);
    }
    AppendGroups(out, whole, kDecGrouping);
    if (point != WideStringView::npos) out += text.substr(point);
    return out;
}

void UpperCaseAscii(WideString& text)
{
    for (WCHAR& c : text) {
        if (c >= u'a' && c <= u'z') c = static_cast<WCHAR>(c - u'a' + u'A');
    }
}

const WCHAR* BaseLabel(DWORD modeFlags)
{
    switch (modeFlags & MODE_BASE_MASK) {
    case MODE_HEX: return TEXT("HEX");
    case MODE_BIN: return TEXT("BIN");
    }
    return TEXT("DEC");
}

// Only DEC with the trigonometric panel shows the angle unit.
const WCHAR* AngleLabel(DWORD modeFlags)
{
    const DWORD needed = MODE_DEC | MODE_TRIG_PANEL;
    if ((modeFlags & needed) != needed) return nullptr;
    return (modeFlags & MODE_DEGREES) ? TEXT("DEG") : TEXT("RAD");
}

bool HasMemoryValue(const CalcState& state)
{
    return state.intMemory != 0 || state.realMemory != 0.0;
}

// The memory of the current base's kind, written by the engine's own formatters, not grouped.
WideString MemoryValueText(const CalcState& state)
{
    WCHAR buffer[kDisplayTextCap] = {};
    const WCHAR* text = buffer;
    if (state.modeFlags & MODE_HEX) {
        text = FormatHexText(state.intMemory, buffer);
    } else if (state.modeFlags & MODE_BIN) {
        text = FormatBinText(state.intMemory, buffer);
    } else {
        FormatDecText(state.realMemory, buffer);
    }
    return WideString(text);
}

}  // namespace

WideStringView PanelDisplayText(const CalcState& state)
{
    WideStringView room(state.displayText, kDisplayTextCap);
    return room.substr(0, room.find(u'\0'));
}

WideString GroupDisplayText(WideStringView text, DWORD modeFlags)
{
    if (IsDecGrouping(modeFlags)) return GroupDecText(text);
    WideString out;
    GroupingRule rule = GroupingFor(modeFlags);
    out.reserve(text.size() + text.size() / rule.groupSize);
    AppendGroups(out, text, rule);
    return out;
}

// The length counted is the display text's own, before grouping.
int NumberWidthFactor(WideStringView text, DWORD modeFlags)
{
    if (text.size() <= PANEL_WIDE_TEXT_MAX) return PANEL_WIDTH_WIDE;
    return (modeFlags & MODE_BIN) ? PANEL_WIDTH_NARROW_BIN : PANEL_WIDTH_NARROW;
}

PanelModel ComputePanelModel(const CalcState& state)
{
    WideStringView text = PanelDisplayText(state);
    PanelModel model{};
    model.number = GroupDisplayText(text, state.modeFlags);
    UpperCaseAscii(model.number);
    model.widthFactor = NumberWidthFactor(text, state.modeFlags);
    model.baseLabel = BaseLabel(state.modeFlags);
    model.angleLabel = AngleLabel(state.modeFlags);
    model.hasMemoryLine = HasMemoryValue(state);
    if (model.hasMemoryLine) {
        model.memoryLine = TEXT("M: ") + MemoryValueText(state);
        UpperCaseAscii(model.memoryLine);
    }
    return model;
}
