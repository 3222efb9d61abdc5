// Enlarging the icon for the icon theme and writing it through libpng's simplified interface:
// the platform's screenshot writer has no alpha, and an icon without its mask shows a box.
#include "tools/icon_sizes.h"
#include <png.h>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

bool ConsistentImage(const IconImage& image)
{
    if (image.width < 1 || image.height < 1 || image.width > kMaxThemeIconSide || image.height > kMaxThemeIconSide) {
        return false;
    }
    std::size_t count = std::size_t(image.width) * std::size_t(image.height);
    return image.color.size() == count && image.mask.size() == count;
}

bool MakeFolders(const std::string& path)
{
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        std::string prefix = path.substr(0, at);
        if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool ScaleIconImage(const IconImage& source, int side, ThemeIcon* out)
{
    if (!out || side < 1 || side > kMaxThemeIconSide || !ConsistentImage(source)) return false;
    ThemeIcon icon;
    icon.side = side;
    icon.pixels.resize(std::size_t(side) * std::size_t(side));
    for (int y = 0; y < side; ++y) {
        int sy = y * source.height / side;
        for (int x = 0; x < side; ++x) {
            int sx = x * source.width / side;
            std::size_t from = std::size_t(sy) * std::size_t(source.width) + std::size_t(sx);
            // A masked pixel is background: fully transparent, and black so that no stray
            // colour bleeds in where a theme scales the image smoothly.
            icon.pixels[std::size_t(y) * std::size_t(side) + std::size_t(x)] =
                source.mask[from] ? 0u : (kOpaque | (source.color[from] & 0x00FFFFFFu));
        }
    }
    *out = std::move(icon);
    return true;
}

bool MakeThemeIcon(const std::vector<IconImage>& images, int side, ThemeIcon* out)
{
    const IconImage* source = PickIconImage(images, side);
    return source && ScaleIconImage(*source, side, out);
}

bool WriteThemeIconPng(const ThemeIcon& icon, const char* path)
{
    if (!path || !*path || icon.side < 1 || icon.side > kMaxThemeIconSide ||
        icon.pixels.size() != std::size_t(icon.side) * std::size_t(icon.side)) {
        return false;
    }
    std::vector<png_byte> rgba;
    rgba.reserve(icon.pixels.size() * 4);
    for (std::uint32_t p : icon.pixels) {
        rgba.push_back(png_byte(p >> 16));
        rgba.push_back(png_byte(p >> 8));
        rgba.push_back(png_byte(p));
        rgba.push_back(png_byte(p >> 24));
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(icon.side);
    image.height = png_uint_32(icon.side);
    image.format = PNG_FORMAT_RGBA;
    // libpng removes a file it could not finish.
    bool ok = png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

bool WriteThemeIcons(const void* icoBytes, std::size_t size, const std::string& folder, const std::string& name,
                     std::string* error)
{
    std::string ignored;
    std::string& why = error ? *error : ignored;
    std::vector<IconImage> images;
    if (!DecodeIco(icoBytes, size, &images)) {
        why = "not a readable .ico file";
        return false;
    }
    for (int side : kThemeIconSides) {
        ThemeIcon icon;
        if (!MakeThemeIcon(images, side, &icon)) {
            why = "no usable image for " + std::to_string(side) + " pixels";
            return false;
        }
        std::string sideName = std::to_string(side) + "x" + std::to_string(side);
        std::string apps = folder + "/" + sideName + "/apps";
        std::string path = apps + "/" + name + ".png";
        if (!MakeFolders(apps) || !WriteThemeIconPng(icon, path.c_str())) {
            why = "cannot write " + path;
            return false;
        }
    }
    return true;
}
