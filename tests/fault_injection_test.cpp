// The real program when its surroundings fail: a device root that is missing, a file, read-only
// or full; a runtime folder that is unusable; no font at all. It either goes on with the right
// answer or ends with one clear line on standard error and status 1: never a signal, never a hang,
// never a half-written file. Read-only and full folders are small tmpfs mounts (root only; the
// cases are skipped with a message elsewhere).
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include "tests/program_run.h"

namespace fs = std::filesystem;

extern char** environ;

namespace {

class FaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quorix-faults-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        fs::create_directory(m_dir / "run");
        fs::permissions(m_dir / "run", fs::perms::owner_all);
    }
    void TearDown() override
    {
        for (auto it = m_mounts.rbegin(); it != m_mounts.rend(); ++it) std::system(("umount '" + it->string() + "'").c_str());
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    // A tmpfs of `size` at dir; false (and nothing mounted) when this user may not mount.
    bool MountTmpfs(const fs::path& dir, const std::string& options)
    {
        fs::create_directories(dir);
        if (geteuid() != 0) return false;
        std::string command = "mount -t tmpfs -o " + options + " tmpfs '" + dir.string() + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) return false;
        m_mounts.push_back(dir);
        return true;
    }

    // Fills the tmpfs at dir, leaving about `spare` bytes.
    void Fill(const fs::path& dir, std::size_t spare)
    {
        std::ofstream filler(dir / "filler", std::ios::binary);
        std::string block(4096, 'x');
        for (int i = 0; i < 64 && filler; ++i) filler.write(block.data(), block.size()), filler.flush();
        filler.close();
        fs::resize_file(dir / "filler", fs::file_size(dir / "filler") > spare ? fs::file_size(dir / "filler") - spare : 0);
    }

    // The program with `env` before it, given 30 s (a hang shows as status 124).
    ProgramRun Quorix(const std::string& env, const std::string& args)
    {
        return RunCapturing("env XDG_RUNTIME_DIR='" + (m_dir / "run").string() + "' " + env + " timeout 30 '" +
                                QUORIX_BINARY + "' " + args,
                            m_dir);
    }

    fs::path m_dir;
    std::vector<fs::path> m_mounts;
};

// The ways a device root can be unusable; each made under the test's folder.
enum class RootFault { kCannotBeMade, kIsAFile, kReadOnly, kFull };

struct RootCase {
    const char* name;
    RootFault fault;
};

// Names the case in test listings instead of its bytes.
void PrintTo(const RootCase& c, std::ostream* os)
{
    *os << c.name;
}

class DeviceRootFaultTest : public FaultTest, public ::testing::WithParamInterface<RootCase> {
protected:
    // The root to hand the program, or "" when this fault cannot be made here.
    std::string MakeFaultyRoot(RootFault fault)
    {
        switch (fault) {
        case RootFault::kCannotBeMade: return "/proc/self/quorix-device";
        case RootFault::kIsAFile:
            std::ofstream(m_dir / "file") << "not a folder";
            return (m_dir / "file").string();
        case RootFault::kReadOnly:
            return MountTmpfs(m_dir / "ro", "ro,size=64k") ? (m_dir / "ro" / "device").string() : "";
        case RootFault::kFull:
            if (!MountTmpfs(m_dir / "full", "size=64k")) return "";
            Fill(m_dir / "full", 0);
            return (m_dir / "full" / "device").string();
        }
        return "";
    }
};

TEST_P(DeviceRootFaultTest, CalculatingGoesOnAndSetUpSaysWhyItFailed)
{
    const std::string root = MakeFaultyRoot(GetParam().fault);
    if (root.empty()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << GetParam().name << " not tried";
    const std::string env = "QUORIX_DEVICE_ROOT='" + root + "'";

    ProgramRun calc = Quorix(env, "--headless --keys '1 2 + 3 ='");
    EXPECT_EQ(calc.status, 0) << calc.err;
    EXPECT_EQ(calc.out, "15.\n");

    ProgramRun setup = Quorix(env, "--setup");
    EXPECT_EQ(setup.status, 1) << setup.err;
    EXPECT_EQ(setup.err, "quorix: could not install the help files or the registry key\n");
    EXPECT_EQ(setup.out, "");
}

INSTANTIATE_TEST_SUITE_P(Faults, DeviceRootFaultTest,
                         ::testing::Values(RootCase{"CannotBeMade", RootFault::kCannotBeMade},
                                           RootCase{"IsAFile", RootFault::kIsAFile},
                                           RootCase{"ReadOnly", RootFault::kReadOnly},
                                           RootCase{"Full", RootFault::kFull}),
                         [](const auto& info) { return std::string(info.param.name); });

// Running out of room half-way leaves whole files or none, and the next set-up finishes the job.
TEST_F(FaultTest, ARootThatFillsUpHalfWayGetsNoHalfWrittenFile)
{
    const fs::path mount = m_dir / "small";
    if (!MountTmpfs(mount, "size=64k")) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    Fill(mount, 12 * 1024);  // room for two or three of the help pages
    const std::string env = "QUORIX_DEVICE_ROOT='" + (mount / "device").string() + "'";
    const fs::path help = fs::path(QUORIX_SOURCE_DIR) / "resources" / "help";

    ProgramRun first = Quorix(env, "--setup");
    EXPECT_EQ(first.status, 1) << first.err;
    int written = 0;
    for (const auto& entry : fs::directory_iterator(help)) {
        fs::path copy = mount / "device" / "Windows" / entry.path().filename();
        if (!fs::exists(copy)) continue;
        ++written;
        EXPECT_EQ(ReadAll(copy), ReadAll(entry.path())) << copy << " is not whole";
    }
    for (const auto& entry : fs::recursive_directory_iterator(mount / "device")) {
        EXPECT_EQ(entry.path().string().find(".new"), std::string::npos) << "left behind: " << entry.path();
    }

    EXPECT_GT(written, 0) << "the device was full before the first page: the half-way case was not reached";

    fs::remove(mount / "filler");
    ProgramRun second = Quorix(env, "--setup");
    EXPECT_EQ(second.status, 0) << second.err;
    for (const auto& entry : fs::directory_iterator(help)) {
        EXPECT_EQ(ReadAll(mount / "device" / "Windows" / entry.path().filename()), ReadAll(entry.path()));
    }
}

TEST_F(FaultTest, AnUnusableRuntimeFolderDoesNotStopTheHeadlessCalculator)
{
    std::ofstream(m_dir / "file") << "x";
    const std::string runtimes[] = {"/proc/self/quorix-run", (m_dir / "file").string(), "relative/run", ""};
    for (const std::string& runtime : runtimes) {
        ProgramRun run = Quorix("XDG_RUNTIME_DIR='" + runtime + "' QUORIX_DEVICE_ROOT='" + (m_dir / "device").string() + "'",
                         "--headless --keys '1 2 + 3 ='");
        EXPECT_EQ(run.status, 0) << runtime << ": " << run.err;
        EXPECT_EQ(run.out, "15.\n") << runtime;
    }
}

// No font at all: the calculator still answers and draws its face, and says once why no text shows.
TEST_F(FaultTest, WithoutAnyFontTheProgramGoesOnAndSaysSo)
{
    fs::create_directory(m_dir / "nofonts");
    std::ofstream(m_dir / "fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig><dir>" << (m_dir / "nofonts").string()
                                        << "</dir><cachedir>" << (m_dir / "fccache").string() << "</cachedir></fontconfig>\n";
    const std::string shot = (m_dir / "shot.png").string();
    ProgramRun run = Quorix("FONTCONFIG_FILE='" + (m_dir / "fonts.conf").string() + "' QUORIX_DEVICE_ROOT='" +
                         (m_dir / "device").string() + "'",
                     "--headless --keys '1 2 + 3 =' --screenshot '" + shot + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "15.\n");
    EXPECT_NE(run.err.find("no font found"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line expected: " << run.err;
    EXPECT_GT(fs::file_size(shot), 0u);
}

// FreeType and libpng are loaded when needed: a start whose glyphs an earlier run stored maps
// neither; a store whose header no longer holds (its FreeType file changed) renders again.
TEST_F(FaultTest, AStartWithStoredGlyphsLoadsNeitherFreeTypeNorLibpng)
{
    const fs::path store = m_dir / "cache" / "quorix" / "glyphs.cache";
    const std::string env = "LD_DEBUG=files XDG_CACHE_HOME='" + (m_dir / "cache").string() + "' QUORIX_DEVICE_ROOT='" +
                            (m_dir / "device").string() + "'";
    const std::string keys = "--headless --keys '1 2 + 3 ='";
    // The loader says "calling init: <path>" for a library it maps, and "file=" even for a look.
    auto loads = [](const ProgramRun& run, const std::string& library) {
        std::istringstream lines(run.err);
        for (std::string line; std::getline(lines, line);) {
            if (line.find("calling init: ") != std::string::npos && line.size() > library.size() &&
                line.compare(line.size() - library.size() - 1, library.size() + 1, "/" + library) == 0) {
                return true;
            }
        }
        return false;
    };
    ProgramRun first = Quorix(env, keys);
    ASSERT_EQ(first.out, "15.\n") << first.err;
    EXPECT_TRUE(loads(first, "libfreetype.so.6")) << "the first run renders its glyphs";
    ProgramRun second = Quorix(env, keys);
    EXPECT_EQ(second.out, "15.\n");
    EXPECT_FALSE(loads(second, "libfreetype.so.6"));
    EXPECT_FALSE(loads(second, "libpng16.so.16"));
    ProgramRun shot = Quorix(env, keys + " --screenshot '" + (m_dir / "shot.png").string() + "'");
    EXPECT_TRUE(loads(shot, "libpng16.so.16"));
    EXPECT_GT(fs::file_size(m_dir / "shot.png"), 0u);
    // The FreeType file's stamp in the header, changed by one digit.
    std::stringstream text;
    text << std::ifstream(store, std::ios::binary).rdbuf();
    std::string bytes = text.str();
    std::size_t end = bytes.find("\nend\n");
    ASSERT_NE(end, std::string::npos);
    bytes[end - 1] = bytes[end - 1] == '0' ? '1' : '0';
    std::ofstream(store, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_TRUE(loads(Quorix(env, keys), "libfreetype.so.6")) << "a header that no longer holds is not trusted";
}

// A FIFO, or a folder, where the program expects one of its files: it is refused at once, never
// waited on. --setup puts a real page where a help page was a FIFO.
TEST_F(FaultTest, AFifoInPlaceOfAFileIsRefusedNotWaitedOn)
{
    const fs::path device = m_dir / "device";
    const std::string env = "QUORIX_DEVICE_ROOT='" + device.string() + "' XDG_CACHE_HOME='" + (m_dir / "cache").string() + "'";
    fs::create_directories(device / "Windows");
    fs::create_directories(m_dir / "cache" / "quorix");
    struct Case {
        fs::path fifo;
        const char* args;
        int status;
        const char* out;
    } cases[] = {
        {device / "registry.dat", "--setup", 1, ""},
        {device / "Windows" / "quorix_use.htp", "--setup", 0, ""},
        {m_dir / "cache" / "quorix" / "fonts.cache", "--headless --keys '1 2 + 3 ='", 0, "15.\n"},
        {m_dir / "cache" / "quorix" / "glyphs.cache", "--headless --keys '1 2 + 3 ='", 0, "15.\n"},
    };
    for (const Case& c : cases) {
        fs::remove(c.fifo);
        ASSERT_EQ(mkfifo(c.fifo.c_str(), 0600), 0) << c.fifo;
        ProgramRun run = Quorix(env, c.args);
        EXPECT_EQ(run.status, c.status) << c.fifo << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.fifo;
        fs::remove(c.fifo);
    }
    fs::remove(device / "registry.dat");
    fs::create_directory(device / "registry.dat");
    EXPECT_EQ(Quorix(env, "--setup").status, 1) << "a folder as the registry file";
    fs::remove(device / "registry.dat");
    ProgramRun setup = Quorix(env, "--setup");
    EXPECT_EQ(setup.status, 0) << setup.err;
    EXPECT_TRUE(fs::is_regular_file(device / "Windows" / "quorix_use.htp"));
}

// Headless copies waiting for commands, run as processes with their own runtime folder and
// device root, and quorix-send to reach them.
class HeadlessCopies {
public:
    HeadlessCopies(const fs::path& runtime, const fs::path& device)
    {
        m_env = {"XDG_RUNTIME_DIR=" + runtime.string(), "QUORIX_DEVICE_ROOT=" + device.string()};
        for (char** e = environ; *e; ++e) {
            if (std::strncmp(*e, "XDG_RUNTIME_DIR=", 16) != 0 && std::strncmp(*e, "QUORIX_DEVICE_ROOT=", 19) != 0) {
                m_env.push_back(*e);
            }
        }
        for (std::string& e : m_env) m_envp.push_back(e.data());
        m_envp.push_back(nullptr);
    }
    static fs::path SendTool() { return fs::path(QUORIX_BINARY).parent_path() / "quorix-send"; }

    pid_t Spawn(const std::string& program, std::vector<std::string> args)
    {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), m_envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }
    // Its wait status, or -1 when it is still running after `seconds` (then it is killed).
    static int WaitFor(pid_t pid, int seconds)
    {
        for (int i = 0; i < seconds * 20; ++i) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) return status;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }
    int Send(const std::string& command) { return WaitFor(Spawn(SendTool().string(), {command}), 10); }
    // A headless copy that answers quorix-send, or -1.
    pid_t StartAnswering()
    {
        pid_t program = Spawn(QUORIX_BINARY, {"--headless"});
        for (int i = 0; i < 100 && program > 0; ++i) {
            if (Send("1019") == 0) return program;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }

private:
    std::vector<std::string> m_env;
    std::vector<char*> m_envp;
};

// A running program told to uninstall while its registry file is a FIFO stays alive and
// answers: `quorix-send exit` then really ends it.
TEST_F(FaultTest, UninstallWithAFifoRegistryLeavesTheProgramAnswering)
{
    if (!fs::exists(HeadlessCopies::SendTool())) GTEST_SKIP() << "quorix-send is not built";
    const fs::path device = m_dir / "device";
    fs::create_directories(device);
    ASSERT_EQ(mkfifo((device / "registry.dat").c_str(), 0600), 0);
    HeadlessCopies copies(m_dir / "run", device);
    pid_t program = copies.StartAnswering();
    ASSERT_GT(program, 0) << "the headless program never answered";
    EXPECT_EQ(copies.Send("uninstall"), 0);
    EXPECT_EQ(copies.Send("exit"), 0);
    EXPECT_EQ(HeadlessCopies::WaitFor(program, 10), 0) << "the program did not end after quorix-send exit";
}

// The usual signals end a copy that has published its window as closing it would: the window is
// withdrawn and its socket removed; the status tells the signal (128 + its number).
TEST_F(FaultTest, SignalsEndAPublishedCopyCleanly)
{
    if (!fs::exists(HeadlessCopies::SendTool())) GTEST_SKIP() << "quorix-send is not built";
    HeadlessCopies copies(m_dir / "run", m_dir / "device");
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        pid_t program = copies.StartAnswering();
        ASSERT_GT(program, 0) << "the headless program never answered";
        kill(program, signal);
        int status = HeadlessCopies::WaitFor(program, 10);
        EXPECT_TRUE(status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal)
            << "signal " << signal << ": wait status " << status;
        for (const auto& entry : fs::recursive_directory_iterator(m_dir / "run")) {
            EXPECT_NE(entry.path().extension(), ".sock") << "signal " << signal << " left " << entry.path();
        }
    }
}

// A root the host cannot make (too long, or a name too long on the way): --setup fails, and takes
// away the folders it made on the way (only those: a folder that was there before stays).
TEST_F(FaultTest, ARootThatCannotBeMadeLeavesNoFolderBehind)
{
    std::string deep;
    for (int i = 0; i < 600; ++i) deep += "/abcdefgh";
    const std::string longName = "/made/" + std::string(300, 'n') + "/device";
    fs::create_directory(m_dir / "there");
    for (const std::string& root : {(m_dir / "new").string() + deep, (m_dir / "there").string() + deep,
                                    (m_dir / "new").string() + longName, (m_dir / "there").string() + longName}) {
        ProgramRun setup = Quorix("QUORIX_DEVICE_ROOT='" + root + "'", "--setup");
        EXPECT_EQ(setup.status, 1) << root.substr(0, 80);
        EXPECT_EQ(setup.err, "quorix: could not install the help files or the registry key\n");
    }
    EXPECT_FALSE(fs::exists(m_dir / "new"));
    EXPECT_TRUE(fs::is_directory(m_dir / "there"));
    EXPECT_TRUE(fs::is_empty(m_dir / "there"));
}

}  // namespace
