// The memory keys RC, RM, M+ and M-. Each kind of value has its own register; the two are never
// converted into each other.
#include "engine/calc_state.h"
#include "engine/face_ops.h"
#include "engine/key_handlers.h"
#include "engine/key_support.h"
#include "engine/number_text.h"
#include "resources/resource_ids.h"

namespace {

void RecallMemory(HWND hDlg, CalcBase base)
{
    WCHAR text[kDisplayTextCap];
    if (base == BASE_DEC)
        FormatDecText(g_calc.realMemory, text);
    else
        FormatIntText(base, g_calc.intMemory, text);
    ShowDisplayText(hDlg, text);
}

// Integer memory wraps modulo 2^32.
void AddToIntMemory(std::int32_t value, bool subtract)
{
    std::uint32_t memory = static_cast<std::uint32_t>(g_calc.intMemory);
    std::uint32_t v = static_cast<std::uint32_t>(value);
    g_calc.intMemory = static_cast<std::int32_t>(subtract ? memory - v : v + memory);
}

}  // namespace

BOOL OnMemoryKey(HWND hDlg, int id)
{
    WCHAR text[kDisplayTextCap];
    FaceFetchStoreText(hDlg, text);
    CalcBase base = BaseOfModeFlags(g_calc.modeFlags);
    double real = base == BASE_DEC ? ParseDecText(text) : 0.0;
    std::int32_t integer = base == BASE_DEC ? 0 : ParseIntText(base, text);

    switch (id) {
    case IDC_MEM_CLEAR:
        g_calc.intMemory = 0;
        g_calc.realMemory = 0.0;
        break;
    case IDC_MEM_RECALL:
        RecallMemory(hDlg, base);
        break;
    case IDC_MEM_ADD:
        if (base == BASE_DEC) g_calc.realMemory = real + g_calc.realMemory;
        else AddToIntMemory(integer, false);
        break;
    case IDC_MEM_SUB:
        if (base == BASE_DEC) g_calc.realMemory = g_calc.realMemory - real;
        else AddToIntMemory(integer, true);
        break;
    }
    return EndSettled(hDlg);
}
