// Key tokens: a decimal command number, a caption exactly as on the face, or an ASCII alias.
#include <cstdio>
#include <cstdlib>
#include "app/driver_tokens.h"
#include "platform/extras.h"
#include "resources/program_resources.h"

namespace {

constexpr std::size_t kShownTextCap = 64;  // characters of an echoed text shown before it is cut

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

// Bytes in the UTF-8 sequence that begins at `at`, or 0 when none begins there.
std::size_t Utf8SequenceAt(const std::string& text, std::size_t at)
{
    unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t n = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    WideString decoded;
    return n && at + n <= text.size() && Utf8ToUtf16(std::string_view(text).substr(at, n), &decoded) ? n : 0;
}

// C0 and C1 controls and DEL: what a terminal would act on instead of showing.
bool IsControl(const std::string& text, std::size_t at, std::size_t n)
{
    unsigned char lead = static_cast<unsigned char>(text[at]);
    if (n == 1) return lead < 0x20 || lead == 0x7F;
    return n == 2 && lead == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
}

void AppendEscaped(const std::string& text, std::size_t at, std::size_t n, std::string* out)
{
    for (std::size_t i = at; i < at + n; ++i) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(text[i]));
        *out += escaped;
    }
}

}  // namespace

std::string ShownText(const std::string& text)
{
    std::string shown;
    std::size_t at = 0;
    for (std::size_t characters = 0; at < text.size() && characters < kShownTextCap; ++characters) {
        std::size_t n = Utf8SequenceAt(text, at);
        if (n == 0 || IsControl(text, at, n)) AppendEscaped(text, at, n ? n : 1, &shown);
        else shown.append(text, at, n);
        at += n ? n : 1;
    }
    if (at < text.size()) shown += "... (" + std::to_string(text.size()) + " bytes in all)";
    return shown;
}

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
