// Menu 102 and menu-bar resource 102: the "終了" button and the "ヘルプ" drop-down.
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

// Menu template: version and header size, then items; MF_END marks the last item of a level.
// Plain items are flags, id, text; pop-ups are flags, text, then their items.
const WORD kMainMenu[] = {
    0, 0,
    MF_STRING, IDM_EXIT, 0x7D42, 0x4E86, 0,                               // 終了
    MF_POPUP | MF_END, 0x30D8, 0x30EB, 0x30D7, 0,                         // ヘルプ
        MF_STRING, IDM_HELP_CONTENTS, 0x76EE, 0x6B21, '.', '.', '.', 0,   // 目次...
        MF_SEPARATOR, 0, 0,
        MF_STRING | MF_END, IDM_ABOUT, 0x30D0, 0x30FC, 0x30B8, 0x30E7, 0x30F3, 0x60C5, 0x5831, 0,  // バージョン情報
};

// Menu-bar resource: menu id, button count, then per button: image, command, state, style,
// label string, 0, index of its entry in the menu.
const WORD kMenuBar[] = {
    IDR_MAINMENU, 2,
    0xFFFE, IDM_EXIT, TBSTATE_ENABLED, TBSTYLE_AUTOSIZE, IDS_EXIT, 0, 0,
    0xFFFE, IDM_HELP_MENU, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, IDS_HELP, 0, 1,
};

}  // namespace

void AppendMenuResources(std::vector<ResourceEntry>& entries)
{
    entries.push_back({RT_MENU, IDR_MAINMENU, kMainMenu, sizeof(kMainMenu)});
    entries.push_back({RT_RCDATA, IDR_MAINMENU, kMenuBar, sizeof(kMenuBar)});
}
