// Loading libfontconfig with dlopen, once, and resolving the functions the font lookup needs.
// Knowingly lacks: unloading (the library stays for the rest of the process).
#include "platform/gdi/fonts/fontconfig_library.h"
#include <string>
#include "platform/kernel/shared_library.h"

namespace {

constexpr const char* kFontconfigLibrary = "libfontconfig.so.1";

std::string g_error;

const FontconfigApi* Load()
{
    LibraryLoader library(kFontconfigLibrary, RTLD_NOW | RTLD_LOCAL);
    static FontconfigApi api;
    FONTCONFIG_FUNCTIONS(LIBRARY_FUNCTION_RESOLVE)
    g_error = library.error;
    return library.Ok() ? &api : nullptr;
}

}  // namespace

const FontconfigApi* LoadFontconfig()
{
    static const FontconfigApi* const api = Load();
    return api;
}

const char* FontconfigLoadError()
{
    return g_error.c_str();
}
