// Fuzz target: the bitmap and icon readers over arbitrary bytes. The first byte picks the reader;
// whatever they accept must be a picture whose pixel count matches its size.
#include <cstdint>
#include <vector>
#include "fuzz/fuzz_input.h"
#include "platform/gdi/bmp_ico_reader.h"
#include "platform/gdi/bmp_reader.h"

namespace {

void CheckImage(const DecodedImage& image)
{
    FUZZ_CHECK(image.width > 0 && image.height > 0);
    FUZZ_CHECK(image.width <= kMaxImageSide && image.height <= kMaxImageSide);
    FUZZ_CHECK(image.pixels.size() == std::size_t(image.width) * std::size_t(image.height));
    for (std::uint32_t pixel : image.pixels) FUZZ_CHECK((pixel & 0xFF000000u) == 0);
}

void CheckIcons(const std::vector<IconImage>& images)
{
    FUZZ_CHECK(!images.empty());
    FUZZ_CHECK(images.size() <= std::size_t(kMaxIconImages));
    for (const IconImage& image : images) {
        FUZZ_CHECK(image.width > 0 && image.height > 0);
        std::size_t pixels = std::size_t(image.width) * std::size_t(image.height);
        FUZZ_CHECK(image.color.size() == pixels);
        FUZZ_CHECK(image.mask.size() == pixels);
    }
    for (int side : {0, 16, 32, 1 << 20}) FUZZ_CHECK(PickIconImage(images, side) != nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t* bytes = data + 1;
    std::size_t length = size - 1;
    switch (data[0] % 3) {
    case 0: {
        DecodedImage image;
        if (DecodeBmp(bytes, length, &image)) CheckImage(image);
        break;
    }
    case 1: {
        std::vector<IconImage> images;
        if (DecodeIco(bytes, length, &images)) CheckIcons(images);
        break;
    }
    case 2: {
        // A bare DIB, as an icon holds it: header at 0, then as many rows as it claims.
        DibHeader header;
        if (!ParseDibHeader(bytes, length, 0, &header)) break;
        FUZZ_CHECK(header.headerEnd <= length);
        DecodedImage image;
        std::size_t end = 0;
        if (DecodeDibPixels(bytes, length, header, header.headerEnd, header.height, &image, &end)) {
            FUZZ_CHECK(end <= length);
            CheckImage(image);
        }
        break;
    }
    }
    return 0;
}
