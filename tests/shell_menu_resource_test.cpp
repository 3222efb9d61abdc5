// Reading menu templates and menu-bar resources: every cut of the program's own, and malformed
// ones, must be refused without reading past their end.
#include <gtest/gtest.h>
#include <vector>
#include "platform/kernel/resource_table.h"
#include "platform/shell/menu.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

const ResourceEntry& ProgramResource(LPCWSTR type, UINT id)
{
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    const ResourceEntry* e = FindResourceEntry(instance, type, id);
    EXPECT_NE(e, nullptr);
    static const ResourceEntry none{type, id, nullptr, 0};
    return e ? *e : none;
}

std::vector<WORD> Words(std::initializer_list<WORD> words)
{
    return std::vector<WORD>(words);
}

bool ParsesMenu(const std::vector<WORD>& w)
{
    std::vector<ShellMenuItem> items;
    return ParseMenuTemplate(w.data(), w.size() * sizeof(WORD), &items);
}

}  // namespace

TEST(ShellMenuResource, EveryCutOfAValidTemplateIsRefused)
{
    const ResourceEntry& res = ProgramResource(RT_MENU, IDR_MAINMENU);
    // Copied, so a read past the cut would be a read past the buffer (the sanitizer build sees it).
    const auto* bytes = static_cast<const BYTE*>(res.data);
    for (DWORD cut = 0; cut < res.size; ++cut) {
        std::vector<BYTE> part(bytes, bytes + cut);
        std::vector<ShellMenuItem> items;
        EXPECT_FALSE(ParseMenuTemplate(part.data(), part.size(), &items)) << "cut at " << cut;
    }
    const ResourceEntry& bar = ProgramResource(RT_RCDATA, IDR_MAINMENU);
    const auto* barBytes = static_cast<const BYTE*>(bar.data);
    for (DWORD cut = 0; cut < bar.size; ++cut) {
        std::vector<BYTE> part(barBytes, barBytes + cut);
        ShellMenuBarResource parsed;
        EXPECT_FALSE(ParseMenuBarResource(part.data(), part.size(), &parsed)) << "cut at " << cut;
    }
}

TEST(ShellMenuResource, MalformedTemplatesAreRefused)
{
    auto nested = [](int depth) {
        std::vector<WORD> w = {0, 0};
        for (int i = 0; i < depth; ++i) w.insert(w.end(), {MF_POPUP | MF_END, 'p', 0});
        w.insert(w.end(), {MF_STRING | MF_END, 1, 'x', 0});
        return w;
    };
    std::vector<WORD> many = {0, 0};
    for (std::size_t i = 0; i <= kMenuItemCap; ++i) many.insert(many.end(), {MF_STRING, 7, 'x', 0});
    many.insert(many.end(), {MF_STRING | MF_END, 7, 'x', 0});

    struct Case {
        const char* name;
        std::vector<WORD> words;
        bool ok;
    };
    const Case cases[] = {
        {"one item", Words({0, 0, MF_STRING | MF_END, 5, 'a', 0}), true},
        {"header skipped", Words({0, 2, 0xBEEF, MF_STRING | MF_END, 5, 'a', 0}), true},
        {"wrong version", Words({1, 0, MF_STRING | MF_END, 5, 'a', 0}), false},
        {"header past the end", Words({0, 40, MF_STRING | MF_END, 5, 'a', 0}), false},
        {"text without terminator", Words({0, 0, MF_STRING | MF_END, 5, 'a', 'b'}), false},
        {"no end mark", Words({0, 0, MF_STRING, 5, 'a', 0}), false},
        {"pop-up without entries", Words({0, 0, MF_POPUP | MF_END, 'p', 0}), false},
        {"pop-ups nested as deep as allowed", nested(kMenuDepthCap), true},
        {"pop-ups nested too deep", nested(kMenuDepthCap + 1), false},
        {"too many items", many, false},
    };
    for (const Case& c : cases) EXPECT_EQ(ParsesMenu(c.words), c.ok) << c.name;
    std::vector<ShellMenuItem> items;
    EXPECT_FALSE(ParseMenuTemplate(nullptr, 100, &items));
    EXPECT_FALSE(ParseMenuTemplate(cases[0].words.data(), 12, nullptr));
}

TEST(ShellMenuResource, MalformedMenuBarsAreRefused)
{
    std::vector<WORD> tooMany = {102, static_cast<WORD>(kMenuBarButtonCap + 1)};
    for (std::size_t i = 0; i <= kMenuBarButtonCap; ++i) tooMany.insert(tooMany.end(), {0xFFFE, 1, 4, 0, 1, 0, 0});
    struct Case {
        const char* name;
        std::vector<WORD> words;
        bool ok;
    };
    const Case cases[] = {
        {"no buttons", Words({102, 0}), true},
        {"one button", Words({102, 1, 0xFFFE, 1, 4, 0x10, 9, 0, 0}), true},
        {"count larger than the data", Words({102, 2, 0xFFFE, 1, 4, 0x10, 9, 0, 0}), false},
        {"count over the cap", tooMany, false},
        {"no count", Words({102}), false},
    };
    for (const Case& c : cases) {
        ShellMenuBarResource bar;
        EXPECT_EQ(ParseMenuBarResource(c.words.data(), c.words.size() * sizeof(WORD), &bar), c.ok) << c.name;
    }
}
