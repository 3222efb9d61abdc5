// Decoding of .ico files: each image a DIB with its colour (XOR) pixels and its AND mask.
// Knowingly lacks: PNG-compressed images (skipped), which a file needs at least one DIB beside.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kMaxIconImages = 64;

struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> color;  // 0x00RRGGBB, top row first
    std::vector<std::uint8_t> mask;    // 1 where the AND mask keeps the background
};

bool DecodeIco(const void* bytes, std::size_t size, std::vector<IconImage>* out);
// The image nearest to `side` x `side` (an exact match first, else the largest); null when none.
const IconImage* PickIconImage(const std::vector<IconImage>& images, int side);
