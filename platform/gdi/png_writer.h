// Writing a surface as a PNG image (RGB, 8 bits per channel), enlarged by a whole factor.
#pragma once
#include "platform/gdi/surface.h"

// False for a bad surface, a scale outside 1..kMaxScreenScale or a path that cannot be written; then
// what the path named is left as it was (an old file keeps its bytes, a device or a link stays)
// and nothing new is left behind, with errno telling why.
bool WriteSurfacePng(const Surface& surface, int scale, const char* path);
