// Hostile device paths against the Windows build's mapping into the per-user device folder, made
// by the generator the Linux build's test uses: nothing may be named, written, made or deleted
// outside the folder, as the file functions or as Windows itself reads the mapped path (devices
// such as NUL or COM1 in any folder included), and nothing may crash.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <string>
#include "platform/drivers/windows/windows_driver.h"
#include "platform/extras.h"
#include "platform/windows.h"
#include "tests/hostile_paths.h"

namespace fs = std::filesystem;

namespace {

bool IsInside(const std::wstring& root, const std::wstring& path)
{
    if (path.size() < root.size() || (path.size() > root.size() && path[root.size()] != L'\\')) return false;
    return CompareStringOrdinal(path.c_str(), static_cast<int>(root.size()), root.c_str(), static_cast<int>(root.size()),
                                TRUE) == CSTR_EQUAL;
}

// The path as Windows reads it: "\\.\NUL" for a device name, whatever folder it is put in.
std::wstring AsWindowsReadsIt(const std::wstring& path)
{
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(n);
    return full;
}

// A folder holding the device folder and, beside it, a file that must survive.
struct Layout {
    fs::path folder, root, canary;
    explicit Layout(const fs::path& at) : folder(at), root(at / "device"), canary(at / "canary.txt") {}
};

// A scratch layout of the test's own.
struct Scratch : Layout {
    Scratch() : Layout(fs::temp_directory_path() / ("quorix-hostile-" + std::to_string(GetCurrentProcessId())))
    {
        fs::create_directories(root / "Windows");
        std::ofstream(canary) << "must survive";
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

// The device folder of the test: `root` until it ends.
struct DeviceRootOverride {
    explicit DeviceRootOverride(const fs::path& root) { SetEnvironmentVariableW(L"QUORIX_DEVICE_ROOT", root.c_str()); }
    ~DeviceRootOverride() { SetEnvironmentVariableW(L"QUORIX_DEVICE_ROOT", nullptr); }
};

// Generated paths through the mapping and the file functions over `layout`'s device folder.
void ExpectNothingLeavesTheDeviceFolder(const Layout& layout)
{
    const std::wstring root = layout.root.wstring();
    ASSERT_EQ(DeviceRootFolder(), root);
    std::wstring relative = layout.folder.wstring().substr(3);  // without "C:\"
    HostilePathMaker maker(std::u16string(relative.begin(), relative.end()), 20261207);
    int mapped = 0, refused = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::u16string made = maker.Next();
        const std::wstring path(made.begin(), made.end());  // up to a NUL, as the functions read it
        std::wstring host;
        SetLastError(ERROR_SUCCESS);
        if (MapDevicePathToHost(path.c_str(), &host)) {
            ++mapped;
            EXPECT_TRUE(IsInside(root, host)) << "path " << i << " mapped outside";
            EXPECT_TRUE(IsInside(root, AsWindowsReadsIt(host)))
                << "path " << i << " is read as " << fs::path(AsWindowsReadsIt(host)).string();
        } else {
            ++refused;
            EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "path " << i;
        }
        DeleteFile(path.c_str());
        CreateDirectory(path.c_str(), nullptr);
        WriteDeviceFile(path.c_str(), "x", 1);
        DeviceFileHolds(path.c_str(), "x", 1);
        ASSERT_TRUE(fs::exists(layout.canary))
            << "path " << i << " (" << fs::path(path.substr(0, 200)).string() << ") deleted the file outside the folder";
    }
    EXPECT_GT(mapped, 100);
    EXPECT_GT(refused, 100);
    std::ifstream canary(layout.canary);
    std::string content;
    std::getline(canary, content);
    EXPECT_EQ(content, "must survive");
    // Nothing was made beside the device folder.
    int beside = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(layout.folder)) {
        beside += entry.path() != layout.root && entry.path() != layout.canary;
    }
    EXPECT_EQ(beside, 0);
}

}  // namespace

TEST(HostileDevicePaths, NoGeneratedPathReachesOutsideTheDeviceFolder)
{
    Scratch scratch;
    DeviceRootOverride useScratch(scratch.root);
    ExpectNothingLeavesTheDeviceFolder(scratch);
}

// Links inside the device folder that lead out of it (a link to the folder above, to the file
// beside it): the test command plants them as C:\quorix-links before the run (a program under
// Wine cannot make them).
TEST(HostileDevicePaths, NoPathGoesThroughALinkInTheDeviceFolder)
{
    Layout planted(L"C:\\quorix-links");
    if (!fs::exists(planted.root / "dirlink")) GTEST_SKIP() << "no links planted in C:\\quorix-links";
    DeviceRootOverride usePlanted(planted.root);
    ExpectNothingLeavesTheDeviceFolder(planted);
    std::wstring host;
    EXPECT_FALSE(MapDevicePathToHost(L"\\dirlink\\canary.txt", &host));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(MapDevicePathToHost(L"\\filelink", &host)) << "the link itself is not the device's";
}
