// Windows bitmap decoding: 1, 4, 8, 16 (5-5-5), 24 and 32 bits per pixel, uncompressed,
// bottom-up or top-down. Every length is checked against the bytes present before it is used.
#include "platform/gdi/bmp_reader.h"
#include <cstdint>
#include <limits>

namespace {

constexpr std::uint32_t kBiRgb = 0;

std::uint16_t U16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// True when `count` bytes from `offset` lie inside `size`, without overflowing.
bool Fits(std::size_t size, std::size_t offset, std::uint64_t count)
{
    return offset <= size && count <= size - offset;
}

bool KnownHeaderSize(std::uint32_t n)
{
    return n == 40 || n == 52 || n == 56 || n == 108 || n == 124;
}

bool KnownBitCount(int n)
{
    return n == 1 || n == 4 || n == 8 || n == 16 || n == 24 || n == 32;
}

std::uint32_t Expand5(std::uint32_t v)
{
    return (v << 3) | (v >> 2);
}

// One stored row into `dest`; false on a colour index outside the table.
bool DecodeRow(const std::uint8_t* src, const DibHeader& h, std::uint32_t* dest)
{
    const int w = h.width;
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8: {
        const int bits = h.bitCount;
        const unsigned mask = (1u << bits) - 1;
        for (int x = 0; x < w; ++x) {
            std::size_t bit = std::size_t(x) * bits;
            unsigned index = (src[bit / 8] >> (8 - bits - bit % 8)) & mask;
            if (index >= h.palette.size()) return false;
            dest[x] = h.palette[index];
        }
        return true;
    }
    case 16:
        for (int x = 0; x < w; ++x) {
            std::uint32_t v = U16(src + 2 * x);
            dest[x] = (Expand5((v >> 10) & 31) << 16) | (Expand5((v >> 5) & 31) << 8) | Expand5(v & 31);
        }
        return true;
    case 24:
    case 32: {
        const int step = h.bitCount / 8;
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = src + std::size_t(x) * step;
            dest[x] = (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
        }
        return true;
    }
    }
    return false;
}

}  // namespace

bool ParseDibHeader(const std::uint8_t* data, std::size_t size, std::size_t offset, DibHeader* header)
{
    if (!data || !header || !Fits(size, offset, 40)) return false;
    const std::uint8_t* p = data + offset;
    std::uint32_t headerSize = U32(p);
    if (!KnownHeaderSize(headerSize) || !Fits(size, offset, headerSize)) return false;
    std::int32_t width = std::int32_t(U32(p + 4));
    std::int32_t height = std::int32_t(U32(p + 8));
    std::uint16_t planes = U16(p + 12);
    int bitCount = U16(p + 14);
    std::uint32_t compression = U32(p + 16);
    std::uint32_t colorsUsed = U32(p + 32);
    if (planes != 1 || !KnownBitCount(bitCount) || compression != kBiRgb) return false;
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min()) return false;
    long long rows = height < 0 ? -(long long)height : height;
    if (width > kMaxImageSide || rows > kMaxImageSide || width * rows > kMaxImagePixels) return false;
    std::uint64_t tableEntries = 0;
    if (bitCount <= 8) {
        std::uint64_t most = 1u << bitCount;
        tableEntries = colorsUsed ? colorsUsed : most;
        if (tableEntries > most) return false;
    } else {
        // A colour table is allowed beside true-colour pixels as a hint; we skip it.
        if (colorsUsed > 256) return false;
        tableEntries = colorsUsed;
    }
    std::size_t tableAt = offset + headerSize;
    if (!Fits(size, tableAt, tableEntries * 4)) return false;
    header->width = width;
    header->height = int(rows);
    header->topDown = height < 0;
    header->bitCount = bitCount;
    header->palette.clear();
    if (bitCount <= 8) {
        for (std::uint64_t i = 0; i < tableEntries; ++i) {
            const std::uint8_t* q = data + tableAt + 4 * i;
            header->palette.push_back((std::uint32_t(q[2]) << 16) | (std::uint32_t(q[1]) << 8) | q[0]);
        }
    }
    header->headerEnd = tableAt + std::size_t(tableEntries * 4);
    return true;
}

bool DecodeDibPixels(const std::uint8_t* data, std::size_t size, const DibHeader& h, std::size_t offset, int rows,
                     DecodedImage* out, std::size_t* end)
{
    if (!data || !out || rows <= 0 || rows > h.height || h.width <= 0) return false;
    std::uint64_t stride = (std::uint64_t(h.width) * h.bitCount + 31) / 32 * 4;
    if (!Fits(size, offset, stride * rows)) return false;
    DecodedImage img;
    img.width = h.width;
    img.height = rows;
    img.pixels.assign(std::size_t(h.width) * rows, 0);
    for (int r = 0; r < rows; ++r) {
        int y = h.topDown ? r : rows - 1 - r;
        const std::uint8_t* src = data + offset + std::size_t(stride) * r;
        if (!DecodeRow(src, h, img.pixels.data() + std::size_t(y) * h.width)) return false;
    }
    *out = std::move(img);
    if (end) *end = offset + std::size_t(stride * rows);
    return true;
}

bool DecodeBmp(const void* bytes, std::size_t size, DecodedImage* out)
{
    const std::uint8_t* data = static_cast<const std::uint8_t*>(bytes);
    if (!data || !out || size < 14 || data[0] != 'B' || data[1] != 'M') return false;
    std::uint32_t pixelOffset = U32(data + 10);
    DibHeader h;
    if (!ParseDibHeader(data, size, 14, &h)) return false;
    if (pixelOffset < h.headerEnd) return false;  // pixels may not overlap the header or table
    return DecodeDibPixels(data, size, h, pixelOffset, h.height, out, nullptr);
}
