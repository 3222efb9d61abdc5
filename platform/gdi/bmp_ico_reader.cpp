// .ico decoding on top of the DIB reader: directory, then per image the colour pixels and the
// 1-bit AND mask that follows them.
#include "platform/gdi/bmp_ico_reader.h"
#include <cstring>
#include "platform/gdi/bmp_reader.h"

namespace {

std::uint16_t U16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

bool IsPng(const std::uint8_t* p, std::size_t n)
{
    static const std::uint8_t kSig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return n >= 8 && std::memcmp(p, kSig, 8) == 0;
}

// One DIB image of an icon: the header's height counts the colour rows and the mask rows.
bool DecodeIconDib(const std::uint8_t* img, std::size_t size, IconImage* out)
{
    DibHeader h;
    if (!ParseDibHeader(img, size, 0, &h)) return false;
    if (h.topDown || h.height % 2 != 0) return false;
    int rows = h.height / 2;
    DecodedImage color;
    std::size_t maskAt = 0;
    if (!DecodeDibPixels(img, size, h, h.headerEnd, rows, &color, &maskAt)) return false;
    DibHeader maskHeader = h;
    maskHeader.bitCount = 1;
    maskHeader.palette = {0, 1};  // index straight through: 1 keeps the background
    DecodedImage mask;
    if (!DecodeDibPixels(img, size, maskHeader, maskAt, rows, &mask, nullptr)) return false;
    out->width = color.width;
    out->height = color.height;
    out->color = std::move(color.pixels);
    out->mask.resize(mask.pixels.size());
    for (std::size_t i = 0; i < mask.pixels.size(); ++i) out->mask[i] = std::uint8_t(mask.pixels[i]);
    return true;
}

}  // namespace

bool DecodeIco(const void* bytes, std::size_t size, std::vector<IconImage>* out)
{
    const std::uint8_t* data = static_cast<const std::uint8_t*>(bytes);
    if (!data || !out || size < 6) return false;
    if (U16(data) != 0 || U16(data + 2) != 1) return false;
    int count = U16(data + 4);
    if (count < 1 || count > kMaxIconImages || size - 6 < std::size_t(count) * 16) return false;
    std::vector<IconImage> images;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* e = data + 6 + 16 * i;
        std::uint32_t length = U32(e + 8);
        std::uint32_t offset = U32(e + 12);
        if (offset > size || length > size - offset) return false;
        if (IsPng(data + offset, length)) continue;
        IconImage image;
        if (!DecodeIconDib(data + offset, length, &image)) return false;
        images.push_back(std::move(image));
    }
    if (images.empty()) return false;
    *out = std::move(images);
    return true;
}

const IconImage* PickIconImage(const std::vector<IconImage>& images, int side)
{
    const IconImage* best = nullptr;
    for (const IconImage& img : images) {
        if (img.width == side && img.height == side) return &img;
        if (!best || img.width * img.height > best->width * best->height) best = &img;
    }
    return best;
}
