// Reading Win32's binary dialog templates, with every read kept inside the template's bytes.
#pragma once
#include <string>
#include <vector>
#include "platform/extras.h"
#include "platform/windows.h"

struct ParsedDialogItem {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    WORD id;
    WideString className;
    WideString caption;
    WORD captionOrdinal;  // non-zero when the caption is a resource id (SS_ICON)
};

struct ParsedDialog {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    WideString caption;
    WORD pointSize;
    WideString fontName;
    std::vector<ParsedDialogItem> items;
};

// `size` bounds the reads; false for a truncated or malformed template.
bool ParseDialogTemplate(const void* data, std::size_t size, ParsedDialog* out);
