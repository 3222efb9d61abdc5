// libfontconfig is loaded only when a font is not in the cache of an earlier run: a start from the
// cache works with the library unloadable (so it never touched it), and a start that needs it but
// cannot load it goes on without text and says why in one line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include "tests/program_run.h"

namespace {

namespace fs = std::filesystem;

class FontconfigLoadingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quorix-fcload-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        for (const char* d : {"run", "cache", "config", "device", "broken"}) fs::create_directory(m_dir / d);
        fs::permissions(m_dir / "run", fs::perms::owner_all);
        // Found first by the dynamic loader, and not a library at all.
        std::ofstream(m_dir / "broken" / "libfontconfig.so.1") << "not a shared object\n";
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    // A headless run of `1 2 + 3 =` that leaves its screen in `shot`; with `brokenLibrary`, the
    // only libfontconfig.so.1 the program can find is the broken one.
    ProgramRun Run(bool brokenLibrary, const std::string& shot)
    {
        std::string env = "env -u DISPLAY -u WAYLAND_DISPLAY -u FONTCONFIG_FILE XDG_RUNTIME_DIR='" +
                          (m_dir / "run").string() + "' XDG_CACHE_HOME='" + (m_dir / "cache").string() +
                          "' XDG_CONFIG_HOME='" + (m_dir / "config").string() + "' QUORIX_DEVICE_ROOT='" +
                          (m_dir / "device").string() + "'";
        if (brokenLibrary) env += " LD_LIBRARY_PATH='" + (m_dir / "broken").string() + "'";
        return RunCapturing(env + " timeout 30 '" + QUORIX_BINARY + "' --headless --keys '1 2 + 3 =' --screenshot '" +
                                shot + "'",
                            m_dir);
    }

    fs::path m_dir;
};

TEST_F(FontconfigLoadingTest, AStartFromTheFontCacheNeverLoadsTheLibrary)
{
    const std::string first = (m_dir / "first.png").string(), second = (m_dir / "second.png").string();
    ProgramRun filling = Run(false, first);
    ASSERT_EQ(filling.status, 0) << filling.err;
    ASSERT_EQ(filling.err, "") << "this machine has no usable font: nothing to compare";
    ASSERT_TRUE(fs::exists(m_dir / "cache" / "quorix" / "fonts.cache"));

    ProgramRun cached = Run(true, second);
    EXPECT_EQ(cached.status, 0) << cached.err;
    EXPECT_EQ(cached.out, "15.\n");
    EXPECT_EQ(cached.err, "");
    EXPECT_EQ(ReadAll(second), ReadAll(first)) << "the same face, text included";
}

TEST_F(FontconfigLoadingTest, WithoutTheLibraryTheProgramGoesOnAndSaysWhyOnce)
{
    const std::string shot = (m_dir / "shot.png").string();
    ProgramRun run = Run(true, shot);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "15.\n");
    EXPECT_NE(run.err.find("no font found"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("libfontconfig.so.1"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line expected: " << run.err;
    EXPECT_GT(fs::file_size(shot), 0u);

    // Nothing was found, so nothing was remembered: the next start looks again.
    ProgramRun again = Run(false, shot);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.err, "");
}

}  // namespace
