// Font files opened through the reading stream: the same face as FreeType's own file access, and
// files that are not fonts fail cleanly without leaving a descriptor open.
#include <gtest/gtest.h>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include "platform/gdi/fonts/font_match.h"
#include "platform/gdi/fonts/font_stream.h"

namespace {

int OpenDescriptors()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

struct Library {
    FT_Library lib = nullptr;
    Library() { FT_Init_FreeType(&lib); }
    ~Library() { FT_Done_FreeType(lib); }
};

std::vector<unsigned char> Render(FT_Face face, FT_ULong codepoint)
{
    FT_Set_Pixel_Sizes(face, 0, 24);
    if (FT_Load_Char(face, codepoint, FT_LOAD_RENDER) != 0) return {};
    const FT_Bitmap& b = face->glyph->bitmap;
    std::vector<unsigned char> out;
    for (unsigned y = 0; y < b.rows; ++y) out.insert(out.end(), b.buffer + y * b.pitch, b.buffer + y * b.pitch + b.width);
    return out;
}

TEST(FontStreamTest, ReadsTheSameFaceAsAFileMapping)
{
    std::optional<FontFile> file = MatchFontFile("", false);
    ASSERT_TRUE(file.has_value());
    Library l;
    FT_Face mapped = nullptr, read = nullptr;
    ASSERT_EQ(FT_New_Face(l.lib, file->path.c_str(), file->index, &mapped), 0);
    ASSERT_EQ(OpenFaceByReading(l.lib, file->path, file->index, &read), 0);
    EXPECT_EQ(read->num_glyphs, mapped->num_glyphs);
    EXPECT_EQ(read->units_per_EM, mapped->units_per_EM);
    for (FT_ULong c : {FT_ULong('7'), FT_ULong(U'関'), FT_ULong(U'＋'), FT_ULong(U'π')}) {
        std::vector<unsigned char> a = Render(mapped, c), b = Render(read, c);
        EXPECT_FALSE(a.empty()) << c;
        EXPECT_EQ(a, b) << c;
    }
    FT_Done_Face(mapped);
    FT_Done_Face(read);
}

TEST(FontStreamTest, WhatIsNotAFontFailsAndClosesItsFile)
{
    std::optional<FontFile> font = MatchFontFile("", false);
    ASSERT_TRUE(font.has_value());
    std::ifstream in(font->path, std::ios::binary);
    std::string head(2048, '\0');
    in.read(head.data(), std::streamsize(head.size()));
    const std::string dir = ::testing::TempDir();
    struct Case {
        const char* name;
        std::string content;
    } cases[] = {
        {"empty.ttf", ""},
        {"text.ttf", "not a font at all\n"},
        {"cut.ttf", head},  // a real font's first bytes only
    };
    Library l;
    const int before = OpenDescriptors();
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.name;
        std::ofstream(path, std::ios::binary) << c.content;
        FT_Face face = nullptr;
        FT_Error error = OpenFaceByReading(l.lib, path, 0, &face);
        if (error == 0) {
            // FreeType may accept the cut font's directory; it must still not crash on use.
            Render(face, '7');
            FT_Done_Face(face);
        } else {
            EXPECT_EQ(face, nullptr) << c.name;
        }
    }
    FT_Face none = nullptr;
    EXPECT_NE(OpenFaceByReading(l.lib, dir + "/no-such-font.ttf", 0, &none), 0);
    EXPECT_NE(OpenFaceByReading(l.lib, dir, 0, &none), 0);  // a folder
    const std::string fifo = dir + "/pipe.ttf";
    mkfifo(fifo.c_str(), 0600);
    EXPECT_NE(OpenFaceByReading(l.lib, fifo, 0, &none), 0);  // refused at once, not waited on
    unlink(fifo.c_str());
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
