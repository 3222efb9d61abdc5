// Reading menu templates and menu-bar resources. Every read is bounded by the resource's size;
// malformed data gives false, never a read past the end.
#include <cstring>
#include "platform/extras.h"
#include "platform/shell/menu.h"

namespace {

class WordReader {
public:
    WordReader(const void* data, std::size_t size) : m_data(static_cast<const BYTE*>(data)), m_size(data ? size : 0) {}
    bool Word(WORD* out)
    {
        if (m_size - m_pos < 2) return false;  // m_pos never passes m_size
        std::memcpy(out, m_data + m_pos, 2);
        m_pos += 2;
        return true;
    }
    bool Text(WideString* out)
    {
        out->clear();
        for (WORD c; Word(&c);) {
            if (c == 0) return true;
            out->push_back(static_cast<WCHAR>(c));
        }
        return false;  // no terminator before the end
    }
    bool Skip(std::size_t bytes)
    {
        if (bytes > m_size - m_pos) return false;
        m_pos += bytes;
        return true;
    }

private:
    const BYTE* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

bool ParseItems(WordReader& in, int depth, std::size_t* count, std::vector<ShellMenuItem>* out)
{
    if (depth > kMenuDepthCap) return false;
    for (;;) {
        if (++*count > kMenuItemCap) return false;
        ShellMenuItem item;
        WORD flags, id = 0;
        if (!in.Word(&flags)) return false;
        if (!(flags & MF_POPUP) && !in.Word(&id)) return false;
        if (!in.Text(&item.text)) return false;
        item.flags = flags & ~MF_END;
        item.id = id;
        if ((flags & MF_POPUP) && !ParseItems(in, depth + 1, count, &item.items)) return false;
        out->push_back(std::move(item));
        if (flags & MF_END) return true;
    }
}

}  // namespace

bool ParseMenuTemplate(const void* data, std::size_t size, std::vector<ShellMenuItem>* items)
{
    if (!items) return false;
    items->clear();
    WordReader in(data, size);
    WORD version, headerSize;
    if (!in.Word(&version) || !in.Word(&headerSize) || version != 0 || !in.Skip(headerSize)) return false;
    std::size_t count = 0;
    return ParseItems(in, 0, &count, items);
}

bool ParseMenuBarResource(const void* data, std::size_t size, ShellMenuBarResource* out)
{
    if (!out) return false;
    *out = ShellMenuBarResource{};
    WordReader in(data, size);
    WORD menuId, count;
    if (!in.Word(&menuId) || !in.Word(&count) || count > kMenuBarButtonCap) return false;
    out->menuId = menuId;
    for (WORD i = 0; i < count; ++i) {
        WORD image, command, state, style, label, zero, menuIndex;
        if (!in.Word(&image) || !in.Word(&command) || !in.Word(&state) || !in.Word(&style) || !in.Word(&label) ||
            !in.Word(&zero) || !in.Word(&menuIndex)) {
            return false;
        }
        out->buttons.push_back(ShellMenuBarButton{command, state, style, label, menuIndex});
    }
    return true;
}
