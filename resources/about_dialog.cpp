// Dialog template 103: the About box, with the maker's lines.
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

constexpr DWORD LABEL = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr DWORD ICON = WS_CHILD | WS_VISIBLE | SS_ICON;

const DialogItemDesc kAboutItems[] = {
    /* id     class            caption                                  x    y   cx   cy  style */
    {0xFFFF,  TEXT("STATIC"),  nullptr,                                   11,  17,  20,  20, ICON, IDI_APPICON},
    {0xFFFF,  TEXT("STATIC"),  TEXT("Quorix Version 3.12"),               37,  24, 102,   8, LABEL, 0},
    {0xFFFF,  TEXT("STATIC"),  TEXT("Copyright (C) 2001-2026 Larkwell"),   7,  49, 149,   8, LABEL, 0},
    {0xFFFF,  TEXT("STATIC"),  TEXT("https://www.example.com/quorix/"),    7,  71, 149,   8, LABEL, 0},
    {0xFFFF,  TEXT("STATIC"),  TEXT("support@example.com"),                7,  83, 113,   8, LABEL, 0},
};

const DialogDesc kAboutDialog = {
    WS_POPUP | WS_CAPTION | DS_SETFONT,
    WS_EX_CAPTIONOKBTN,
    0, 0, 163, 133, TEXT("Quorix のバージョン情報"), 9, TEXT("MS UI Gothic"), kAboutItems,
    static_cast<int>(sizeof(kAboutItems) / sizeof(kAboutItems[0])),
};

}  // namespace

const DialogDesc& AboutDialogDesc()
{
    return kAboutDialog;
}
