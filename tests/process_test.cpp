// Starting the help viewer: the device program mapping, the viewer's argument, handles, no
// leaked descriptors, no zombies; and the browser-ready copies of the help pages.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include "host_scratch.h"
#include "platform/kernel/device_paths.h"
#include "platform/kernel/help_mirror.h"
#include "platform/windows.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Waits for a file to appear; the viewer runs on its own and is not waited for.
bool WaitForFile(const std::string& path)
{
    for (int i = 0; i < 500; ++i) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class HelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::canonical(DeviceRoot()).string();
        WriteText(m_root + "/Windows/quorix-index.htc", "<html></html>");
        m_record = m_scratch.Path() + "/record";
        std::string viewer = m_scratch.Path() + "/viewer.sh";
        // Records its arguments and the descriptors it was given, then ends at once.
        WriteText(viewer,
                  "#!/bin/sh\n"
                  "{ echo \"$#\"; echo \"$1\"; ls /proc/self/fd | tr '\\n' ' '; echo; } > \"$0.tmp\"\n"
                  "mv \"$0.tmp\" " + m_record + "\n");
        fs::permissions(viewer, fs::perms::owner_all);
        m_scratch.Set("QUORIX_HELP_VIEWER", viewer);
    }

    // The viewer's record: argument count, first argument, descriptor list.
    std::vector<std::string> Record()
    {
        std::vector<std::string> lines;
        if (!WaitForFile(m_record)) return lines;
        std::istringstream in(ReadText(m_record));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    HostScratch m_scratch;
    std::string m_root;
    std::string m_record;
};

TEST_F(HelpViewerTest, ThePlatformViewerGetsTheHostPathOfTheIndex)
{
    WCHAR commandLine[] = u"\\windows\\quorix-index.htc";
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcess(u"\\windows\\peghelp.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              nullptr, &pi));
    EXPECT_NE(pi.hProcess, nullptr);
    EXPECT_NE(pi.hThread, nullptr);
    EXPECT_NE(pi.hProcess, pi.hThread);
    EXPECT_GT(pi.dwProcessId, 0u);
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    EXPECT_TRUE(CloseHandle(pi.hThread));
    std::vector<std::string> record = Record();
    ASSERT_EQ(record.size(), 3u);
    EXPECT_EQ(record[0], "1");
    EXPECT_EQ(record[1], m_root + "/Windows/quorix-index.htc");
}

TEST_F(HelpViewerTest, TheDesktopOpensABrowserReadyCopy)
{
    WriteText(m_root + "/Windows/quorix_use.htp", "use");
    WriteText(m_root + "/Windows/quorix-index.htc", "<a href=\"quorix_use.htp\">");
    fs::create_directories(m_scratch.Path() + "/bin");
    fs::copy_file(m_scratch.Path() + "/viewer.sh", m_scratch.Path() + "/bin/xdg-open");
    m_scratch.Set("PATH", m_scratch.Path() + "/bin:/usr/bin:/bin");
    m_scratch.Set("QUORIX_HELP_VIEWER", std::nullopt);
    WCHAR commandLine[] = u"\\windows\\quorix-index.htc";
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcess(u"\\windows\\peghelp.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              nullptr, &pi));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    std::vector<std::string> record = Record();
    ASSERT_EQ(record.size(), 3u);
    std::string mirror = m_scratch.Path() + "/cache/quorix/help";
    EXPECT_EQ(record[1], mirror + "/quorix-index.htc.html");
    EXPECT_EQ(ReadText(record[1]), "<a href=\"quorix_use.htp.html\">");
    EXPECT_EQ(ReadText(mirror + "/quorix_use.htp.html"), "use");
}

TEST_F(HelpViewerTest, TheViewerInheritsNoDescriptorOfOurs)
{
    int leaked = open("/dev/null", O_RDONLY);  // deliberately without close-on-exec
    ASSERT_GE(leaked, 0);
    ASSERT_EQ(dup2(leaked, 77), 77);
    WCHAR commandLine[] = u"\\windows\\quorix-index.htc";
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcess(u"\\windows\\peghelp.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              nullptr, &pi));
    std::vector<std::string> record = Record();
    close(77);
    close(leaked);
    ASSERT_EQ(record.size(), 3u);
    std::istringstream fds(record[2]);
    for (std::string fd; fds >> fd;) {
        EXPECT_TRUE(fd == "0" || fd == "1" || fd == "2" || fd == "3") << "descriptor " << fd << " reached the viewer";
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

TEST_F(HelpViewerTest, AnEndedViewerIsReapedNotLeftAZombie)
{
    WCHAR commandLine[] = u"\\windows\\quorix-index.htc";
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcess(u"\\windows\\peghelp.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              nullptr, &pi));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    ASSERT_EQ(Record().size(), 3u);
    pid_t pid = static_cast<pid_t>(pi.dwProcessId);
    bool gone = false;
    for (int i = 0; i < 500 && !gone; ++i) {
        gone = kill(pid, 0) != 0 && errno == ESRCH;  // a zombie still answers
        if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(gone);
}

TEST_F(HelpViewerTest, TheProgramMayComeFromTheCommandLineInAnyCase)
{
    WCHAR commandLine[] = u"\"\\WINDOWS\\PEGHELP.EXE\"  \"/Windows/Quorix-Index.HTC\" ";
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcess(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    std::vector<std::string> record = Record();
    ASSERT_EQ(record.size(), 3u);
    EXPECT_EQ(record[1], m_root + "/Windows/quorix-index.htc");
}

TEST_F(HelpViewerTest, ADocumentPathCannotLeaveTheDevice)
{
    WCHAR commandLine[] = u"\\..\\..\\..\\etc\\passwd";
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcess(u"\\windows\\peghelp.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              nullptr, &pi));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    std::vector<std::string> record = Record();
    ASSERT_EQ(record.size(), 3u);
    EXPECT_EQ(record[1], m_root + "/etc/passwd");
}

TEST_F(HelpViewerTest, FailuresGiveNoHandles)
{
    WCHAR index[] = u"\\windows\\quorix-index.htc";
    WCHAR hostile[] = u"\\windows\\\\x";
    WCHAR blank[] = u"   ";
    struct {
        const char* label;
        const WCHAR* application;
        WCHAR* commandLine;
        const char* viewer;
        DWORD error;
    } cases[] = {
        {"unknown device program", u"\\windows\\notepad.exe", index, nullptr, ERROR_FILE_NOT_FOUND},
        {"viewer elsewhere", u"\\temp\\peghelp.exe", index, nullptr, ERROR_FILE_NOT_FOUND},
        {"hostile program path", u"\\windows\\peg*help.exe", index, nullptr, ERROR_FILE_NOT_FOUND},
        {"no program at all", nullptr, nullptr, nullptr, ERROR_INVALID_PARAMETER},
        {"no document", u"\\windows\\peghelp.exe", blank, nullptr, ERROR_INVALID_PARAMETER},
        {"hostile document path", u"\\windows\\peghelp.exe", hostile, nullptr, ERROR_INVALID_NAME},
        {"viewer cannot start", u"\\windows\\peghelp.exe", index, "/nonexistent/viewer", ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.viewer) m_scratch.Set("QUORIX_HELP_VIEWER", c.viewer);
        PROCESS_INFORMATION pi{};
        SetLastError(0);
        EXPECT_FALSE(CreateProcess(c.application, c.commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   nullptr, &pi));
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(pi.hProcess, nullptr);
        EXPECT_EQ(pi.hThread, nullptr);
        EXPECT_FALSE(CloseHandle(pi.hProcess));  // what the program does after a failed start
    }
    SetLastError(0);
    EXPECT_FALSE(CreateProcess(u"\\windows\\peghelp.exe", index, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                               nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(fs::exists(m_record));
}

TEST(CloseHandleTest, OnlyOpenHandlesClose)
{
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x10002)));
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(~std::uintptr_t(0))));
}

TEST(HelpLinksTest, LinksToSiblingPagesPointAtTheirCopies)
{
    struct {
        const char* html;
        const char* rewritten;
    } cases[] = {
        {"<a href=\"quorix_use.htp\">", "<a href=\"quorix_use.htp.html\">"},
        {"<A HREF='Quorix_Use.HTP#keys'>", "<A HREF='quorix_use.htp.html#keys'>"},
        {"<a href = \"quorix-index.htc\">", "<a href = \"quorix-index.htc.html\">"},
        {"<a href=quorix_use.htp>", "<a href=quorix_use.htp.html>"},
        {"<a href=\"https://www.example.com/x.htp\">", "<a href=\"https://www.example.com/x.htp\">"},
        {"<a href=\"mailto:quorix@example.com\">", "<a href=\"mailto:quorix@example.com\">"},
        {"<a href=\"../up.htp\">", "<a href=\"../up.htp\">"},
        {"<a href=\"\\Windows\\x.htp\">", "<a href=\"\\Windows\\x.htp\">"},
        {"<a href=\"page.html\">", "<a href=\"page.html\">"},
        {"<a data-href=\"x.htp\">", "<a data-href=\"x.htp\">"},
        {"<a href=\"x.htp", "<a href=\"x.htp.html"},  // cut off at the end of the file
        {"text href", "text href"},
        {"<p>a</p><a href=\"a.htp\">a</a><a href=\"b.htc\">b</a>",
         "<p>a</p><a href=\"a.htp.html\">a</a><a href=\"b.htc.html\">b</a>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RewriteHelpLinks(c.html), c.rewritten) << c.html;
    }
}

class HelpMirrorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = m_scratch.Path() + "/device/Windows";
        m_mirror = m_scratch.Path() + "/cache/quorix/help";
        WriteText(m_folder + "/quorix-index.htc", "<a href=\"quorix_use.htp\">use</a>");
        WriteText(m_folder + "/quorix_use.htp", "use");
        WriteText(m_folder + "/other.txt", "not a page");
    }
    HostScratch m_scratch;
    std::string m_folder;
    std::string m_mirror;
};

TEST_F(HelpMirrorTest, EveryPageOfTheFolderGetsAPrivateCopy)
{
    std::string copy;
    ASSERT_TRUE(MirrorHelpPages(m_folder + "/quorix-index.htc", &copy));
    EXPECT_EQ(copy, m_mirror + "/quorix-index.htc.html");
    EXPECT_EQ(ReadText(copy), "<a href=\"quorix_use.htp.html\">use</a>");
    EXPECT_EQ(ReadText(m_mirror + "/quorix_use.htp.html"), "use");
    EXPECT_FALSE(fs::exists(m_mirror + "/other.txt.html"));
    struct stat st;
    ASSERT_EQ(stat(m_mirror.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
}

TEST_F(HelpMirrorTest, CopiesFollowChangedAndRemovedPages)
{
    std::string copy;
    ASSERT_TRUE(MirrorHelpPages(m_folder + "/quorix-index.htc", &copy));
    struct stat before, after;
    ASSERT_EQ(stat(copy.c_str(), &before), 0);
    ASSERT_TRUE(MirrorHelpPages(m_folder + "/quorix-index.htc", &copy));
    ASSERT_EQ(stat(copy.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);  // up to date: not written again

    WriteText(m_folder + "/quorix_use.htp", "changed");
    fs::last_write_time(m_folder + "/quorix_use.htp", fs::last_write_time(m_folder + "/quorix_use.htp") - std::chrono::hours(1));
    fs::remove(m_folder + "/quorix-index.htc");
    ASSERT_TRUE(MirrorHelpPages(m_folder + "/quorix_use.htp", &copy));
    EXPECT_EQ(ReadText(m_mirror + "/quorix_use.htp.html"), "changed");  // older, yet different: refreshed
    EXPECT_FALSE(fs::exists(m_mirror + "/quorix-index.htc.html"));
}

}  // namespace
