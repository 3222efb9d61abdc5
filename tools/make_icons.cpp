// Build step: writes the icon theme's PNGs of the program's icon.
//   quorix_make_icons ICON.ico FOLDER    -> FOLDER/NxN/apps/quorix.png for each theme size
// Exit status 0 when every file was written, 1 otherwise, 2 on bad usage.
#include <cstdio>
#include <string>
#include <vector>
#include "tools/icon_sizes.h"

namespace {

constexpr long kMaxIcoBytes = 1L << 20;  // the program's icon is a few hundred bytes

bool ReadSmallFile(const char* path, std::vector<unsigned char>* bytes)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    bytes->resize(std::size_t(kMaxIcoBytes) + 1);
    std::size_t got = std::fread(bytes->data(), 1, bytes->size(), file);
    bool ok = !std::ferror(file) && got <= std::size_t(kMaxIcoBytes);
    std::fclose(file);
    bytes->resize(got);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorix_make_icons ICON.ico FOLDER\n");
        return 2;
    }
    std::vector<unsigned char> bytes;
    if (!ReadSmallFile(argv[1], &bytes)) {
        std::fprintf(stderr, "quorix_make_icons: cannot read %s (missing, unreadable or over 1 MiB)\n", argv[1]);
        return 1;
    }
    std::string error;
    if (!WriteThemeIcons(bytes.data(), bytes.size(), argv[2], "quorix", &error)) {
        std::fprintf(stderr, "quorix_make_icons: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
