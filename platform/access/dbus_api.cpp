// Loads libdbus-1 (see dbus_api.h).
#include "platform/access/dbus_api.h"
#include "platform/kernel/shared_library.h"

namespace {

DbusApi g_api;
void* g_handle = nullptr;

}  // namespace

const DbusApi* LoadDbusApi(std::string* error)
{
    if (g_handle) return &g_api;
    LibraryLoader library("libdbus-1.so.3", RTLD_NOW | RTLD_LOCAL);
    DbusApi& api = g_api;
    ACCESS_DBUS_FUNCTIONS(LIBRARY_FUNCTION_RESOLVE)
    if (!library.Ok()) {
        if (error) *error = library.error;
        if (library.handle) dlclose(library.handle);
        g_api = DbusApi{};
        return nullptr;
    }
    g_handle = library.handle;
    return &g_api;
}

void UnloadDbusApi()
{
    if (!g_handle) return;
    // libdbus keeps what connecting allocated (addresses, type caches) until told to let go.
    g_api.dbus_shutdown();
    dlclose(g_handle);
    g_handle = nullptr;
    g_api = DbusApi{};
}
