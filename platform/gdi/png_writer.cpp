// PNG output of a surface through libpng, nearest-neighbour enlarged. A file is replaced whole
// (through a link, the file it points to); a device or a pipe is written into as it is. libpng is
// loaded with dlopen at the first picture: a run that writes none never maps it.
#include "platform/gdi/png_writer.h"
#include <png.h>
#include <cerrno>
#include <climits>
#include <csetjmp>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include "platform/kernel/host_dirs.h"
#include "platform/kernel/shared_library.h"

namespace {

// Every libpng function written with, typed by libpng's own declarations.
#define PNG_FUNCTIONS(X)                                                                                        \
    X(png_create_write_struct) X(png_create_info_struct) X(png_destroy_write_struct) X(png_get_io_ptr)          \
    X(png_error) X(png_longjmp) X(png_set_longjmp_fn) X(png_set_write_fn) X(png_set_IHDR) X(png_write_info)      \
    X(png_write_row) X(png_write_end)

struct PngApi {
    PNG_FUNCTIONS(LIBRARY_FUNCTION_FIELD)
};

const PngApi* LoadPng()
{
    static const PngApi* const api = [] {
        LibraryLoader library("libpng16.so.16", RTLD_NOW | RTLD_LOCAL);
        static PngApi api;
        PNG_FUNCTIONS(LIBRARY_FUNCTION_RESOLVE)
        return library.Ok() ? &api : nullptr;
    }();
    return api;
}

// Only called once LoadPng has succeeded.
const PngApi& Png()
{
    return *LoadPng();
}

bool ValidSurface(const Surface& s)
{
    return s.pixels && s.width > 0 && s.height > 0 && s.stride >= s.width;
}

void WriteData(png_structp png, png_bytep data, png_size_t length)
{
    if (!WriteAll(*static_cast<int*>(Png().png_get_io_ptr(png)), data, length)) Png().png_error(png, "write failed");
}

void FlushNothing(png_structp) {}

// The caller tells its user what failed, with errno; libpng's own messages would only repeat it.
[[noreturn]] void FailQuietly(png_structp png, png_const_charp)
{
    Png().png_longjmp(png, 1);
    std::abort();  // png_longjmp does not return; its pointer does not say so
}

void IgnoreWarning(png_structp, png_const_charp) {}

bool WriteRows(int fd, const Surface& s, int scale)
{
    png_structp png = Png().png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, FailQuietly, IgnoreWarning);
    if (!png) return false;
    png_infop info = Png().png_create_info_struct(png);
    if (!info) {
        Png().png_destroy_write_struct(&png, nullptr);
        return false;
    }
    const png_uint_32 width = png_uint_32(s.width) * scale, height = png_uint_32(s.height) * scale;
    std::vector<png_byte> row(std::size_t(width) * 3);
    if (setjmp(*Png().png_set_longjmp_fn(png, std::longjmp, sizeof(std::jmp_buf)))) {
        int error = errno;
        Png().png_destroy_write_struct(&png, &info);
        errno = error;
        return false;
    }
    Png().png_set_write_fn(png, &fd, WriteData, FlushNothing);
    Png().png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    Png().png_write_info(png, info);
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
        for (int k = 0; k < scale; ++k) Png().png_write_row(png, row.data());
    }
    Png().png_write_end(png, nullptr);
    Png().png_destroy_write_struct(&png, &info);
    return true;
}

// What is there stays: a device or a FIFO without a reader gives an error, never a wait.
bool WriteInPlace(const char* path, const Surface& surface, int scale)
{
    int fd = open(path, O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    bool ok = WriteRows(fd, surface, scale);
    int error = errno;
    if (close(fd) != 0) return false;
    errno = error;
    return ok;
}

// The file a link points to is the one replaced, so the link stays.
std::string ReplacedFile(const char* path)
{
    struct stat st;
    char resolved[PATH_MAX];
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode) && realpath(path, resolved)) return resolved;
    return path;
}

}  // namespace

bool WriteSurfacePng(const Surface& surface, int scale, const char* path)
{
    if (!path || !*path || !ValidSurface(surface) || scale < 1 || scale > kMaxScreenScale) return false;
    if (!LoadPng()) {
        errno = ELIBACC;  // nothing touched: the picture cannot be made at all
        return false;
    }
    struct stat st;
    if (stat(path, &st) == 0 && !S_ISREG(st.st_mode)) return WriteInPlace(path, surface, scale);
    FileReplacement out(ReplacedFile(path), 0666);
    return out.Commit(out.Fd() >= 0 && WriteRows(out.Fd(), surface, scale));
}

bool WriteScreenPng(const char* path)
{
    return WriteSurfacePng(ScreenSurface(), 1, path);
}
