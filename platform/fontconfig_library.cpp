// Loading libfontconfig with dlopen, once, and resolving the functions the font lookup needs.
// Knowingly lacks: unloading (the library stays for the rest of the process).
#include "platform/fontconfig_library.h"
#include <dlfcn.h>
#include <string>

namespace {

constexpr const char* kFontconfigLibrary = "libfontconfig.so.1";

std::string g_error;

const FontconfigApi* Load()
{
    void* library = dlopen(kFontconfigLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        g_error = std::string("cannot load ") + kFontconfigLibrary + ": " + (why ? why : "unknown error");
        return nullptr;
    }
    static FontconfigApi api;
    const char* missing = nullptr;
#define FONTCONFIG_RESOLVE(name)                                                 \
    api.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name));      \
    if (!api.name && !missing) missing = #name;
    FONTCONFIG_FUNCTIONS(FONTCONFIG_RESOLVE)
#undef FONTCONFIG_RESOLVE
    if (missing) {
        g_error = std::string("cannot load ") + kFontconfigLibrary + ": it lacks " + missing;
        return nullptr;
    }
    return &api;
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
