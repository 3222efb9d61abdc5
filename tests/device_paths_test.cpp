// Device path mapping, DeleteFile and the thread's last error, with hostile paths.
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include "host_scratch.h"
#include "platform/kernel/device_files.h"
#include "platform/kernel/device_paths.h"
#include "platform/windows.h"

namespace fs = std::filesystem;

namespace {

class DevicePathsTest : public ::testing::Test {
protected:
    void SetUp() override { m_root = fs::canonical(DeviceRoot()).string(); }
    const std::string& Root() const { return m_root; }
    void MakeFile(const std::string& underRoot, const std::string& content = "x")
    {
        fs::create_directories(fs::path(m_root + "/" + underRoot).parent_path());
        std::ofstream(m_root + "/" + underRoot) << content;
    }

    HostScratch m_scratch;
    std::string m_root;
};

struct MappingCase {
    const char* label;
    std::u16string devicePath;
    const char* underRoot;  // expected host path below the root, when the mapping succeeds
    DWORD error;            // expected last error, when it fails
};

std::u16string Repeat(const std::u16string& text, int count)
{
    std::u16string out;
    for (int i = 0; i < count; ++i) out += text;
    return out;
}

TEST_F(DevicePathsTest, HostilePathsStayInsideTheRootOrAreRefused)
{
    const MappingCase cases[] = {
        {"root", u"\\", "", 0},
        {"dotdot above root", u"\\..\\..\\etc\\passwd", "/etc/passwd", 0},
        {"slashes and dotdot", u"/../../x", "/x", 0},
        {"climb out of a folder", u"\\Windows\\..\\..\\..\\x", "/x", 0},
        {"relative dotdot", u"..\\x", "/x", 0},
        {"dot components", u"\\a\\.\\b\\.", "/a/b", 0},
        {"host absolute path", u"/etc/passwd", "/etc/passwd", 0},
        {"dotdot after a name", u"\\a\\b\\..\\c", "/a/c", 0},
        {"three dots is a name", u"\\...", "/...", 0},
        {"surrogate pair", u"\\\xD83D\xDE00", "/\xF0\x9F\x98\x80", 0},
        {"drive letter", u"C:\\Windows", nullptr, ERROR_INVALID_NAME},
        {"doubled separator", u"\\a\\\\b", nullptr, ERROR_INVALID_NAME},
        {"trailing separator", u"\\a\\", nullptr, ERROR_INVALID_NAME},
        {"empty", u"", nullptr, ERROR_PATH_NOT_FOUND},
        {"control character", u"\\a\x01" u"b", nullptr, ERROR_INVALID_NAME},
        {"newline", u"\\a\nb", nullptr, ERROR_INVALID_NAME},
        {"star", u"\\a*", nullptr, ERROR_INVALID_NAME},
        {"question mark", u"\\a?", nullptr, ERROR_INVALID_NAME},
        {"pipe", u"\\a|b", nullptr, ERROR_INVALID_NAME},
        {"angle brackets", u"\\<a>", nullptr, ERROR_INVALID_NAME},
        {"quote", u"\\\"a\"", nullptr, ERROR_INVALID_NAME},
        {"lone high surrogate", u"\\a\xD800" u"b", nullptr, ERROR_INVALID_NAME},
        {"lone low surrogate", u"\\\xDC00", nullptr, ERROR_INVALID_NAME},
        {"surrogate at the end", u"\\a\xD83D", nullptr, ERROR_INVALID_NAME},
        {"NUL inside", std::u16string(u"\\a\0b", 4), nullptr, ERROR_INVALID_NAME},
        {"name of 256 bytes", u"\\" + Repeat(u"a", 256), nullptr, ERROR_FILENAME_EXCED_RANGE},
        {"name of 258 UTF-8 bytes", u"\\" + Repeat(u"\x3042", 86), nullptr, ERROR_FILENAME_EXCED_RANGE},
        {"host path over 4095", Repeat(u"\\" + Repeat(u"d", 200), 21), nullptr, ERROR_FILENAME_EXCED_RANGE},
        {"device path over 32767", Repeat(u"\\.", 16400), nullptr, ERROR_FILENAME_EXCED_RANGE},
    };
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::string host = "unchanged";
        SetLastError(0);
        bool mapped = MapDevicePathText(c.devicePath, &host);
        if (c.underRoot) {
            EXPECT_TRUE(mapped);
            EXPECT_EQ(host, Root() + c.underRoot);
        } else {
            EXPECT_FALSE(mapped);
            EXPECT_EQ(GetLastError(), c.error);
            EXPECT_EQ(host, "unchanged");
        }
    }
}

TEST_F(DevicePathsTest, LongestNamesAndPathsThatFitAreAccepted)
{
    std::string host;
    EXPECT_TRUE(MapDevicePathText(u"\\" + Repeat(u"a", 255), &host));
    EXPECT_TRUE(MapDevicePathText(u"\\" + Repeat(u"\x3042", 85), &host));  // 255 bytes of UTF-8
    EXPECT_EQ(host.size(), Root().size() + 1 + 255);
}

TEST_F(DevicePathsTest, NullArgumentsAreRefused)
{
    std::string host;
    SetLastError(0);
    EXPECT_FALSE(MapDevicePath(nullptr, &host));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_FALSE(MapDevicePath(u"\\a", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DevicePathsTest, NamesMatchExistingEntriesIgnoringCase)
{
    MakeFile("Windows/Quorix-Index.htc");
    MakeFile("\xC3\x84rger/\xEF\xBC\xA1" "b");  // "Ärger/Ａb"
    struct {
        std::u16string devicePath;
        const char* underRoot;
    } cases[] = {
        {u"\\windows\\quorix-index.htc", "/Windows/Quorix-Index.htc"},
        {u"/WINDOWS/QUORIX-INDEX.HTC", "/Windows/Quorix-Index.htc"},
        {u"\\wInDoWs\\New File.txt", "/Windows/New File.txt"},
        {u"\\\x00E4RGER\\\xFF41" u"B", "/\xC3\x84rger/\xEF\xBC\xA1" "b"},
        {u"\\Missing\\Deeper\\File", "/Missing/Deeper/File"},
    };
    for (const auto& c : cases) {
        std::string host;
        ASSERT_TRUE(MapDevicePath(c.devicePath.c_str(), &host));
        EXPECT_EQ(host, Root() + c.underRoot);
    }
}

TEST_F(DevicePathsTest, AnExactMatchWinsOverOneThatDiffersInCase)
{
    MakeFile("a", "lower");
    MakeFile("A", "upper");
    std::string host;
    ASSERT_TRUE(MapDevicePath(u"\\A", &host));
    EXPECT_EQ(host, Root() + "/A");
    ASSERT_TRUE(MapDevicePath(u"\\a", &host));
    EXPECT_EQ(host, Root() + "/a");
}

TEST_F(DevicePathsTest, SymbolicLinksMayNotLeadOutOfTheRoot)
{
    MakeFile("inside/file");
    std::string outside = m_scratch.Path() + "/outside";
    fs::create_directories(outside);
    std::ofstream(outside + "/secret") << "keep";
    fs::create_symlink(outside, Root() + "/out");
    fs::create_symlink(Root() + "/..", Root() + "/up");
    fs::create_symlink(Root() + "/nowhere", Root() + "/dangling");
    fs::create_symlink(Root() + "/inside", Root() + "/in");
    fs::create_symlink("inside/file", Root() + "/relative");

    struct {
        const char* label;
        const char16_t* devicePath;
        bool mapped;
    } cases[] = {
        {"through a link out", u"\\out\\secret", false},
        {"a link out itself", u"\\OUT", false},
        {"a link to the root's parent", u"\\up\\outside", false},
        {"a dangling link", u"\\dangling", false},
        {"a link inside", u"\\in\\file", true},
        {"a relative link inside", u"\\relative", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::string host;
        SetLastError(0);
        EXPECT_EQ(MapDevicePath(c.devicePath, &host), c.mapped);
        if (!c.mapped) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        }
    }
    EXPECT_FALSE(DeleteFile(u"\\out\\secret"));
    EXPECT_TRUE(fs::exists(outside + "/secret"));
}

TEST(DeviceRootTest, FollowsTheEnvironmentAndIsCreatedPrivate)
{
    HostScratch scratch;
    scratch.Set("QUORIX_DEVICE_ROOT", std::nullopt);
    scratch.Set("HOME", scratch.Path() + "/home");
    std::string underData = scratch.Path() + "/data/quorix/device";
    EXPECT_EQ(DeviceRoot(), underData);
    struct stat st;
    ASSERT_EQ(stat(underData.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    scratch.Set("XDG_DATA_HOME", "relative/data");  // XDG says: ignore it
    EXPECT_EQ(DeviceRoot(), scratch.Path() + "/home/.local/share/quorix/device");

    scratch.Set("QUORIX_DEVICE_ROOT", scratch.Path() + "/elsewhere");
    EXPECT_EQ(DeviceRoot(), scratch.Path() + "/elsewhere");
}

TEST_F(DevicePathsTest, DeleteFileReportsWin32Errors)
{
    MakeFile("Windows/help.htp");
    fs::create_directories(Root() + "/Windows/folder");
    struct {
        const char16_t* devicePath;
        BOOL result;
        DWORD error;
    } cases[] = {
        {u"\\WINDOWS\\HELP.HTP", TRUE, 0},
        {u"\\Windows\\help.htp", FALSE, ERROR_FILE_NOT_FOUND},  // already gone
        {u"\\Nowhere\\help.htp", FALSE, ERROR_PATH_NOT_FOUND},
        {u"\\Windows\\folder", FALSE, ERROR_ACCESS_DENIED},
        {u"\\Windows\\a*b", FALSE, ERROR_INVALID_NAME},
        {nullptr, FALSE, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.devicePath ? std::string(c.devicePath, c.devicePath + 3) : "null");
        SetLastError(0);
        EXPECT_EQ(DeleteFile(c.devicePath), c.result);
        if (!c.result) {
            EXPECT_EQ(GetLastError(), c.error);
        }
    }
    EXPECT_FALSE(fs::exists(Root() + "/Windows/help.htp"));
    EXPECT_TRUE(fs::is_directory(Root() + "/Windows/folder"));
}

TEST_F(DevicePathsTest, DeleteFileRemovesALinkNotItsTarget)
{
    MakeFile("target", "keep");
    fs::create_symlink(Root() + "/target", Root() + "/link");
    EXPECT_TRUE(DeleteFile(u"\\link"));
    EXPECT_FALSE(fs::is_symlink(Root() + "/link"));
    EXPECT_TRUE(fs::exists(Root() + "/target"));
}

TEST_F(DevicePathsTest, CreateDirectoryReportsAnExistingFolder)
{
    EXPECT_TRUE(CreateDirectory(u"\\Windows", nullptr));
    EXPECT_FALSE(CreateDirectory(u"\\WINDOWS", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectory(u"\\No\\Such", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(DevicePathsTest, WholeFileWritesReplaceAndCompare)
{
    ASSERT_TRUE(CreateDirectory(u"\\Windows", nullptr));
    const char first[] = "first content", second[] = "second";
    EXPECT_FALSE(DeviceFileHolds(u"\\Windows\\f", first, sizeof first));
    ASSERT_TRUE(WriteDeviceFile(u"\\Windows\\f", first, sizeof first));
    EXPECT_TRUE(DeviceFileHolds(u"\\windows\\F", first, sizeof first));
    EXPECT_FALSE(DeviceFileHolds(u"\\Windows\\f", first, sizeof first - 1));  // shorter
    EXPECT_FALSE(DeviceFileHolds(u"\\Windows\\f", "first contenT", sizeof first));
    ASSERT_TRUE(WriteDeviceFile(u"\\Windows\\f", second, sizeof second));
    EXPECT_TRUE(DeviceFileHolds(u"\\Windows\\f", second, sizeof second));
    EXPECT_FALSE(WriteDeviceFile(u"\\Missing\\f", first, sizeof first));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(DevicePathsTest, WritingOverALinkReplacesTheLinkOnly)
{
    MakeFile("target", "keep");
    fs::create_symlink(Root() + "/target", Root() + "/link");
    ASSERT_TRUE(WriteDeviceFile(u"\\link", "new", 3));
    std::ifstream target(Root() + "/target");
    std::string kept;
    target >> kept;
    EXPECT_EQ(kept, "keep");
    EXPECT_FALSE(fs::is_symlink(Root() + "/link"));
}

TEST(LastErrorTest, EachThreadHasItsOwn)
{
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenByOther = 1;
    std::thread other([&] {
        seenByOther = GetLastError();
        SetLastError(ERROR_INVALID_NAME);
    });
    other.join();
    EXPECT_EQ(seenByOther, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
