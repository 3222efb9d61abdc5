// Binary dialog templates: written from the program's readable tables, read back when a dialog
// is created. The reader never trusts a count or a string to stay inside the bytes it was given.
#include <cstring>
#include "platform/controls/dialog_template.h"

namespace {

// Atoms of the predefined control classes.
struct ClassAtom {
    WORD atom;
    const WCHAR* name;
};
constexpr ClassAtom kClassAtoms[] = {
    {0x0080, TEXT("BUTTON")}, {0x0081, TEXT("EDIT")},      {0x0082, TEXT("STATIC")},
    {0x0083, TEXT("LISTBOX")}, {0x0084, TEXT("SCROLLBAR")}, {0x0085, TEXT("COMBOBOX")},
};

WORD AtomOf(LPCWSTR name)
{
    if (!name) return 0;
    for (const auto& c : kClassAtoms) {
        if (WideString(c.name) == name) return c.atom;
    }
    return 0;
}

void PutDword(std::vector<WORD>& out, DWORD v)
{
    out.push_back(static_cast<WORD>(v & 0xFFFF));
    out.push_back(static_cast<WORD>(v >> 16));
}

void PutText(std::vector<WORD>& out, LPCWSTR text)
{
    for (const WCHAR* p = text ? text : TEXT(""); *p; ++p) out.push_back(*p);
    out.push_back(0);
}

class Reader {
public:
    Reader(const BYTE* data, std::size_t size) : data_(data), size_(size) {}
    bool Word(WORD* v)
    {
        if (pos_ + 2 > size_) return false;
        std::memcpy(v, data_ + pos_, 2);
        pos_ += 2;
        return true;
    }
    bool Dword(DWORD* v)
    {
        WORD lo, hi;
        if (!Word(&lo) || !Word(&hi)) return false;
        *v = lo | (static_cast<DWORD>(hi) << 16);
        return true;
    }
    bool Short(short* v)
    {
        WORD w;
        if (!Word(&w)) return false;
        *v = static_cast<short>(w);
        return true;
    }
    bool Text(WideString* out)
    {
        out->clear();
        for (;;) {
            WORD c;
            if (!Word(&c)) return false;
            if (c == 0) return true;
            if (out->size() >= 4096) return false;
            out->push_back(static_cast<WCHAR>(c));
        }
    }
    // A name or an ordinal (0xFFFF followed by a number).
    bool NameOrOrdinal(WideString* name, WORD* ordinal)
    {
        *ordinal = 0;
        name->clear();
        WORD first;
        if (!Word(&first)) return false;
        if (first == 0) return true;
        if (first == 0xFFFF) return Word(ordinal);
        pos_ -= 2;
        return Text(name);
    }
    bool AlignDword()
    {
        pos_ = (pos_ + 3) & ~std::size_t(3);
        return pos_ <= size_;
    }
    bool Skip(std::size_t n)
    {
        if (n > size_ - pos_) return false;
        pos_ += n;
        return true;
    }

private:
    const BYTE* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

bool ReadItem(Reader& r, ParsedDialogItem* item)
{
    if (!r.AlignDword()) return false;
    if (!r.Dword(&item->style) || !r.Dword(&item->exStyle)) return false;
    if (!r.Short(&item->x) || !r.Short(&item->y) || !r.Short(&item->cx) || !r.Short(&item->cy)) return false;
    if (!r.Word(&item->id)) return false;
    WORD classAtom;
    if (!r.NameOrOrdinal(&item->className, &classAtom)) return false;
    if (classAtom) {
        item->className.clear();
        for (const auto& c : kClassAtoms) {
            if (c.atom == classAtom) item->className = c.name;
        }
        if (item->className.empty()) return false;
    }
    if (!r.NameOrOrdinal(&item->caption, &item->captionOrdinal)) return false;
    WORD extra;
    if (!r.Word(&extra)) return false;
    return r.Skip(extra);
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(const DialogDesc& d)
{
    std::vector<WORD> out;
    PutDword(out, d.style);
    PutDword(out, d.exStyle);
    out.push_back(static_cast<WORD>(d.itemCount));
    for (short v : {d.x, d.y, d.cx, d.cy}) out.push_back(static_cast<WORD>(v));
    out.push_back(0);  // no menu
    out.push_back(0);  // the predefined dialog class
    PutText(out, d.caption);
    if (d.style & DS_SETFONT) {
        out.push_back(d.pointSize);
        PutText(out, d.fontName);
    }
    for (int i = 0; i < d.itemCount; ++i) {
        const DialogItemDesc& item = d.items[i];
        if (out.size() % 2) out.push_back(0);  // each item starts on a DWORD boundary
        PutDword(out, item.style);
        PutDword(out, 0);
        for (short v : {item.x, item.y, item.cx, item.cy}) out.push_back(static_cast<WORD>(v));
        out.push_back(item.id);
        WORD atom = AtomOf(item.className);
        if (atom) {
            out.push_back(0xFFFF);
            out.push_back(atom);
        } else {
            PutText(out, item.className);
        }
        if (item.iconId) {
            out.push_back(0xFFFF);
            out.push_back(item.iconId);
        } else {
            PutText(out, item.caption);
        }
        out.push_back(0);  // no creation data
    }
    return out;
}

bool ParseDialogTemplate(const void* data, std::size_t size, ParsedDialog* out)
{
    if (!data || !out) return false;
    Reader r(static_cast<const BYTE*>(data), size);
    WORD count;
    if (!r.Dword(&out->style) || !r.Dword(&out->exStyle) || !r.Word(&count)) return false;
    if (!r.Short(&out->x) || !r.Short(&out->y) || !r.Short(&out->cx) || !r.Short(&out->cy)) return false;
    WideString menu, cls;
    WORD menuId, classId;
    if (!r.NameOrOrdinal(&menu, &menuId) || !r.NameOrOrdinal(&cls, &classId)) return false;
    if (!r.Text(&out->caption)) return false;
    out->pointSize = 0;
    out->fontName.clear();
    if (out->style & DS_SETFONT) {
        if (!r.Word(&out->pointSize) || !r.Text(&out->fontName)) return false;
    }
    out->items.clear();
    for (int i = 0; i < count; ++i) {
        ParsedDialogItem item{};
        if (!ReadItem(r, &item)) return false;
        out->items.push_back(std::move(item));
    }
    return true;
}
