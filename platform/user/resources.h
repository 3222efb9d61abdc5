// The program's resources, handed to the layer once at start-up and looked up by instance,
// type and id as Win32 looks up a module's resources.
#pragma once
#include <cstddef>
#include <vector>
#include "platform/win_types.h"

// One resource: `type` is an integer type (RT_DIALOG ...); `data` stays owned by the caller and
// must outlive the registration. Strings (RT_STRING) are UTF-16 text without terminator.
struct ResourceEntry {
    LPCWSTR type;
    UINT id;
    const void* data;
    DWORD size;
};

HINSTANCE GetModuleHandle(LPCWSTR moduleName);
void RegisterResources(HINSTANCE instance, const ResourceEntry* entries, std::size_t count);
const ResourceEntry* FindResourceEntry(HINSTANCE instance, LPCWSTR type, UINT id);
// The registered resource whose bytes contain `p`, or null: lets parsers bound their reads.
const ResourceEntry* FindResourceContaining(const void* p);

// Dialog templates in Win32's binary DLGTEMPLATE form, written from readable tables.
struct DialogItemDesc {
    WORD id;
    LPCWSTR className;  // u"BUTTON", u"EDIT", u"STATIC": written as the predefined class atoms
    LPCWSTR caption;    // text; for SS_ICON statics, null and iconId set
    short x, y, cx, cy;
    DWORD style;
    WORD iconId;
};
struct DialogDesc {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    LPCWSTR caption;
    WORD pointSize;
    LPCWSTR fontName;
    const DialogItemDesc* items;
    int itemCount;
};
std::vector<WORD> BuildDialogTemplate(const DialogDesc& desc);
