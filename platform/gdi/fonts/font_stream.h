// Font files read through a FreeType stream of plain reads instead of a mapping of the whole
// file: only the tables and glyphs in use are ever in memory, which matters for the large CJK
// faces (several megabytes) of which a calculator draws a few dozen glyphs.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include <string>

// FT_Open_Face on `path`; FreeType's error code, 0 on success. The stream closes with the face.
FT_Error OpenFaceByReading(FT_Library library, const std::string& path, FT_Long index, FT_Face* face);
