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
    /* id                class            caption                        x    y   cx   cy  style */
    {IDC_DISPLAY_STORE,  TEXT("EDIT"),    TEXT(""),                     3,   7, 129,  17, STORE, 0},
    {IDC_DIGIT_0 + 0x0,  TEXT("BUTTON"),  TEXT("0"),                    3, 140,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0x1,  TEXT("BUTTON"),  TEXT("1"),                    3, 126,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0x2,  TEXT("BUTTON"),  TEXT("2"),                   29, 126,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0x3,  TEXT("BUTTON"),  TEXT("3"),                   55, 126,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0x4,  TEXT("BUTTON"),  TEXT("4"),                    3, 112,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0x5,  TEXT("BUTTON"),  TEXT("5"),                   29, 112,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0x6,  TEXT("BUTTON"),  TEXT("6"),                   55, 112,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0x7,  TEXT("BUTTON"),  TEXT("7"),                    3,  98,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0x8,  TEXT("BUTTON"),  TEXT("8"),                   29,  98,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0x9,  TEXT("BUTTON"),  TEXT("9"),                   55,  98,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0xA,  TEXT("BUTTON"),  TEXT("A"),                    3,  84,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0xB,  TEXT("BUTTON"),  TEXT("B"),                   29,  84,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0xC,  TEXT("BUTTON"),  TEXT("C"),                   55,  84,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0xD,  TEXT("BUTTON"),  TEXT("D"),                    3,  70,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0xE,  TEXT("BUTTON"),  TEXT("E"),                   29,  70,  25,  12, KEY, 0},
    {IDC_DIGIT_0 + 0xF,  TEXT("BUTTON"),  TEXT("F"),                   55,  70,  25,  12, KEY, 0},
    {IDC_NEGATE,         TEXT("BUTTON"),  TEXT("\uFF0B/\uFF0D"),       29, 140,  25,  12, KEY, 0},
    {IDC_POINT,          TEXT("BUTTON"),  TEXT("."),                   55, 140,  25,  12, KEY, 0},
    {IDC_ADD,            TEXT("BUTTON"),  TEXT("\uFF0B"),              81,  84,  25,  12, KEY, 0},
    {IDC_SUB,            TEXT("BUTTON"),  TEXT("\uFF0D"),              81,  98,  25,  12, KEY, 0},
    {IDC_MUL,            TEXT("BUTTON"),  TEXT("\u00D7"),              81, 112,  25,  12, KEY, 0},
    {IDC_DIV,            TEXT("BUTTON"),  TEXT("\u00F7"),              81, 126,  25,  12, KEY, 0},
    {IDC_EQUALS,         TEXT("BUTTON"),  TEXT("\uFF1D"),              81, 140,  51,  12, KEY, 0},
    {IDC_MEM_CLEAR,      TEXT("BUTTON"),  TEXT("RC"),                 107,  84,  25,  12, KEY, 0},
    {IDC_MEM_RECALL,     TEXT("BUTTON"),  TEXT("RM"),                 107,  98,  25,  12, KEY, 0},
    {IDC_MEM_ADD,        TEXT("BUTTON"),  TEXT("M+"),                 107, 112,  25,  12, KEY, 0},
    {IDC_MEM_SUB,        TEXT("BUTTON"),  TEXT("M-"),                 107, 126,  25,  12, KEY, 0},
    {IDC_CLEAR,          TEXT("BUTTON"),  TEXT("C/CE"),               107,  56,  25,  12, KEY, 0},
    {IDC_BASE_HEX,       TEXT("BUTTON"),  TEXT("\uFF11\uFF16\u9032"),   3,  36,  25,  12, BASE_FIRST, 0},
    {IDC_BASE_DEC,       TEXT("BUTTON"),  TEXT("\uFF11\uFF10\u9032"),  29,  36,  25,  12, BASE, 0},
    {IDC_BASE_BIN,       TEXT("BUTTON"),  TEXT("\uFF12\u9032"),        55,  36,  25,  12, BASE, 0},
    {IDC_POW10,          TEXT("BUTTON"),  TEXT("10^x"),                 3,  84,  25,  12, KEY, 0},
    {IDC_POWER,          TEXT("BUTTON"),  TEXT("x^y"),                 29,  84,  25,  12, KEY_GROUP, 0},
    {IDC_SQUARE,         TEXT("BUTTON"),  TEXT("x^2"),                 55,  84,  25,  12, KEY_GROUP, 0},
    {IDC_FACTORIAL,      TEXT("BUTTON"),  TEXT("n!"),                   3,  70,  25,  12, KEY, 0},
    {IDC_LOG,            TEXT("BUTTON"),  TEXT("log"),                  3,  56,  25,  12, KEY, 0},
    {IDC_LN,             TEXT("BUTTON"),  TEXT("ln"),                  29,  56,  25,  12, KEY, 0},
    {IDC_SQRT,           TEXT("BUTTON"),  TEXT("\u221A"),              55,  56,  25,  12, KEY, 0},
    {IDC_EXP,            TEXT("BUTTON"),  TEXT("EXP"),                 29,  70,  25,  12, KEY, 0},
    {IDC_MOD,            TEXT("BUTTON"),  TEXT("MOD"),                 55,  70,  25,  12, KEY_GROUP, 0},
    {IDC_AND,            TEXT("BUTTON"),  TEXT("AND"),                  3,  56,  25,  12, KEY_GROUP, 0},
    {IDC_OR,             TEXT("BUTTON"),  TEXT("OR"),                  29,  56,  25,  12, KEY_GROUP, 0},
    {IDC_XOR,            TEXT("BUTTON"),  TEXT("XOR"),                 55,  56,  25,  12, KEY_GROUP, 0},
    {IDC_NOT,            TEXT("BUTTON"),  TEXT("NOT"),                 81,  56,  25,  12, KEY_GROUP, 0},
    {IDC_PI,             TEXT("BUTTON"),  TEXT("\u03C0"),              81,  70,  25,  12, KEY_GROUP, 0},
    {IDC_SIN,            TEXT("BUTTON"),  TEXT("sin"),                  3,  56,  25,  12, KEY_GROUP, 0},
    {IDC_COS,            TEXT("BUTTON"),  TEXT("cos"),                 29,  56,  25,  12, KEY_GROUP, 0},
    {IDC_TAN,            TEXT("BUTTON"),  TEXT("tan"),                 55,  56,  25,  12, KEY_GROUP, 0},
    {IDC_SINH,           TEXT("BUTTON"),  TEXT("sinh"),                 3,  70,  25,  12, KEY_GROUP, 0},
    {IDC_COSH,           TEXT("BUTTON"),  TEXT("cosh"),                29,  70,  25,  12, KEY_GROUP, 0},
    {IDC_TANH,           TEXT("BUTTON"),  TEXT("tanh"),                55,  70,  25,  12, KEY_GROUP, 0},
    {IDC_ASIN,           TEXT("BUTTON"),  TEXT("asin"),                 3,  84,  25,  12, KEY_GROUP, 0},
    {IDC_ACOS,           TEXT("BUTTON"),  TEXT("acos"),                29,  84,  25,  12, KEY_GROUP, 0},
    {IDC_ATAN,           TEXT("BUTTON"),  TEXT("atan"),                55,  84,  25,  12, KEY_GROUP, 0},
    {IDC_ANGLE_UNIT,     TEXT("BUTTON"),  TEXT("RAD"),                 81,  36,  25,  12, KEY, 0},
    {IDC_TRIG_PANEL,     TEXT("BUTTON"),  TEXT("\u4E09\u89D2\u95A2"), 107,  36,  25,  12, KEY, 0},
    {IDC_BACKSPACE,      TEXT("BUTTON"),  TEXT("\u2190BS"),           107,  70,  25,  12, KEY, 0},
};

const DialogDesc kCalcDialog = {
    WS_CHILD | WS_VISIBLE | DS_SETFONT,
    0, 0, 0, 141, 159, TEXT(""), 9, TEXT("System"), kCalcItems,
    static_cast<int>(sizeof(kCalcItems) / sizeof(kCalcItems[0])),
};

}  // namespace

const DialogDesc& CalcDialogDesc()
{
    return kCalcDialog;
}
