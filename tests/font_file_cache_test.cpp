// The font matches remembered between runs: a good entry answers without fontconfig, anything
// stale, changed or malformed sends the look-up back to fontconfig, and a cache that cannot be
// written costs nothing but the time.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include "platform/gdi/fonts/font_cache.h"
#include "platform/gdi/fonts/font_match.h"
#include "tests/host_scratch.h"

namespace {

namespace fs = std::filesystem;

class FontFileCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"}) m_scratch.Set(name, std::nullopt);
        m_scratch.Set("XDG_CONFIG_HOME", m_scratch.Path() + "/config");
        ForgetFontMatchesForTesting();
    }
    void TearDown() override { ForgetFontMatchesForTesting(); }

    std::string CacheFile() const { return m_scratch.Path() + "/cache/quorix/fonts.cache"; }

    // One look-up as a new process makes it; true when fontconfig was asked.
    bool AskedFontconfig(std::optional<FontFile>* found = nullptr)
    {
        ForgetFontMatchesForTesting();
        int before = FontconfigFaceMatchCount();
        std::optional<FontFile> f = MatchFontFile("", false);
        if (found) *found = f;
        return FontconfigFaceMatchCount() != before;
    }

    std::string ReadCache() const
    {
        std::ifstream in(CacheFile(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void WriteCache(const std::string& text) const
    {
        std::ofstream(CacheFile(), std::ios::binary | std::ios::trunc) << text;
    }

    HostScratch m_scratch;
};

// Replaces field `index` (tab separated) of the first line starting with `prefix`.
std::string WithField(const std::string& text, const std::string& prefix, std::size_t index, const std::string& value)
{
    std::istringstream in(text);
    std::string line, out;
    bool done = false;
    while (std::getline(in, line)) {
        if (!done && line.rfind(prefix, 0) == 0) {
            std::vector<std::string> fields;
            std::stringstream split(line);
            for (std::string f; std::getline(split, f, '\t');) fields.push_back(f);
            if (index < fields.size()) fields[index] = value;
            line.clear();
            for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "\t" : "") + fields[i];
            done = true;
        }
        out += line + "\n";
    }
    return out;
}

TEST_F(FontFileCacheTest, SecondStartTakesTheRememberedFileWithoutFontconfig)
{
    std::optional<FontFile> first, second;
    ASSERT_TRUE(AskedFontconfig(&first));
    if (!first) GTEST_SKIP() << "no fonts on this machine";
    ASSERT_TRUE(fs::exists(CacheFile()));
    EXPECT_FALSE(AskedFontconfig(&second));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->path, first->path);
    EXPECT_EQ(second->index, first->index);
    EXPECT_EQ(second->bold, first->bold);
    // Bold is its own entry: asked for the first time, it goes to fontconfig.
    ForgetFontMatchesForTesting();
    int before = FontconfigFaceMatchCount();
    MatchFontFile("", true);
    EXPECT_EQ(FontconfigFaceMatchCount(), before + 1);
}

// A remembered file that has changed since (another time, another size, gone) is not used.
TEST_F(FontFileCacheTest, ChangedFontFileIsLookedUpAgain)
{
    std::optional<FontFile> real;
    ASSERT_TRUE(AskedFontconfig(&real));
    if (!real) GTEST_SKIP() << "no fonts on this machine";
    // A copy of the font stands in for it, so that the test can change the file.
    std::string copy = m_scratch.Path() + "/copy.ttf";
    fs::copy_file(real->path, copy);
    struct stat st;
    ASSERT_EQ(stat(copy.c_str(), &st), 0);
    long long mtime = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    std::string good = WithField(WithField(WithField(ReadCache(), "font\t\t0", 3, copy), "font\t\t0", 6,
                                           std::to_string(st.st_size)),
                                 "font\t\t0", 7, std::to_string(mtime));
    WriteCache(good);
    std::optional<FontFile> found;
    EXPECT_FALSE(AskedFontconfig(&found));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, copy);

    timespec times[2] = {{0, UTIME_OMIT}, {st.st_mtim.tv_sec - 100, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
    EXPECT_TRUE(AskedFontconfig(&found));
    EXPECT_EQ(found->path, real->path);

    WriteCache(good);
    fs::remove(copy);
    EXPECT_TRUE(AskedFontconfig(&found));
    EXPECT_EQ(found->path, real->path);
}

// A remembered file that is no longer a font, though its size and time are still the recorded
// ones (rewritten in place with its time put back, a bad sector): the face is checked when it is
// opened, the entry goes and fontconfig's own choice draws the text, now and in later runs.
TEST_F(FontFileCacheTest, RememberedFileThatIsNoFontGivesWayToFontconfig)
{
    std::optional<FontFile> real;
    ASSERT_TRUE(AskedFontconfig(&real));
    if (!real) GTEST_SKIP() << "no fonts on this machine";
    std::string bogus = m_scratch.Path() + "/not-a-font.ttf";
    std::ofstream(bogus, std::ios::binary) << std::string(4096, 'x');
    struct stat st;
    ASSERT_EQ(stat(bogus.c_str(), &st), 0);
    long long mtime = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    WriteCache(WithField(WithField(WithField(ReadCache(), "font\t\t0", 3, bogus), "font\t\t0", 6,
                                   std::to_string(st.st_size)),
                         "font\t\t0", 7, std::to_string(mtime)));
    ForgetFontMatchesForTesting();

    LOGFONT lf = {};
    lf.lfHeight = -29;
    lf.lfWeight = 123;  // a description no other test realises, so the font is built here
    std::shared_ptr<const RealizedFont> font = RealizeFont(lf);
    ASSERT_NE(font->impl, nullptr) << "no face: every caption would be blank";
    EXPECT_GT(RenderGlyph(*font, U'8')->width, 0);
    EXPECT_EQ(ReadCache().find(bogus), std::string::npos) << "the bad entry is still remembered";
    std::optional<FontFile> found;
    EXPECT_FALSE(AskedFontconfig(&found)) << "fontconfig's choice is remembered in its place";
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, real->path);
}

// A font configuration that changed after the cache was written makes every entry stale.
TEST_F(FontFileCacheTest, ChangedConfigurationIsLookedUpAgain)
{
    std::optional<FontFile> real;
    ASSERT_TRUE(AskedFontconfig(&real));
    if (!real) GTEST_SKIP() << "no fonts on this machine";
    fs::create_directories(m_scratch.Path() + "/config/fontconfig");
    std::ofstream(m_scratch.Path() + "/config/fontconfig/fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig/>\n";
    EXPECT_TRUE(AskedFontconfig());
    EXPECT_FALSE(AskedFontconfig()) << "rewritten under the new configuration";
}

TEST_F(FontFileCacheTest, OwnFontconfigFileBypassesTheCache)
{
    std::optional<FontFile> real;
    ASSERT_TRUE(AskedFontconfig(&real));
    if (!real) GTEST_SKIP() << "no fonts on this machine";
    std::string before = ReadCache();
    m_scratch.Set("FONTCONFIG_FILE", "/etc/fonts/fonts.conf");
    EXPECT_TRUE(AskedFontconfig());
    EXPECT_TRUE(AskedFontconfig());
    EXPECT_EQ(ReadCache(), before);
}

// Whatever the file holds, the look-up answers, through fontconfig, and the file is made good.
TEST_F(FontFileCacheTest, MalformedCacheIsIgnoredAndRewritten)
{
    std::optional<FontFile> real;
    ASSERT_TRUE(AskedFontconfig(&real));
    if (!real) GTEST_SKIP() << "no fonts on this machine";
    const std::string good = ReadCache();
    const std::string garbage[] = {
        "",
        std::string("\0\xff\xfe garbage\n", 12),
        "quorix-fonts 2\n" + good.substr(good.find('\n') + 1),
        good.substr(0, good.size() / 2),
        good + "surprise\tline\n",
        WithField(good, "font", 4, "-1"),
        WithField(good, "font", 4, "99999999999999999999999"),
        WithField(good, "font", 6, "12x"),
        WithField(good, "font", 3, "relative/path.ttf"),
        WithField(good, "font", 2, "2"),
        WithField(good, "config", 2, "not-a-number"),
        WithField(good, "config", 1, "/elsewhere"),
        good + "font\tonly\tfour\tfields\n",
        std::string(70000, 'x'),
    };
    for (std::size_t i = 0; i < std::size(garbage); ++i) {
        WriteCache(garbage[i]);
        std::optional<FontFile> found;
        EXPECT_TRUE(AskedFontconfig(&found)) << "case " << i;
        ASSERT_TRUE(found) << "case " << i;
        EXPECT_EQ(found->path, real->path) << "case " << i;
        EXPECT_FALSE(AskedFontconfig()) << "case " << i << ": not rewritten";
    }
}

TEST_F(FontFileCacheTest, UnwritableCacheFolderStillFindsTheFont)
{
    std::string blocker = m_scratch.Path() + "/blocker";
    std::ofstream(blocker) << "a file where the cache folder would go";
    m_scratch.Set("XDG_CACHE_HOME", blocker);
    std::optional<FontFile> first, second;
    AskedFontconfig(&first);
    if (!first) GTEST_SKIP() << "no fonts on this machine";
    EXPECT_TRUE(AskedFontconfig(&second));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->path, first->path);
}

}  // namespace
