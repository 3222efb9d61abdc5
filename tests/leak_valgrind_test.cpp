// The real program under valgrind's memcheck: a headless run of 1,000 random keys (and one of taps
// that ends with a screenshot) must show no memory error and lose nothing. What fontconfig and
// FreeType keep cached until exit shows as "still reachable", which is no leak and not counted.
// Skipped where valgrind is missing and in the sanitizer build (the two do not mix).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include "tests/program_run.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitizerBuild = true;
#else
constexpr bool kSanitizerBuild = false;
#endif
#else
constexpr bool kSanitizerBuild = false;
#endif

const char* const kTokens[] = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F",
    "+", "-", "*", "/", "=", ".", "C/CE", "BS", "+/-", "MOD", "AND", "OR", "XOR", "NOT",
    "pi", "sqrt", "x^2", "x^y", "10^x", "n!", "EXP", "log", "ln", "sin", "cos", "tan",
    "sinh", "cosh", "tanh", "asin", "acos", "atan", "HEX", "DEC", "BIN", "RAD/DEG", "TRIG",
    "RC", "RM", "M+", "M-",
};

std::string RandomTokens(int count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kTokens) - 1);
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += kTokens[pick(random)];
        text += i % 20 == 19 ? '\n' : ' ';
    }
    return text;
}

bool HaveValgrind()
{
    return std::system("command -v valgrind >/dev/null 2>&1") == 0;
}

struct MemcheckRun {
    const char* name;
    const char* mode;  // --keys or --taps
    int tokens;
    bool screenshot;
};

// Names the run in test listings instead of its bytes.
void PrintTo(const MemcheckRun& run, std::ostream* os)
{
    *os << run.name;
}

class ValgrindTest : public ::testing::TestWithParam<MemcheckRun> {};

TEST_P(ValgrindTest, NoMemoryErrorAndNothingLost)
{
    if (kSanitizerBuild) GTEST_SKIP() << "valgrind does not run sanitizer builds";
    if (!HaveValgrind()) GTEST_SKIP() << "valgrind is not installed";
    const MemcheckRun& run = GetParam();
    char folder[] = "/tmp/quorix-valgrind-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string dir = folder, keys = dir + "/keys.txt", out = dir + "/out.txt", log = dir + "/memcheck.log";
    std::ofstream(keys) << RandomTokens(run.tokens, 1207);

    std::string command = std::string("valgrind --leak-check=full --errors-for-leak-kinds=definite,indirect,possible") +
                          " --error-exitcode=1 --log-file=" + log + " " + QUORIX_BINARY + " --headless " + run.mode +
                          " -" + (run.screenshot ? " --screenshot " + dir + "/shot.png" : std::string()) + " < " +
                          keys + " > " + out;
    int status = std::system(command.c_str());
    const std::string report = ReadAll(log);
    ASSERT_TRUE(WIFEXITED(status)) << report;
    EXPECT_EQ(WEXITSTATUS(status), 0) << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
    EXPECT_EQ(report.find("definitely lost: "), report.find("definitely lost: 0 bytes")) << report;
    EXPECT_FALSE(ReadAll(out).empty());  // the program ran to its end and printed the display
    if (run.screenshot) EXPECT_FALSE(ReadAll(dir + "/shot.png").empty());
    std::system(("rm -rf " + dir).c_str());
}

INSTANTIATE_TEST_SUITE_P(Headless, ValgrindTest,
                         ::testing::Values(MemcheckRun{"Keys", "--keys", 1000, false},
                                           MemcheckRun{"TapsAndScreenshot", "--taps", 300, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
