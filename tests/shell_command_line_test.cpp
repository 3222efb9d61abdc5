// The program's command line outside the headless driver: bad window scales and options are
// refused with status 2 before any window is tried, --setup installs the device files, and
// without a display the program says how to run headless and ends with 1.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include "tests/host_scratch.h"
#include "tests/program_run.h"

namespace {

struct Outcome {
    int status;
    std::string err;
};

// Runs the program without a display (its standard error is captured, its output dropped).
Outcome Quorix(const std::string& args)
{
    ProgramRun run = RunPiped(std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER '") + QUORIX_BINARY +
                              "' " + args + " 2>&1 >/dev/null");
    return Outcome{run.status, run.out};
}

}  // namespace

TEST(CommandLine, BadOptionsAreRefusedBeforeAnyWindowIsTried)
{
    struct Case {
        const char* args;
        const char* says;
    };
    const Case cases[] = {
        {"--scale 0", "--scale"},  {"--scale 17", "--scale"}, {"--scale 2x", "--scale"},
        {"--scale ''", "--scale"}, {"--scale", "--scale"},     {"--scale -3", "--scale"},
        {"--bogus", "unknown option"}, {"--setup extra", "unknown option"}, {"--scale 2 3", "--scale"},
        {"--help --bogus", "--help"}, {"-h 1", "-h"}, {"--version extra", "--version"},
        {"--headless --keys 1 --keys 2", "once"}, {"--headless --taps 1 --keys 2", "once"},
        {"--headless --taps 1 --taps 1", "once"}, {"--headless --keys 1 --screenshot ''", "--screenshot"},
    };
    for (const Case& c : cases) {
        Outcome r = Quorix(c.args);
        EXPECT_EQ(r.status, 2) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
    }
}

// One reading of --scale for both modes: the window run (without a display) gets past the
// option to its "no display" end exactly when the headless run accepts the number.
TEST(CommandLine, ScaleIsReadTheSameWayInBothModes)
{
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"1", true},   {"16", true},  {"016", true}, {"0000000000000000000000000007", true},
        {"0", false},  {"17", false}, {"+3", false}, {"' 3'", false}, {"3.0", false},
        {"-1", false}, {"''", false}, {"99999999999999999999999", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Quorix(std::string("--scale ") + c.text).status, c.valid ? 1 : 2) << "window, " << c.text;
        EXPECT_EQ(Quorix(std::string("--headless --scale ") + c.text + " --keys 1").status, c.valid ? 0 : 2)
            << "headless, " << c.text;
    }
}

TEST(CommandLine, WithoutADisplayOneLineShowsTheHeadlessWay)
{
    for (const char* args : {"", "--scale 3"}) {
        Outcome r = Quorix(args);
        EXPECT_EQ(r.status, 1) << "'" << args << "'";
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
        EXPECT_NE(r.err.find("quorix --headless --keys"), std::string::npos) << r.err;
    }
}

TEST(CommandLine, SetupInstallsTheHelpFilesAndRunsAgainHarmlessly)
{
    HostScratch scratch;
    for (int round = 0; round < 2; ++round) {
        Outcome r = Quorix("--setup");
        EXPECT_EQ(r.status, 0) << r.err;
        int helpFiles = 0;
        std::error_code ec;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch.DeviceRootPath(), ec)) {
            std::string name = entry.path().filename().string();
            helpFiles += name.rfind("quorix", 0) == 0 && (name.ends_with(".htp") || name.ends_with(".htc"));
        }
        EXPECT_EQ(helpFiles, 7) << "round " << round;
    }
}

// What the user typed is echoed with its control bytes escaped and, when huge, shortened: a
// message never drives the terminal and stays a line.
TEST(CommandLine, EchoedTokensAndOptionsAreEscapedAndShortened)
{
    struct Case {
        const char* args;
        const char* shows;
    };
    const Case cases[] = {
        {"--headless --keys $'1 \\x1b[2J\\x07X'", "\\x1B[2J\\x07X"},
        {"--headless --keys $'\\xc2\\x9b31m'", "\\xC2\\x9B31m"},  // a C1 control in UTF-8
        {"--headless --keys $'\\xff\\xfe'", "\\xFF\\xFE"},        // not UTF-8
        {"--headless --keys $'三角\\x01'", "三角\\x01"},               // Japanese stays readable
        {"$'--bo\\x1bgus'", "--bo\\x1Bgus"},
        {"--headless $'--sc\\x1bale' 2", "--sc\\x1Bale"},
        {"--headless --keys - < <(head -c 10000000 /dev/zero | tr '\\0' 'Z')", "10000000 bytes"},
    };
    for (const Case& c : cases) {
        ProgramRun run = RunPiped(std::string("bash -c \"exec '") + QUORIX_BINARY + "' " + c.args + " 2>&1 >/dev/null\"");
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_NE(run.out.find(c.shows), std::string::npos) << c.args << ": " << run.out.substr(0, 300);
        EXPECT_LT(run.out.size(), 300u) << c.args;
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << c.args << ": one line";
        for (unsigned char ch : run.out) {
            EXPECT_FALSE(ch < 0x20 && ch != '\n') << c.args << ": control byte " << int(ch);
        }
    }
}
