// The program's resources by instance, type and id, as Win32 finds a module's resources.
#include "platform/kernel/resource_table.h"
#include "platform/windows.h"

namespace {

struct Module {
    HINSTANCE instance;
    std::vector<ResourceEntry> entries;
    const CONTROLDESCRIPTION* descriptions = nullptr;  // the caller's table
    std::size_t descriptionCount = 0;
};
std::vector<Module> g_modules;

Module& ModuleOf(HINSTANCE instance)
{
    for (Module& m : g_modules) {
        if (m.instance == instance) return m;
    }
    g_modules.push_back(Module{instance, {}});
    return g_modules.back();
}

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
    ModuleOf(instance).entries.assign(entries, entries + count);
}

void RegisterControlDescriptions(HINSTANCE instance, const CONTROLDESCRIPTION* table, std::size_t count)
{
    Module& m = ModuleOf(instance);
    m.descriptions = table && count ? table : nullptr;
    m.descriptionCount = table ? count : 0;
}

LPCWSTR ControlDescription(HINSTANCE instance, int id)
{
    for (const Module& m : g_modules) {
        if (m.instance != instance) continue;
        for (std::size_t i = 0; i < m.descriptionCount; ++i) {
            if (m.descriptions[i].id == static_cast<WORD>(id)) return m.descriptions[i].text;
        }
    }
    return nullptr;
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
