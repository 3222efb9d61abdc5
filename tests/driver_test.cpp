// The headless driver as other tools use it: a process, its output and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <cstdio>
#include <string>
#include <vector>
#include "tests/program_run.h"

namespace {

// Runs the program with a shell command line after its name; standard error is dropped
// unless `withStderr`.
ProgramRun Quorix(const std::string& args, bool withStderr = false)
{
    return RunPiped(std::string("exec '") + QUORIX_BINARY + "' " + args + (withStderr ? " 2>&1" : " 2>/dev/null"));
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

TEST(Driver, PrintsTheNumberAsThePanelDrawsIt)
{
    struct Case {
        const char* keys;
        const char* shown;
    };
    const Case cases[] = {
        {"1 2 ＋ 3 ＝", "15.\n"},
        {"1 2 3 4 5 6 7 + 1 =", "1,234,568.\n"},
        {"１６進 F F", "FF\n"},
        {"HEX 7 F F F F F F F", "7FFF FFFF\n"},
        {"BIN 1 0 1 1 0 1 1 0 1", "1 01101101\n"},
        {"1019 1030", "0.\n"},
    };
    for (const Case& c : cases) {
        ProgramRun r = Quorix(std::string("--headless --keys '") + c.keys + "'");
        EXPECT_EQ(r.status, 0) << c.keys;
        EXPECT_EQ(r.out, c.shown) << c.keys;
    }
}

TEST(Driver, TraceHasAStartLineAndOneLinePerTokenWithFieldsInOrder)
{
    ProgramRun r = Quorix("--headless --trace --keys '5 BS BS'");
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("{\"key\":null,\"result\":null,\"display\":\"0.\",\"store\":\"0.\",\"modeFlags\":33,", 0), 0u)
        << lines[0];
    const char* fields[] = {"\"key\"", "\"result\"", "\"display\"", "\"store\"", "\"modeFlags\"",
                            "\"entryFlags\"", "\"pendingOp\"", "\"intAccum\"", "\"intMemory\"",
                            "\"realAccum\"", "\"realMemory\"", "\"panel\"", "\"number\"", "\"widthFactor\"",
                            "\"base\"", "\"angle\"", "\"memory\"", "\"visible\"", "\"checked\"",
                            "\"angleKeyCaption\""};
    for (const std::string& line : lines) {
        std::size_t at = 0;
        for (const char* f : fields) {
            std::size_t next = line.find(f, at);
            ASSERT_NE(next, std::string::npos) << f << " in " << line;
            at = next;
        }
    }
    // ←BS on the last digit ends the entry; a second one is refused.
    EXPECT_NE(lines[2].find("\"key\":1037,\"result\":1,\"display\":\"0\""), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("\"key\":1037,\"result\":0,"), std::string::npos) << lines[3];
    EXPECT_NE(lines[0].find("\"checked\":[1024],\"angleKeyCaption\":\"RAD\"}"), std::string::npos);
    EXPECT_NE(lines[0].find("\"realAccum\":\"0\",\"realMemory\":\"0\""), std::string::npos);
}

TEST(Driver, UnknownTokenRunsNothingAndExitsTwo)
{
    ProgramRun r = Quorix("--headless --keys '1 2 frobnicate 3'", true);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("frobnicate"), std::string::npos);
    EXPECT_EQ(r.out.find("12"), std::string::npos);
    EXPECT_EQ(Quorix("--headless --bogus").status, 2);
    for (const char* scale : {"0", "17", "3x", "", "-1"}) {
        EXPECT_EQ(Quorix(std::string("--headless --scale '") + scale + "' --keys 1").status, 2) << scale;
    }
}

TEST(Driver, ReadsTokensFromStandardInput)
{
    ProgramRun r = Quorix("--headless --keys - < '" QUORIX_SOURCE_DIR "/tests/data/power_keys.txt'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1,024.\n");
}

TEST(Driver, TapsPressKeysThroughTheScreen)
{
    ProgramRun r = Quorix("--headless --taps '1 2 ＋ 3 ＝'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "15.\n");
    // A hidden key's tap lands on whatever is visible there: in DEC, "A" sits under "10^x".
    ProgramRun hidden = Quorix("--headless --trace --taps '2 A'");
    std::vector<std::string> lines = Lines(hidden.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[2].find("\"display\":\"100.\""), std::string::npos) << lines[2];
}

// Output that cannot be written, and token input that cannot be read or never ends, are failures
// with a line on standard error, never status 0.
TEST(Driver, UnwritableOutputAndUnreadableInputAreFailures)
{
    struct Case {
        const char* args;  // redirections included; standard error goes to the pipe
        int status;
        const char* says;
    } cases[] = {
        {"--headless --keys 1 >/dev/full", 1, "cannot write"},
        {"--headless --trace --keys '1 2' >/dev/full", 1, "cannot write"},
        {"--help >/dev/full", 1, "cannot write"},
        {"--version >/dev/full", 1, "cannot write"},
        {"--version >&-", 1, "cannot write"},
        {"--headless --keys - <&-", 2, "standard input"},
        {"--headless --keys - </", 2, "standard input"},
        {"--headless --keys - </dev/zero", 2, "MiB"},
        {"--headless --keys - </dev/null", 0, "0.\n"},
    };
    for (const Case& c : cases) {
        ProgramRun r = RunPiped(std::string("exec timeout 60 '") + QUORIX_BINARY + "' 2>&1 " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.out.substr(0, 300);
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << ": " << r.out.substr(0, 300);
    }
}
