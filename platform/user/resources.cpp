// The program's resources by instance, type and id; strings and accelerator tables.
#include <algorithm>
#include <cstring>
#include <vector>
#include "platform/user/resources.h"
#include "platform/user/window_internal.h"

namespace {

struct Module {
    HINSTANCE instance;
    std::vector<ResourceEntry> entries;
};
std::vector<Module> g_modules;

struct AccelTable {
    std::vector<ACCEL> entries;
    bool live = false;
};
std::vector<AccelTable> g_accelTables;

bool g_ctrl = false, g_shift = false, g_alt = false;

UINT TypeId(LPCWSTR type)
{
    return IS_INTRESOURCE(type) ? static_cast<UINT>(reinterpret_cast<UINT_PTR>(type)) : 0;
}

// HRSRC values are 1-based positions: module index in the high half, entry in the low half.
HRSRC MakeResHandle(std::size_t module, std::size_t entry)
{
    return reinterpret_cast<HRSRC>(((module + 1) << 20) | (entry + 1));
}

const ResourceEntry* EntryOf(HRSRC res)
{
    auto v = reinterpret_cast<std::uintptr_t>(res);
    std::size_t module = (v >> 20), entry = v & 0xFFFFF;
    if (module == 0 || entry == 0 || module > g_modules.size()) return nullptr;
    if (entry > g_modules[module - 1].entries.size()) return nullptr;
    return &g_modules[module - 1].entries[entry - 1];
}

}  // namespace

HINSTANCE GetModuleHandle(LPCWSTR)
{
    // One module: the program. A recognisable, non-null value.
    return reinterpret_cast<HINSTANCE>(std::uintptr_t(0x10000));
}

void RegisterResources(HINSTANCE instance, const ResourceEntry* entries, std::size_t count)
{
    if (!entries) return;
    for (Module& m : g_modules) {
        if (m.instance == instance) {
            m.entries.assign(entries, entries + count);
            return;
        }
    }
    g_modules.push_back(Module{instance, std::vector<ResourceEntry>(entries, entries + count)});
}

const ResourceEntry* FindResourceEntry(HINSTANCE instance, LPCWSTR type, UINT id)
{
    UINT typeId = TypeId(type);
    for (const Module& m : g_modules) {
        if (m.instance != instance) continue;
        for (const ResourceEntry& e : m.entries) {
            if (TypeId(e.type) == typeId && e.id == id) return &e;
        }
    }
    return nullptr;
}

const ResourceEntry* FindResourceContaining(const void* p)
{
    auto* bytes = static_cast<const BYTE*>(p);
    for (const Module& m : g_modules) {
        for (const ResourceEntry& e : m.entries) {
            auto* start = static_cast<const BYTE*>(e.data);
            if (start && bytes >= start && bytes < start + e.size) return &e;
        }
    }
    return nullptr;
}

HRSRC FindResource(HINSTANCE instance, LPCWSTR name, LPCWSTR type)
{
    if (!IS_INTRESOURCE(name) || !IS_INTRESOURCE(type)) return nullptr;
    UINT id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(name));
    for (std::size_t mi = 0; mi < g_modules.size(); ++mi) {
        if (g_modules[mi].instance != instance) continue;
        const auto& entries = g_modules[mi].entries;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (TypeId(entries[i].type) == TypeId(type) && entries[i].id == id) return MakeResHandle(mi, i);
        }
    }
    SetLastError(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND
    return nullptr;
}

HGLOBAL LoadResource(HINSTANCE, HRSRC res)
{
    const ResourceEntry* e = EntryOf(res);
    return e ? const_cast<void*>(e->data) : nullptr;
}

LPVOID LockResource(HGLOBAL data)
{
    return data;
}

DWORD SizeofResource(HINSTANCE, HRSRC res)
{
    const ResourceEntry* e = EntryOf(res);
    return e ? e->size : 0;
}

int LoadString(HINSTANCE instance, UINT id, LPWSTR buffer, int maxCount)
{
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = 0;
    const ResourceEntry* e = FindResourceEntry(instance, RT_STRING, id);
    if (!e) return 0;
    int length = static_cast<int>(e->size / sizeof(WCHAR));
    int n = std::min(length, maxCount - 1);
    std::memcpy(buffer, e->data, n * sizeof(WCHAR));
    buffer[n] = 0;
    return n;
}

HACCEL LoadAccelerators(HINSTANCE instance, LPCWSTR name)
{
    if (!IS_INTRESOURCE(name)) return nullptr;
    const ResourceEntry* e = FindResourceEntry(instance, RT_ACCELERATOR,
                                               static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
    if (!e) return nullptr;
    // Each entry: flags, key, command, padding (16 bits each); 0x80 in the flags ends the table.
    AccelTable table;
    table.live = true;
    auto* p = static_cast<const BYTE*>(e->data);
    for (DWORD off = 0; off + 8 <= e->size; off += 8) {
        WORD w[3];
        std::memcpy(w, p + off, 6);
        table.entries.push_back(ACCEL{static_cast<BYTE>(w[0] & 0x7F), w[1], w[2]});
        if (w[0] & 0x80) break;
    }
    g_accelTables.push_back(std::move(table));
    return reinterpret_cast<HACCEL>(g_accelTables.size());
}

BOOL DestroyAcceleratorTable(HACCEL accel)
{
    auto index = reinterpret_cast<std::uintptr_t>(accel);
    if (index == 0 || index > g_accelTables.size() || !g_accelTables[index - 1].live) return FALSE;
    g_accelTables[index - 1].live = false;
    g_accelTables[index - 1].entries.clear();
    return TRUE;
}

void SetModifierState(bool ctrl, bool shift, bool alt)
{
    g_ctrl = ctrl;
    g_shift = shift;
    g_alt = alt;
}

SHORT GetKeyState(int virtualKey)
{
    bool down = (virtualKey == VK_CONTROL && g_ctrl) || (virtualKey == VK_SHIFT && g_shift) ||
                (virtualKey == VK_MENU && g_alt);
    return down ? static_cast<SHORT>(0x8000) : 0;
}

int TranslateAccelerator(HWND hwnd, HACCEL accel, MSG* msg)
{
    auto index = reinterpret_cast<std::uintptr_t>(accel);
    if (!msg || !FindWin(hwnd) || index == 0 || index > g_accelTables.size() || !g_accelTables[index - 1].live) {
        return 0;
    }
    bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    bool charMsg = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (!keyDown && !charMsg) return 0;
    for (const ACCEL& a : g_accelTables[index - 1].entries) {
        bool virt = (a.fVirt & FVIRTKEY) != 0;
        if (virt != keyDown || a.key != msg->wParam) continue;
        if (virt) {
            if (((a.fVirt & FCONTROL) != 0) != g_ctrl) continue;
            if (((a.fVirt & FSHIFT) != 0) != g_shift) continue;
            if (((a.fVirt & FALT) != 0) != g_alt) continue;
        }
        SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}
