// Libraries loaded at run time (dlopen) and their functions found by name (dlsym), with one
// message for whatever failed: the library itself, or the first function it lacks.
#pragma once
#include <dlfcn.h>
#include <string>

// A library's functions as a table, from an X-macro list of their names: LIBRARY_FUNCTION_FIELD
// declares each field, typed by the library's own declaration; LIBRARY_FUNCTION_RESOLVE fills it
// from the LibraryLoader `library` into the table `api`, both in scope.
#define LIBRARY_FUNCTION_FIELD(name) decltype(&::name) name = nullptr;
#define LIBRARY_FUNCTION_RESOLVE(name) library.Resolve(#name, api.name);

struct LibraryLoader {
    const char* name;
    void* handle = nullptr;
    std::string error;  // empty while every step has worked

    LibraryLoader(const char* library, int flags) : name(library), handle(dlopen(library, flags))
    {
        if (!handle) {
            const char* why = dlerror();
            error = std::string("cannot load ") + name + ": " + (why ? why : "unknown error");
        }
    }

    // The function `symbol` into `slot`, typed as the caller declares it.
    template <class F> void Resolve(const char* symbol, F*& slot)
    {
        if (!handle) return;
        slot = reinterpret_cast<F*>(dlsym(handle, symbol));
        if (!slot && error.empty()) error = std::string("cannot load ") + name + ": it lacks " + symbol;
    }

    bool Ok() const { return error.empty(); }
};
