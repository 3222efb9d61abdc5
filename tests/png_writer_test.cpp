// The PNG writer: read back through libpng, enlarged by nearest neighbour; bad input refused.
#include <gtest/gtest.h>
#include <png.h>
#include <cstdio>
#include <string>
#include <vector>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include "platform/gdi/png_writer.h"
#include "tests/program_run.h"

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

// A failed write never removes or empties what the path named: an old picture keeps its bytes,
// a device node (made as /dev/full is, where this user may) or a link stays, and no temporary file
// is left. Writes fail as on a full disk: beyond a small RLIMIT_FSIZE.
TEST(PngWriterTest, AFailedWriteLeavesWhatWasThere)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(TempPath("kept")).replace_extension("");
    fs::create_directories(dir);
    std::vector<std::uint32_t> noise(64 * 64);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint32_t>(i * 2654435761u);
    std::ofstream(dir / "old.png") << "old picture";
    fs::create_symlink("old.png", dir / "link-to-old.png");
    std::vector<std::string> targets = {"old.png", "link-to-old.png"};
    if (mknod((dir / "full").c_str(), S_IFCHR | 0600, makedev(1, 7)) == 0) {
        fs::create_symlink("full", dir / "link-to-full");
        targets.insert(targets.end(), {"full", "link-to-full"});
    }
    rlimit saved{}, small{};
    getrlimit(RLIMIT_FSIZE, &saved);
    small = rlimit{4096, saved.rlim_max};
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const std::string& target : targets) {
        setrlimit(RLIMIT_FSIZE, &small);
        bool written = WriteSurfacePng(Surface{noise.data(), 64, 64, 64}, 8, (dir / target).c_str());
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_FALSE(written) << target;
    }
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadAll(dir / "old.png"), "old picture");
    EXPECT_TRUE(fs::is_symlink(dir / "link-to-old.png"));
    if (targets.size() == 4) EXPECT_TRUE(fs::is_character_file(dir / "full") && fs::is_symlink(dir / "link-to-full"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), std::ptrdiff_t(targets.size()))
        << "a temporary file was left behind, or a target removed";
    fs::remove_all(dir);
}

}  // namespace
