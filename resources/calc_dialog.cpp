// Dialog template 112: the calculator face. Template order is creation and tab order.
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

constexpr DWORD KEY = 0x5001000B;        // WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW
constexpr DWORD KEY_GROUP = 0x5003000B;  // the same, starting a group
constexpr DWORD BASE_FIRST = 0x50031009; // push-like automatic radio button, group start
constexpr DWORD BASE = 0x50001009;
constexpr DWORD STORE = 0x4080008E;      // hidden EDIT: border, auto-scroll, upper case, multi-line, right

const DialogItemDesc kCalcItems[] = {
    /* id    class       caption            x    y    cx   cy  style */
    {1017, u"EDIT",   u"",                    3,   7, 129, 17, STORE, 0},
    {1000, u"BUTTON", u"0",                   3, 140,  25, 12, KEY, 0},
    {1001, u"BUTTON", u"1",                   3, 126,  25, 12, KEY, 0},
    {1002, u"BUTTON", u"2",                  29, 126,  25, 12, KEY, 0},
    {1003, u"BUTTON", u"3",                  55, 126,  25, 12, KEY, 0},
    {1004, u"BUTTON", u"4",                   3, 112,  25, 12, KEY, 0},
    {1005, u"BUTTON", u"5",                  29, 112,  25, 12, KEY, 0},
    {1006, u"BUTTON", u"6",                  55, 112,  25, 12, KEY, 0},
    {1007, u"BUTTON", u"7",                   3,  98,  25, 12, KEY, 0},
    {1008, u"BUTTON", u"8",                  29,  98,  25, 12, KEY, 0},
    {1009, u"BUTTON", u"9",                  55,  98,  25, 12, KEY, 0},
    {1010, u"BUTTON", u"A",                   3,  84,  25, 12, KEY, 0},
    {1011, u"BUTTON", u"B",                  29,  84,  25, 12, KEY, 0},
    {1012, u"BUTTON", u"C",                  55,  84,  25, 12, KEY, 0},
    {1013, u"BUTTON", u"D",                   3,  70,  25, 12, KEY, 0},
    {1014, u"BUTTON", u"E",                  29,  70,  25, 12, KEY, 0},
    {1015, u"BUTTON", u"F",                  55,  70,  25, 12, KEY, 0},
    {1038, u"BUTTON", u"\uFF0B/\uFF0D",      29, 140,  25, 12, KEY, 0},
    {1022, u"BUTTON", u".",                  55, 140,  25, 12, KEY, 0},
    {1019, u"BUTTON", u"\uFF0B",             81,  84,  25, 12, KEY, 0},
    {1018, u"BUTTON", u"\uFF0D",             81,  98,  25, 12, KEY, 0},
    {1020, u"BUTTON", u"\u00D7",             81, 112,  25, 12, KEY, 0},
    {1021, u"BUTTON", u"\u00F7",             81, 126,  25, 12, KEY, 0},
    {1030, u"BUTTON", u"\uFF1D",             81, 140,  51, 12, KEY, 0},
    {1031, u"BUTTON", u"RC",                107,  84,  25, 12, KEY, 0},
    {1032, u"BUTTON", u"RM",                107,  98,  25, 12, KEY, 0},
    {1033, u"BUTTON", u"M+",                107, 112,  25, 12, KEY, 0},
    {1034, u"BUTTON", u"M-",                107, 126,  25, 12, KEY, 0},
    {1029, u"BUTTON", u"C/CE",              107,  56,  25, 12, KEY, 0},
    {1023, u"BUTTON", u"\uFF11\uFF16\u9032",  3,  36,  25, 12, BASE_FIRST, 0},
    {1024, u"BUTTON", u"\uFF11\uFF10\u9032", 29,  36,  25, 12, BASE, 0},
    {1026, u"BUTTON", u"\uFF12\u9032",       55,  36,  25, 12, BASE, 0},
    {1067, u"BUTTON", u"10^x",                3,  84,  25, 12, KEY, 0},
    {1057, u"BUTTON", u"x^y",                29,  84,  25, 12, KEY_GROUP, 0},
    {1056, u"BUTTON", u"x^2",                55,  84,  25, 12, KEY_GROUP, 0},
    {1046, u"BUTTON", u"n!",                  3,  70,  25, 12, KEY, 0},
    {1035, u"BUTTON", u"log",                 3,  56,  25, 12, KEY, 0},
    {1036, u"BUTTON", u"ln",                 29,  56,  25, 12, KEY, 0},
    {1061, u"BUTTON", u"\u221A",             55,  56,  25, 12, KEY, 0},
    {1066, u"BUTTON", u"EXP",                29,  70,  25, 12, KEY, 0},
    {1052, u"BUTTON", u"MOD",                55,  70,  25, 12, KEY_GROUP, 0},
    {1048, u"BUTTON", u"AND",                 3,  56,  25, 12, KEY_GROUP, 0},
    {1049, u"BUTTON", u"OR",                 29,  56,  25, 12, KEY_GROUP, 0},
    {1050, u"BUTTON", u"XOR",                55,  56,  25, 12, KEY_GROUP, 0},
    {2031, u"BUTTON", u"NOT",                81,  56,  25, 12, KEY_GROUP, 0},
    {1051, u"BUTTON", u"\u03C0",             81,  70,  25, 12, KEY_GROUP, 0},
    {1058, u"BUTTON", u"sin",                 3,  56,  25, 12, KEY_GROUP, 0},
    {1059, u"BUTTON", u"cos",                29,  56,  25, 12, KEY_GROUP, 0},
    {1060, u"BUTTON", u"tan",                55,  56,  25, 12, KEY_GROUP, 0},
    {1040, u"BUTTON", u"sinh",                3,  70,  25, 12, KEY_GROUP, 0},
    {1042, u"BUTTON", u"cosh",               29,  70,  25, 12, KEY_GROUP, 0},
    {1041, u"BUTTON", u"tanh",               55,  70,  25, 12, KEY_GROUP, 0},
    {1063, u"BUTTON", u"asin",                3,  84,  25, 12, KEY_GROUP, 0},
    {1064, u"BUTTON", u"acos",               29,  84,  25, 12, KEY_GROUP, 0},
    {1065, u"BUTTON", u"atan",               55,  84,  25, 12, KEY_GROUP, 0},
    {1044, u"BUTTON", u"RAD",                81,  36,  25, 12, KEY, 0},
    {1062, u"BUTTON", u"\u4E09\u89D2\u95A2", 107, 36,  25, 12, KEY, 0},
    {1037, u"BUTTON", u"\u2190BS",          107,  70,  25, 12, KEY, 0},
};

const DialogDesc kCalcDialog = {
    0x50000040,  // WS_CHILD | WS_VISIBLE | DS_SETFONT
    0, 0, 0, 141, 159, u"", 9, u"System", kCalcItems,
    static_cast<int>(sizeof(kCalcItems) / sizeof(kCalcItems[0])),
};

}  // namespace

const DialogDesc& CalcDialogDesc()
{
    return kCalcDialog;
}
