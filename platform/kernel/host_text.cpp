// UTF-16/UTF-8 conversion and the simple case fold.
#include "platform/kernel/host_text.h"

namespace {

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(char32_t c, std::string* out)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUtf16(char32_t c, WideString* out)
{
    if (c < 0x10000) {
        out->push_back(static_cast<WCHAR>(c));
        return;
    }
    c -= 0x10000;
    out->push_back(static_cast<WCHAR>(0xD800 | (c >> 10)));
    out->push_back(static_cast<WCHAR>(0xDC00 | (c & 0x3FF)));
}

// Length of the sequence a lead byte starts, and the smallest code point it may carry.
bool Utf8Lead(unsigned char b, int* length, char32_t* value, char32_t* minimum)
{
    if (b < 0x80) { *length = 1; *value = b; *minimum = 0; return true; }
    if ((b & 0xE0) == 0xC0) { *length = 2; *value = b & 0x1F; *minimum = 0x80; return true; }
    if ((b & 0xF0) == 0xE0) { *length = 3; *value = b & 0x0F; *minimum = 0x800; return true; }
    if ((b & 0xF8) == 0xF0) { *length = 4; *value = b & 0x07; *minimum = 0x10000; return true; }
    return false;
}

}  // namespace

bool Utf16ToUtf8(WideStringView text, std::string* out)
{
    out->clear();
    out->reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(c)) {
            if (i + 1 >= text.size() || !IsLowSurrogate(text[i + 1])) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsLowSurrogate(c)) {
            return false;
        }
        AppendUtf8(c, out);
    }
    return true;
}

bool Utf8ToUtf16(std::string_view text, WideString* out)
{
    out->clear();
    out->reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        int length;
        char32_t value, minimum;
        if (!Utf8Lead(static_cast<unsigned char>(text[i]), &length, &value, &minimum)) return false;
        if (text.size() - i < static_cast<std::size_t>(length)) return false;
        for (int k = 1; k < length; ++k) {
            unsigned char b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            value = (value << 6) | (b & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || IsHighSurrogate(value) || IsLowSurrogate(value)) return false;
        AppendUtf16(value, out);
        i += length;
    }
    return true;
}

WCHAR FoldCase(WCHAR c)
{
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;                  // Latin-1
    if (c >= 0x100 && c <= 0x137 && c != 0x130) return c | 1;                   // pairs: even upper
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;                // Greek
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 37;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 63;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                              // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;                            // full-width
    return c;
}

bool EqualsIgnoringCase(WideStringView a, WideStringView b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}
