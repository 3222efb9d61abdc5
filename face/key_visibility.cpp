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
    /* id    BIN   HEX   DEC   DEC+TRIG */
    {1023,  SHOW, HIDE, SHOW, SHOW},     // "１６進" base key
    {1024,  SHOW, SHOW, HIDE, HIDE},     // "１０進" base key
    {1026,  HIDE, SHOW, SHOW, SHOW},     // "２進" base key
    {1062,  HIDE, HIDE, SHOW, SHOW},     // "三角関" panel key
    {1044,  HIDE, HIDE, HIDE, SHOW},     // RAD/DEG
    {1051,  HIDE, HIDE, HIDE, PI_RULE},  // π
    {1058,  HIDE, HIDE, HIDE, SHOW},     // sin
    {1059,  HIDE, HIDE, HIDE, SHOW},     // cos
    {1060,  HIDE, HIDE, HIDE, SHOW},     // tan
    {1040,  HIDE, HIDE, HIDE, SHOW},     // sinh
    {1042,  HIDE, HIDE, HIDE, SHOW},     // cosh
    {1041,  HIDE, HIDE, HIDE, SHOW},     // tanh
    {1063,  HIDE, HIDE, HIDE, SHOW},     // asin
    {1064,  HIDE, HIDE, HIDE, SHOW},     // acos
    {1065,  HIDE, HIDE, HIDE, SHOW},     // atan
    {1061,  HIDE, HIDE, SHOW, HIDE},     // √
    {1035,  HIDE, HIDE, SHOW, HIDE},     // log
    {1036,  HIDE, HIDE, SHOW, HIDE},     // ln
    {1066,  HIDE, HIDE, SHOW, HIDE},     // EXP
    {1067,  HIDE, HIDE, SHOW, HIDE},     // 10^x
    {1046,  HIDE, HIDE, SHOW, HIDE},     // n!
    {1057,  HIDE, HIDE, SHOW, HIDE},     // x^y
    {1056,  HIDE, HIDE, SHOW, HIDE},     // x^2
    {1052,  HIDE, HIDE, SHOW, HIDE},     // MOD
    {1002,  HIDE, SHOW, SHOW, SHOW},     // 2
    {1003,  HIDE, SHOW, SHOW, SHOW},     // 3
    {1004,  HIDE, SHOW, SHOW, SHOW},     // 4
    {1005,  HIDE, SHOW, SHOW, SHOW},     // 5
    {1006,  HIDE, SHOW, SHOW, SHOW},     // 6
    {1007,  HIDE, SHOW, SHOW, SHOW},     // 7
    {1008,  HIDE, SHOW, SHOW, SHOW},     // 8
    {1009,  HIDE, SHOW, SHOW, SHOW},     // 9
    {1022,  HIDE, HIDE, SHOW, SHOW},     // .
    {1038,  SHOW, SHOW, SHOW, SHOW},     // ＋/－
    {1010,  HIDE, SHOW, HIDE, HIDE},     // A
    {1011,  HIDE, SHOW, HIDE, HIDE},     // B
    {1012,  HIDE, SHOW, HIDE, HIDE},     // C
    {1013,  HIDE, SHOW, HIDE, HIDE},     // D
    {1014,  HIDE, SHOW, HIDE, HIDE},     // E
    {1015,  HIDE, SHOW, HIDE, HIDE},     // F
    {1048,  SHOW, SHOW, HIDE, HIDE},     // AND
    {1049,  SHOW, SHOW, HIDE, HIDE},     // OR
    {1050,  SHOW, SHOW, HIDE, HIDE},     // XOR
    {2031,  SHOW, SHOW, HIDE, HIDE},     // NOT
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
