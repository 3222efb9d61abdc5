// libfontconfig, loaded when a font must be looked up and not before: a start whose fonts are all
// in the cache of an earlier run never maps it (nor the XML parser it brings).
#pragma once
#include <fontconfig/fontconfig.h>
#include "platform/kernel/shared_library.h"

// Every fontconfig function the program calls, typed by fontconfig's own declarations.
#define FONTCONFIG_FUNCTIONS(X)                                                                                  \
    X(FcInit) X(FcFini) X(FcConfigSubstitute) X(FcDefaultSubstitute) X(FcFontMatch) X(FcPatternCreate)          \
    X(FcPatternDestroy) X(FcPatternAddString) X(FcPatternAddInteger) X(FcPatternAddCharSet)                      \
    X(FcPatternGetString) X(FcPatternGetInteger) X(FcPatternGetBool) X(FcPatternGetCharSet) X(FcCharSetCreate) \
    X(FcCharSetDestroy) X(FcCharSetAddChar) X(FcCharSetHasChar)

struct FontconfigApi {
    FONTCONFIG_FUNCTIONS(LIBRARY_FUNCTION_FIELD)
};

// The functions, loaded on the first call; null when the library cannot be loaded or lacks one
// of them (then FontconfigLoadError says why, for the one warning the program gives).
const FontconfigApi* LoadFontconfig();
const char* FontconfigLoadError();
