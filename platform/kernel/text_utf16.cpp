// UTF-16 decoding and conversion, and CharUpper for the letters the program shows.
// Knowingly lacks: case mappings outside Latin, Greek, Cyrillic and the fullwidth forms.
#include "platform/kernel/text_utf16.h"
#include "platform/win_user.h"

namespace {

bool IsHigh(char32_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLow(char32_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::u32string DecodeUtf16(const WCHAR* text, std::size_t length, std::vector<std::size_t>* unitOf)
{
    std::u32string out;
    if (!text) return out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        char32_t u = text[i];
        if (unitOf) unitOf->push_back(i);
        if (IsHigh(u) && i + 1 < length && IsLow(text[i + 1])) {
            out += 0x10000 + ((u - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (IsHigh(u) || IsLow(u)) {
            out += kReplacementChar;
        } else {
            out += u;
        }
    }
    return out;
}

std::string Utf16ToUtf8(const WCHAR* text, std::size_t length)
{
    std::string out;
    for (char32_t c : DecodeUtf16(text, length)) AppendUtf8(out, c);
    return out;
}

std::size_t TerminatedLength(const WCHAR* text, std::size_t cap)
{
    std::size_t n = 0;
    if (!text) return 0;
    while (n < cap && text[n]) ++n;
    return n;
}

WCHAR UpperCaseUnit(WCHAR c)
{
    if (c >= u'a' && c <= u'z') return WCHAR(c - 0x20);
    if (c >= 0xFF41 && c <= 0xFF5A) return WCHAR(c - 0x20);                  // fullwidth a-z
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return WCHAR(c - 0x20);       // Latin-1
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {                                           // Latin Extended-A pairs
        bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
        bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (evenUpper && (c & 1)) return WCHAR(c - 1);
        if (oddUpper && !(c & 1)) return WCHAR(c - 1);
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return WCHAR(c - 0x20);     // Greek
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x430 && c <= 0x44F) return WCHAR(c - 0x20);                    // Cyrillic
    if (c >= 0x450 && c <= 0x45F) return WCHAR(c - 0x50);
    return c;
}

// As Win32: a pointer whose high word is zero carries a single character in its low word.
LPWSTR CharUpper(LPWSTR text)
{
    UINT_PTR v = reinterpret_cast<UINT_PTR>(text);
    if ((v >> 16) == 0) return reinterpret_cast<LPWSTR>(UINT_PTR(UpperCaseUnit(WCHAR(v))));
    for (WCHAR* p = text; *p; ++p) *p = UpperCaseUnit(*p);
    return text;
}
