// PNG files of the headless screen. Internal to the Windows driver.
#pragma once
#include <algorithm>
#include <cstdint>

// `pixels` holds `height` rows of `width` 0x00RRGGBB values, top row first. False, with no file
// left behind, when the file cannot be written.
bool WritePngFile(const wchar_t* path, const std::uint32_t* pixels, int width, int height);
