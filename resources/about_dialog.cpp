// Dialog template 103: the About box, with the maker's lines.
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

constexpr DWORD TEXT = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr DWORD ICON = WS_CHILD | WS_VISIBLE | SS_ICON;

const DialogItemDesc kAboutItems[] = {
    /* id     class       caption                                x   y   cx  cy  style */
    {0xFFFF, u"STATIC", nullptr,                               11, 17,  20, 20, ICON, IDI_APPICON},
    {0xFFFF, u"STATIC", u"Quorix Version 3.12",                37, 24, 102,  8, TEXT, 0},
    {0xFFFF, u"STATIC", u"Copyright (C) 2001-2026 Larkwell",    7, 49, 149,  8, TEXT, 0},
    {0xFFFF, u"STATIC", u"https://www.example.com/quorix/",     7, 71, 149,  8, TEXT, 0},
    {0xFFFF, u"STATIC", u"support@example.com",                 7, 83, 113,  8, TEXT, 0},
};

const DialogDesc kAboutDialog = {
    WS_POPUP | WS_CAPTION | DS_SETFONT,
    WS_EX_CAPTIONOKBTN,
    0, 0, 163, 133, u"Quorix のバージョン情報", 9, u"MS UI Gothic", kAboutItems,
    static_cast<int>(sizeof(kAboutItems) / sizeof(kAboutItems[0])),
};

}  // namespace

const DialogDesc& AboutDialogDesc()
{
    return kAboutDialog;
}
