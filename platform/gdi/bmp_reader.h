// Decoding of Windows bitmap files and of the device-independent bitmaps inside them and icons.
// Pure functions over bytes: anything malformed is refused, nothing is read past the end.
// Knowingly lacks: compressed bitmaps (RLE, bit fields, embedded JPEG/PNG), OS/2 core headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kMaxImageSide = 16384;
constexpr long long kMaxImagePixels = 1LL << 24;

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

struct DibHeader {
    int width = 0;
    int height = 0;  // rows of the whole DIB, always positive
    bool topDown = false;
    int bitCount = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::size_t headerEnd = 0;           // offset just past the header and colour table
};

// Reads the BITMAPINFOHEADER (or a later version) at `offset` and its colour table.
bool ParseDibHeader(const std::uint8_t* data, std::size_t size, std::size_t offset, DibHeader* header);
// Decodes `rows` rows of pixels stored at `offset`; `*end` receives the offset past them.
bool DecodeDibPixels(const std::uint8_t* data, std::size_t size, const DibHeader& header, std::size_t offset, int rows,
                     DecodedImage* out, std::size_t* end);
// A whole .bmp file: BITMAPFILEHEADER, BITMAPINFOHEADER, colour table, pixels.
bool DecodeBmp(const void* bytes, std::size_t size, DecodedImage* out);
