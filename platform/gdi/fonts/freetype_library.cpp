// Loading FreeType with dlopen, once, and resolving the functions the font cache needs.
// Knowingly lacks: unloading (the library stays for the rest of the process).
#include "platform/gdi/fonts/freetype_library.h"
#include "platform/kernel/shared_library.h"

namespace {

constexpr const char* kFreeTypeLibrary = "libfreetype.so.6";

const FreeTypeApi* Load()
{
    LibraryLoader library(kFreeTypeLibrary, RTLD_NOW | RTLD_LOCAL);
    static FreeTypeApi api;
    FREETYPE_FUNCTIONS(LIBRARY_FUNCTION_RESOLVE)
    return library.Ok() ? &api : nullptr;
}

}  // namespace

const FreeTypeApi* LoadFreeType()
{
    static const FreeTypeApi* const api = Load();
    return api;
}

std::string LoadedFreeTypeFile()
{
    void* handle = dlopen(kFreeTypeLibrary, RTLD_LAZY | RTLD_NOLOAD);
    if (!handle) return {};
    void* symbol = dlsym(handle, "FT_Init_FreeType");
    Dl_info info{};
    std::string file = symbol && dladdr(symbol, &info) && info.dli_fname ? info.dli_fname : "";
    dlclose(handle);  // only the reference NOLOAD took
    return file;
}
