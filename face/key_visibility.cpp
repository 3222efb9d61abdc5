// Shows exactly the keys of the current mode. Keys not listed here (0, 1, the four operators,
// ＝, C/CE, the memory keys, ←BS) are always shown, and the display store always hidden.
#include "engine/calc_state.h"
#include "face/face.h"
#include "face/key_visibility.h"
#include "resources/resource_ids.h"

namespace {

enum Show : BYTE { HIDE = 0, SHOW = 1, PI_RULE = 2 };  // PI_RULE: shown in radians only

struct KeyVisibility {
    int id;
    Show bin, hex, dec, decTrig;
};

const KeyVisibility kKeyVisibility[] = {
    /* id                BIN   HEX   DEC   DEC+TRIG */
    {IDC_BASE_HEX,       SHOW, HIDE, SHOW, SHOW},     // "１６進" base key
    {IDC_BASE_DEC,       SHOW, SHOW, HIDE, HIDE},     // "１０進" base key
    {IDC_BASE_BIN,       HIDE, SHOW, SHOW, SHOW},     // "２進" base key
    {IDC_TRIG_PANEL,     HIDE, HIDE, SHOW, SHOW},     // "三角関" panel key
    {IDC_ANGLE_UNIT,     HIDE, HIDE, HIDE, SHOW},     // RAD/DEG
    {IDC_PI,             HIDE, HIDE, HIDE, PI_RULE},  // π
    {IDC_SIN,            HIDE, HIDE, HIDE, SHOW},
    {IDC_COS,            HIDE, HIDE, HIDE, SHOW},
    {IDC_TAN,            HIDE, HIDE, HIDE, SHOW},
    {IDC_SINH,           HIDE, HIDE, HIDE, SHOW},
    {IDC_COSH,           HIDE, HIDE, HIDE, SHOW},
    {IDC_TANH,           HIDE, HIDE, HIDE, SHOW},
    {IDC_ASIN,           HIDE, HIDE, HIDE, SHOW},
    {IDC_ACOS,           HIDE, HIDE, HIDE, SHOW},
    {IDC_ATAN,           HIDE, HIDE, HIDE, SHOW},
    {IDC_SQRT,           HIDE, HIDE, SHOW, HIDE},     // √
    {IDC_LOG,            HIDE, HIDE, SHOW, HIDE},
    {IDC_LN,             HIDE, HIDE, SHOW, HIDE},
    {IDC_EXP,            HIDE, HIDE, SHOW, HIDE},
    {IDC_POW10,          HIDE, HIDE, SHOW, HIDE},     // 10^x
    {IDC_FACTORIAL,      HIDE, HIDE, SHOW, HIDE},     // n!
    {IDC_POWER,          HIDE, HIDE, SHOW, HIDE},     // x^y
    {IDC_SQUARE,         HIDE, HIDE, SHOW, HIDE},     // x^2
    {IDC_MOD,            HIDE, HIDE, SHOW, HIDE},
    {IDC_DIGIT_0 + 0x2,  HIDE, SHOW, SHOW, SHOW},
    {IDC_DIGIT_0 + 0x3,  HIDE, SHOW, SHOW, SHOW},
    {IDC_DIGIT_0 + 0x4,  HIDE, SHOW, SHOW, SHOW},
    {IDC_DIGIT_0 + 0x5,  HIDE, SHOW, SHOW, SHOW},
    {IDC_DIGIT_0 + 0x6,  HIDE, SHOW, SHOW, SHOW},
    {IDC_DIGIT_0 + 0x7,  HIDE, SHOW, SHOW, SHOW},
    {IDC_DIGIT_0 + 0x8,  HIDE, SHOW, SHOW, SHOW},
    {IDC_DIGIT_0 + 0x9,  HIDE, SHOW, SHOW, SHOW},
    {IDC_POINT,          HIDE, HIDE, SHOW, SHOW},     // .
    {IDC_NEGATE,         SHOW, SHOW, SHOW, SHOW},     // ＋/－
    {IDC_DIGIT_0 + 0xA,  HIDE, SHOW, HIDE, HIDE},
    {IDC_DIGIT_0 + 0xB,  HIDE, SHOW, HIDE, HIDE},
    {IDC_DIGIT_0 + 0xC,  HIDE, SHOW, HIDE, HIDE},
    {IDC_DIGIT_0 + 0xD,  HIDE, SHOW, HIDE, HIDE},
    {IDC_DIGIT_0 + 0xE,  HIDE, SHOW, HIDE, HIDE},
    {IDC_DIGIT_0 + 0xF,  HIDE, SHOW, HIDE, HIDE},
    {IDC_AND,            SHOW, SHOW, HIDE, HIDE},
    {IDC_OR,             SHOW, SHOW, HIDE, HIDE},
    {IDC_XOR,            SHOW, SHOW, HIDE, HIDE},
    {IDC_NOT,            SHOW, SHOW, HIDE, HIDE},
};
static_assert(sizeof(kKeyVisibility) / sizeof(kKeyVisibility[0]) == kToggledKeyCount,
              "the table and kToggledKeyCount must agree");

Show ColumnOf(const KeyVisibility& row, KeyMode mode)
{
    switch (mode) {
    case KEYMODE_BIN: return row.bin;
    case KEYMODE_HEX: return row.hex;
    case KEYMODE_DEC: return row.dec;
    default:          return row.decTrig;
    }
}

}  // namespace

KeyMode KeyModeOf(DWORD flags)
{
    switch (flags & MODE_BASE_MASK) {
    case MODE_BIN: return KEYMODE_BIN;
    case MODE_HEX: return KEYMODE_HEX;
    case MODE_DEC: return (flags & MODE_TRIG_PANEL) ? KEYMODE_DEC_TRIG : KEYMODE_DEC;
    }
    return KEYMODE_NONE;
}

int DecideKeyVisibility(DWORD flags, BOOL degrees, KeyShow* out)
{
    KeyMode mode = KeyModeOf(flags);
    if (mode == KEYMODE_NONE) return 0;
    int n = 0;
    for (const KeyVisibility& row : kKeyVisibility) {
        Show s = ColumnOf(row, mode);
        out[n++] = KeyShow{row.id, s == PI_RULE ? !degrees : s == SHOW};
    }
    return n;
}

void UpdateKeyVisibility(HWND hDlg, DWORD flags)
{
    KeyShow keys[kToggledKeyCount];
    int n = DecideKeyVisibility(flags, (g_calc.modeFlags & MODE_DEGREES) != 0, keys);
    for (int i = 0; i < n; ++i) {
        ShowWindow(GetDlgItem(hDlg, keys[i].id), keys[i].show ? SW_SHOW : SW_HIDE);
    }
}
