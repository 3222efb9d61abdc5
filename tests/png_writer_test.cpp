// The PNG writer: read back through libpng, enlarged by nearest neighbour; bad input refused.
#include <gtest/gtest.h>
#include <png.h>
#include <cstdio>
#include <string>
#include <vector>
#include <unistd.h>
#include "platform/gdi/png_writer.h"

namespace {

std::string TempPath(const char* name)
{
    return std::string(::testing::TempDir()) + "/" + name + "." + std::to_string(getpid()) + ".png";
}

TEST(PngWriterTest, WritesScaledPixelsThatReadBack)
{
    std::uint32_t pixels[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000, 0x999999, 0xDEAD00};
    // 3 x 2 out of a stride of 4: the fourth pixel of each row must not appear.
    Surface s{pixels, 3, 2, 4};
    std::string path = TempPath("scaled");
    ASSERT_TRUE(WriteSurfacePng(s, 2, path.c_str()));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    image.format = PNG_FORMAT_RGB;
    ASSERT_EQ(image.width, 6u);
    ASSERT_EQ(image.height, 4u);
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            std::uint32_t want = pixels[(y / 2) * 4 + x / 2];
            const png_byte* p = &rgb[(y * 6 + x) * 3];
            std::uint32_t got = (std::uint32_t(p[0]) << 16) | (p[1] << 8) | p[2];
            EXPECT_EQ(got, want) << x << "," << y;
        }
    }
    std::remove(path.c_str());
}

TEST(PngWriterTest, RefusesBadPathsScalesAndSurfaces)
{
    std::uint32_t pixel = 0;
    Surface one{&pixel, 1, 1, 1};
    EXPECT_FALSE(WriteSurfacePng(one, 1, "/nonexistent-dir/x/y.png"));
    EXPECT_FALSE(WriteSurfacePng(one, 1, ""));
    EXPECT_FALSE(WriteSurfacePng(one, 1, nullptr));
    EXPECT_FALSE(WriteSurfacePng(one, 1, "/"));
    std::string path = TempPath("refused");
    EXPECT_FALSE(WriteSurfacePng(one, 0, path.c_str()));
    EXPECT_FALSE(WriteSurfacePng(one, kMaxScreenScale + 1, path.c_str()));
    EXPECT_FALSE(WriteSurfacePng(Surface{nullptr, 1, 1, 1}, 1, path.c_str()));
    EXPECT_FALSE(WriteSurfacePng(Surface{&pixel, 2, 1, 1}, 1, path.c_str()));  // stride shorter than a row
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);  // nothing left behind
}

}  // namespace
