// Copy and paste of the displayed number. The paste check is strict on purpose: text that is
// not plainly a number of the current base changes nothing, rather than being read as its
// longest valid leading part the way the display's own parsing would.
#include "engine/clipboard_entry.h"
#include <string>
#include <string_view>
#include "engine/calc_state.h"
#include "engine/face_ops.h"
#include "engine/key_support.h"
#include "engine/number_text.h"
#include "platform/extras.h"

namespace {

constexpr std::size_t kHexDigitMax = 8;
constexpr std::size_t kBinDigitMax = 32;
// What the display store hands back whole: the engine reads no more than this.
constexpr std::size_t kEntryMax = kStoreFetchLimit - 1;

bool IsDigit(WCHAR c)
{
    return c >= u'0' && c <= u'9';
}

bool IsHexDigit(WCHAR c)
{
    return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool IsBinDigit(WCHAR c)
{
    return c == u'0' || c == u'1';
}

WCHAR Upper(WCHAR c)
{
    return c >= u'a' && c <= u'z' ? static_cast<WCHAR>(c - u'a' + u'A') : c;
}

// Spaces that may separate digit groups inside HEX and BIN text (as the panel groups them).
bool IsGroupSpace(WCHAR c)
{
    return c == u' ' || c == 0x00A0 || c == 0x2009 || c == 0x202F || c == 0x3000;
}

bool IsSurroundingSpace(WCHAR c)
{
    return IsGroupSpace(c) || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' ||
           c == 0xFEFF;
}

// The text up to its terminator; false when there is none within the cap.
bool BoundedText(const WCHAR* text, WideStringView* out)
{
    if (!text) return false;
    std::size_t n = 0;
    while (n <= static_cast<std::size_t>(kPasteTextCap) && text[n] != 0) ++n;
    if (n > static_cast<std::size_t>(kPasteTextCap)) return false;
    *out = WideStringView(text, n);
    return true;
}

WideStringView Trimmed(WideStringView s)
{
    while (!s.empty() && IsSurroundingSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSurroundingSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool EqualsUpper(WideStringView s, WideStringView upperWord)
{
    if (s.size() != upperWord.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (Upper(s[i]) != upperWord[i]) return false;
    }
    return true;
}

// HEX and BIN: digits, with single separators allowed only between two digits.
bool ParseIntegerDigits(WideStringView s, bool (*isDigit)(WCHAR), std::size_t maxDigits,
                        WideString* out)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        WCHAR c = s[i];
        if (isDigit(c)) {
            out->push_back(Upper(c));
            continue;
        }
        bool separator = IsGroupSpace(c) || c == u'_';
        bool between = i > 0 && i + 1 < s.size() && isDigit(s[i - 1]) && isDigit(s[i + 1]);
        if (!separator || !between) return false;
    }
    return !out->empty() && out->size() <= maxDigits;
}

// Integer digits of a DEC number, commas allowed only as thousands separators. Moves `pos`.
bool ParseGroupedDigits(WideStringView s, std::size_t* pos, WideString* out, std::size_t* digits)
{
    std::size_t group = 0;
    bool grouped = false;
    for (; *pos < s.size(); ++*pos) {
        WCHAR c = s[*pos];
        if (IsDigit(c)) {
            out->push_back(c);
            ++group;
            ++*digits;
        } else if (c == u',') {
            bool firstGroupOk = !grouped && group >= 1 && group <= 3;
            if (!firstGroupOk && !(grouped && group == 3)) return false;
            grouped = true;
            group = 0;
        } else {
            break;
        }
    }
    return !grouped || group == 3;
}

std::size_t TakeDigits(WideStringView s, std::size_t* pos, WideString* out)
{
    std::size_t n = 0;
    for (; *pos < s.size() && IsDigit(s[*pos]); ++*pos, ++n) out->push_back(s[*pos]);
    return n;
}

bool ParseDecimal(WideStringView s, WideString* out)
{
    std::size_t pos = 0;
    if (pos < s.size() && s[pos] == u'-') {
        out->push_back(u'-');
        ++pos;
    }
    WideStringView rest = s.substr(pos);
    if (EqualsUpper(rest, TEXT("INF"))) {
        *out += TEXT("INF");
        return true;
    }
    if (pos == 0 && EqualsUpper(rest, TEXT("NAN"))) {
        *out = TEXT("NAN");
        return true;
    }
    std::size_t digits = 0;
    if (!ParseGroupedDigits(s, &pos, out, &digits)) return false;
    if (pos < s.size() && s[pos] == u'.') {
        if (digits == 0) out->push_back(u'0');  // ".5" reads as typed: "0.5"
        out->push_back(u'.');
        ++pos;
        digits += TakeDigits(s, &pos, out);
    }
    if (digits == 0) return false;
    if (pos < s.size() && (s[pos] == u'e' || s[pos] == u'E')) {
        out->push_back(u'E');
        ++pos;
        if (pos < s.size() && (s[pos] == u'+' || s[pos] == u'-')) out->push_back(s[pos++]);
        if (TakeDigits(s, &pos, out) == 0) return false;
    }
    return pos == s.size();
}

// No key types an exponent, so only a paste brings one: such a number is written as a result
// is, with the point before the "E" (the panel groups what stands before the point), and the
// value it reads as: "1234e5" becomes "123400000.", "1e400" "INF".
void WriteExponentAsResult(WideString* out)
{
    if (out->find(u'E') == WideString::npos) return;
    WCHAR text[kDisplayTextCap];
    FormatDecText(ParseDecText(out->c_str()), text);
    out->clear();
    for (const WCHAR* p = text; *p; ++p) out->push_back(Upper(*p));
}

}  // namespace

int CopiedNumberText(const WCHAR* displayText, WCHAR* dest)
{
    int n = 0;
    for (int i = 0; i < kDisplayTextCap - 1 && displayText[i] != 0; ++i) {
        WCHAR c = displayText[i];
        if (c == u',' || c == u' ') continue;
        dest[n++] = Upper(c);
    }
    if (n > 1 && dest[n - 1] == u'.') --n;
    dest[n] = 0;
    return n;
}

bool ParsePastedNumber(const WCHAR* text, DWORD modeFlags, WCHAR* entry)
{
    WideStringView whole;
    if (!BoundedText(text, &whole)) return false;
    WideStringView s = Trimmed(whole);
    WideString out;
    bool ok = false;
    switch (BaseOfModeFlags(modeFlags)) {
    case BASE_DEC:
        ok = ParseDecimal(s, &out);
        if (ok) WriteExponentAsResult(&out);
        break;
    case BASE_HEX: ok = ParseIntegerDigits(s, IsHexDigit, kHexDigitMax, &out); break;
    case BASE_BIN: ok = ParseIntegerDigits(s, IsBinDigit, kBinDigitMax, &out); break;
    }
    if (!ok || out.size() > kEntryMax) return false;
    out.copy(entry, out.size());
    entry[out.size()] = 0;
    return true;
}

BOOL OnPastedNumber(HWND hDlg, const WCHAR* entry)
{
    CopyDisplayText(entry);
    g_calc.entryFlags |= ENTRY_TYPING;
    g_calc.entryFlags &= ~static_cast<DWORD>(ENTRY_CLEAR_ONCE);
    FaceSetStoreText(hDlg, g_calc.displayText);
    return EndWithRepaint(hDlg);
}
