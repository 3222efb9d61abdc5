// The program's icon for the desktop's icon theme: the .ico's images enlarged by nearest
// neighbour to the theme's sizes, the AND mask turned into transparency, written as RGBA PNGs.
// Knowingly lacks: smoothing (the icon is pixel art and should stay so) and sizes above 1024.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "platform/gdi/bmp_ico_reader.h"

constexpr int kThemeIconSides[] = {16, 32, 48, 64, 128, 256};
constexpr int kMaxThemeIconSide = 1024;

// side x side pixels, 0xAARRGGBB, top row first; alpha is 0 or 255 only.
struct ThemeIcon {
    int side = 0;
    std::vector<std::uint32_t> pixels;
};

// `source` enlarged (or shrunk) to side x side: each pixel takes the source pixel under its
// top-left corner. False for an empty or inconsistent source or a side outside 1..kMaxThemeIconSide.
bool ScaleIconImage(const IconImage& source, int side, ThemeIcon* out);
// The theme icon of one side from the .ico's images: the image of that size when there is one,
// else the largest.
bool MakeThemeIcon(const std::vector<IconImage>& images, int side, ThemeIcon* out);
// False, with no file left behind, when the icon is malformed or the path cannot be written.
bool WriteThemeIconPng(const ThemeIcon& icon, const char* path);
// Every kThemeIconSides icon of the .ico bytes as <folder>/NxN/apps/<name>.png, creating the
// folders. False (and *error says why) when the bytes are no icon or a file cannot be written.
bool WriteThemeIcons(const void* icoBytes, std::size_t size, const std::string& folder, const std::string& name,
                     std::string* error);
