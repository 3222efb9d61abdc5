// Writing a surface as a PNG image (RGB, 8 bits per channel), enlarged by a whole factor.
#pragma once
#include "platform/gdi/surface.h"

// False, with no file left behind, for a bad surface,
// a scale outside 1..kMaxScreenScale or a path that cannot be written.
bool WriteSurfacePng(const Surface& surface, int scale, const char* path);
