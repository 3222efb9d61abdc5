// FreeType, loaded when a glyph or a font's metrics are not in the glyph store and not before: a
// start whose fonts and glyphs were all stored by an earlier run never maps it (nor the
// compression libraries it brings).
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <string>
#include "platform/kernel/shared_library.h"

// Every FreeType function the platform calls, typed by FreeType's own declarations.
#define FREETYPE_FUNCTIONS(X)                                                                              \
    X(FT_Init_FreeType) X(FT_Open_Face) X(FT_Done_Face) X(FT_Get_Sfnt_Table) X(FT_Load_Char) X(FT_New_Size) \
    X(FT_Activate_Size) X(FT_Set_Char_Size) X(FT_Done_Size) X(FT_MulFix) X(FT_Outline_EmboldenXY)           \
    X(FT_Get_Char_Index) X(FT_Load_Glyph) X(FT_Render_Glyph)

struct FreeTypeApi {
    FREETYPE_FUNCTIONS(LIBRARY_FUNCTION_FIELD)
};

// The functions, loaded on the first call; null when the library cannot be loaded or lacks one
// of them (then no font opens, and text is drawn as nothing).
const FreeTypeApi* LoadFreeType();
// The file of the FreeType library this process has loaded, by whatever way it came (a program
// may link it too); empty while none is loaded.
std::string LoadedFreeTypeFile();
