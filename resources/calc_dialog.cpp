// Dialog template 112: the calculator face. Template order is creation and tab order.
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

constexpr DWORD KEY = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
constexpr DWORD KEY_GROUP = KEY | WS_GROUP;
// The base keys: push-like automatic radio buttons, one group.
constexpr DWORD BASE = WS_CHILD | WS_VISIBLE | BS_PUSHLIKE | BS_AUTORADIOBUTTON;
constexpr DWORD BASE_FIRST = BASE | WS_GROUP | WS_TABSTOP;
// The display store: a hidden EDIT that keeps the display's text.
constexpr DWORD STORE = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_UPPERCASE | ES_MULTILINE | ES_RIGHT;

const DialogItemDesc kCalcItems[] = {
    /* id                class      caption            x    y    cx   cy  style */
    {IDC_DISPLAY_STORE,  u"EDIT",   u"",                    3,   7, 129, 17, STORE, 0},
    {IDC_DIGIT_0 + 0x0,  u"BUTTON", u"0",                   3, 140,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0x1,  u"BUTTON", u"1",                   3, 126,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0x2,  u"BUTTON", u"2",                  29, 126,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0x3,  u"BUTTON", u"3",                  55, 126,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0x4,  u"BUTTON", u"4",                   3, 112,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0x5,  u"BUTTON", u"5",                  29, 112,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0x6,  u"BUTTON", u"6",                  55, 112,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0x7,  u"BUTTON", u"7",                   3,  98,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0x8,  u"BUTTON", u"8",                  29,  98,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0x9,  u"BUTTON", u"9",                  55,  98,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0xA,  u"BUTTON", u"A",                   3,  84,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0xB,  u"BUTTON", u"B",                  29,  84,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0xC,  u"BUTTON", u"C",                  55,  84,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0xD,  u"BUTTON", u"D",                   3,  70,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0xE,  u"BUTTON", u"E",                  29,  70,  25, 12, KEY, 0},
    {IDC_DIGIT_0 + 0xF,  u"BUTTON", u"F",                  55,  70,  25, 12, KEY, 0},
    {IDC_NEGATE,         u"BUTTON", u"\uFF0B/\uFF0D",      29, 140,  25, 12, KEY, 0},
    {IDC_POINT,          u"BUTTON", u".",                  55, 140,  25, 12, KEY, 0},
    {IDC_ADD,            u"BUTTON", u"\uFF0B",             81,  84,  25, 12, KEY, 0},
    {IDC_SUB,            u"BUTTON", u"\uFF0D",             81,  98,  25, 12, KEY, 0},
    {IDC_MUL,            u"BUTTON", u"\u00D7",             81, 112,  25, 12, KEY, 0},
    {IDC_DIV,            u"BUTTON", u"\u00F7",             81, 126,  25, 12, KEY, 0},
    {IDC_EQUALS,         u"BUTTON", u"\uFF1D",             81, 140,  51, 12, KEY, 0},
    {IDC_MEM_CLEAR,      u"BUTTON", u"RC",                107,  84,  25, 12, KEY, 0},
    {IDC_MEM_RECALL,     u"BUTTON", u"RM",                107,  98,  25, 12, KEY, 0},
    {IDC_MEM_ADD,        u"BUTTON", u"M+",                107, 112,  25, 12, KEY, 0},
    {IDC_MEM_SUB,        u"BUTTON", u"M-",                107, 126,  25, 12, KEY, 0},
    {IDC_CLEAR,          u"BUTTON", u"C/CE",              107,  56,  25, 12, KEY, 0},
    {IDC_BASE_HEX,       u"BUTTON", u"\uFF11\uFF16\u9032",  3,  36,  25, 12, BASE_FIRST, 0},
    {IDC_BASE_DEC,       u"BUTTON", u"\uFF11\uFF10\u9032", 29,  36,  25, 12, BASE, 0},
    {IDC_BASE_BIN,       u"BUTTON", u"\uFF12\u9032",       55,  36,  25, 12, BASE, 0},
    {IDC_POW10,          u"BUTTON", u"10^x",                3,  84,  25, 12, KEY, 0},
    {IDC_POWER,          u"BUTTON", u"x^y",                29,  84,  25, 12, KEY_GROUP, 0},
    {IDC_SQUARE,         u"BUTTON", u"x^2",                55,  84,  25, 12, KEY_GROUP, 0},
    {IDC_FACTORIAL,      u"BUTTON", u"n!",                  3,  70,  25, 12, KEY, 0},
    {IDC_LOG,            u"BUTTON", u"log",                 3,  56,  25, 12, KEY, 0},
    {IDC_LN,             u"BUTTON", u"ln",                 29,  56,  25, 12, KEY, 0},
    {IDC_SQRT,           u"BUTTON", u"\u221A",             55,  56,  25, 12, KEY, 0},
    {IDC_EXP,            u"BUTTON", u"EXP",                29,  70,  25, 12, KEY, 0},
    {IDC_MOD,            u"BUTTON", u"MOD",                55,  70,  25, 12, KEY_GROUP, 0},
    {IDC_AND,            u"BUTTON", u"AND",                 3,  56,  25, 12, KEY_GROUP, 0},
    {IDC_OR,             u"BUTTON", u"OR",                 29,  56,  25, 12, KEY_GROUP, 0},
    {IDC_XOR,            u"BUTTON", u"XOR",                55,  56,  25, 12, KEY_GROUP, 0},
    {IDC_NOT,            u"BUTTON", u"NOT",                81,  56,  25, 12, KEY_GROUP, 0},
    {IDC_PI,             u"BUTTON", u"\u03C0",             81,  70,  25, 12, KEY_GROUP, 0},
    {IDC_SIN,            u"BUTTON", u"sin",                 3,  56,  25, 12, KEY_GROUP, 0},
    {IDC_COS,            u"BUTTON", u"cos",                29,  56,  25, 12, KEY_GROUP, 0},
    {IDC_TAN,            u"BUTTON", u"tan",                55,  56,  25, 12, KEY_GROUP, 0},
    {IDC_SINH,           u"BUTTON", u"sinh",                3,  70,  25, 12, KEY_GROUP, 0},
    {IDC_COSH,           u"BUTTON", u"cosh",               29,  70,  25, 12, KEY_GROUP, 0},
    {IDC_TANH,           u"BUTTON", u"tanh",               55,  70,  25, 12, KEY_GROUP, 0},
    {IDC_ASIN,           u"BUTTON", u"asin",                3,  84,  25, 12, KEY_GROUP, 0},
    {IDC_ACOS,           u"BUTTON", u"acos",               29,  84,  25, 12, KEY_GROUP, 0},
    {IDC_ATAN,           u"BUTTON", u"atan",               55,  84,  25, 12, KEY_GROUP, 0},
    {IDC_ANGLE_UNIT,     u"BUTTON", u"RAD",                81,  36,  25, 12, KEY, 0},
    {IDC_TRIG_PANEL,     u"BUTTON", u"\u4E09\u89D2\u95A2", 107, 36,  25, 12, KEY, 0},
    {IDC_BACKSPACE,      u"BUTTON", u"\u2190BS",          107,  70,  25, 12, KEY, 0},
};

const DialogDesc kCalcDialog = {
    WS_CHILD | WS_VISIBLE | DS_SETFONT,
    0, 0, 0, 141, 159, u"", 9, u"System", kCalcItems,
    static_cast<int>(sizeof(kCalcItems) / sizeof(kCalcItems[0])),
};

}  // namespace

const DialogDesc& CalcDialogDesc()
{
    return kCalcDialog;
}
