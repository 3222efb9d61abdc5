// PNG output of a surface through libpng, nearest-neighbour enlarged.
#include "platform/gdi/png_writer.h"
#include <png.h>
#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

bool ValidSurface(const Surface& s)
{
    return s.pixels && s.width > 0 && s.height > 0 && s.stride >= s.width;
}

bool WriteRows(std::FILE* file, const Surface& s, int scale)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    const png_uint_32 width = png_uint_32(s.width) * scale, height = png_uint_32(s.height) * scale;
    std::vector<png_byte> row(std::size_t(width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < s.height; ++y) {
        const std::uint32_t* src = s.pixels + std::size_t(y) * s.stride;
        png_byte* out = row.data();
        for (int x = 0; x < s.width; ++x) {
            for (int k = 0; k < scale; ++k) {
                *out++ = png_byte(src[x] >> 16);
                *out++ = png_byte(src[x] >> 8);
                *out++ = png_byte(src[x]);
            }
        }
        for (int k = 0; k < scale; ++k) png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WriteSurfacePng(const Surface& surface, int scale, const char* path)
{
    if (!path || !*path || !ValidSurface(surface) || scale < 1 || scale > kMaxScreenScale) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool ok = WriteRows(file, surface, scale);
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) std::remove(path);
    return ok;
}

bool WriteScreenPng(const char* path)
{
    return WriteSurfacePng(ScreenSurface(), 1, path);
}
