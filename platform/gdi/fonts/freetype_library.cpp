// Loading FreeType with dlopen, once, and resolving the functions the font cache needs.
// Knowingly lacks: unloading (the library stays for the rest of the process).
#include "platform/gdi/fonts/freetype_library.h"
#include <link.h>
#include <string_view>
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
    // Among the objects already mapped: asking dlopen, even with RTLD_NOLOAD, reads the loader's
    // cache and opens the library's file, at every start.
    std::string file;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* out) -> int {
            std::string_view name = info->dlpi_name ? info->dlpi_name : "";
            std::size_t slash = name.rfind('/');
            if (slash == std::string_view::npos || name.substr(slash + 1) != kFreeTypeLibrary) return 0;
            *static_cast<std::string*>(out) = std::string(name);
            return 1;
        },
        &file);
    return file;
}
