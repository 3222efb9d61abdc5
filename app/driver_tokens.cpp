// Key tokens: a decimal command number, a caption exactly as on the face, or an ASCII alias.
#include <cstdlib>
#include "app/driver_tokens.h"
#include "platform/extras.h"
#include "resources/program_resources.h"

namespace {

struct Alias {
    const char* token;
    int id;
};

const Alias kAliases[] = {
    /* token   id */
    {"+", 1019},    {"-", 1018},     {"*", 1020},    {"/", 1021},    {"=", 1030},     {".", 1022},
    {"C/CE", 1029}, {"BS", 1037},    {"+/-", 1038},  {"MOD", 1052},  {"AND", 1048},   {"OR", 1049},
    {"XOR", 1050},  {"NOT", 2031},   {"pi", 1051},   {"sqrt", 1061}, {"x^2", 1056},   {"x^y", 1057},
    {"10^x", 1067}, {"n!", 1046},    {"EXP", 1066},  {"log", 1035},  {"ln", 1036},    {"sin", 1058},
    {"cos", 1059},  {"tan", 1060},   {"sinh", 1040}, {"cosh", 1042}, {"tanh", 1041},  {"asin", 1063},
    {"acos", 1064}, {"atan", 1065},  {"HEX", 1023},  {"DEC", 1024},  {"BIN", 1026},   {"RAD/DEG", 1044},
    {"TRIG", 1062}, {"RC", 1031},    {"RM", 1032},   {"M+", 1033},   {"M-", 1034},    {"DEG", 1044},
};

std::string Utf8(LPCWSTR text)
{
    std::string out;
    Utf16ToUtf8(text ? text : TEXT(""), &out);
    return out;
}

bool IsDecimal(const std::string& token)
{
    if (token.empty() || token.size() > 9) return false;
    for (char c : token) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

int KeyTokenToId(const std::string& token)
{
    // A single digit is its key; longer numbers are command identifiers.
    if (token.size() == 1 && token[0] >= '0' && token[0] <= '9') return 1000 + (token[0] - '0');
    if (IsDecimal(token)) {
        long id = std::strtol(token.c_str(), nullptr, 10);
        return id > 0 && id <= 0xFFFF ? static_cast<int>(id) : 0;
    }
    if (token.size() == 1 && token[0] >= 'A' && token[0] <= 'F') return 1010 + (token[0] - 'A');
    for (const Alias& a : kAliases) {
        if (token == a.token) return a.id;
    }
    const DialogDesc& face = CalcDialogDesc();
    for (int i = 0; i < face.itemCount; ++i) {
        const DialogItemDesc& item = face.items[i];
        if (item.caption && item.caption[0] && token == Utf8(item.caption)) return item.id;
    }
    return 0;
}

std::string KeyTokenHelp()
{
    std::string help = "  digits: 0-9 A-F\n  aliases:";
    for (const Alias& a : kAliases) {
        help += ' ';
        help += a.token;
    }
    help += "\n  captions:";
    const DialogDesc& face = CalcDialogDesc();
    for (int i = 0; i < face.itemCount; ++i) {
        const DialogItemDesc& item = face.items[i];
        if (item.caption && item.caption[0]) help += " " + Utf8(item.caption);
    }
    help += "\n  or any command number (1019, 40003, ...)\n";
    return help;
}
