// quorix-send, run as a program: its usage, a missing program, and commands reaching the window.
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>
#include "host_scratch.h"
#include "publish_child.h"

extern char** environ;

namespace {

std::string SendTool()
{
    return (std::filesystem::path(QUORIX_BINARY).parent_path() / "quorix-send").string();
}

// Runs quorix-send with these arguments (output to /dev/null) and gives its exit code.
int RunSend(const std::vector<std::string>& arguments)
{
    std::string tool = SendTool();
    std::vector<char*> argv{tool.data()};
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    int error = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class QuorixSendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(SendTool())) GTEST_SKIP() << "quorix-send is not built";
    }
    HostScratch m_scratch;
};

TEST_F(QuorixSendTest, BadUsageEndsWithTwo)
{
    const std::vector<std::string> usages[] = {
        {}, {"bogus"}, {"0"}, {"65536"}, {"-1"}, {"4O008"}, {""}, {"exit", "about"}, {"EXIT"},
    };
    for (const auto& arguments : usages) {
        EXPECT_EQ(RunSend(arguments), 2) << (arguments.empty() ? "(none)" : arguments[0]);
    }
}

TEST_F(QuorixSendTest, NoRunningProgramEndsWithOne)
{
    EXPECT_EQ(RunSend({"about"}), 1);
    PublishChildOptions options;
    options.title = "Quorix V3.11";  // another window is not the program
    PublishChild other(options);
    ASSERT_TRUE(other.Ready());
    EXPECT_EQ(RunSend({"about"}), 1);
    EXPECT_EQ(other.NextLine(300), "");
}

TEST_F(QuorixSendTest, CommandsByNameAndNumberReachTheWindow)
{
    PublishChild running;
    ASSERT_TRUE(running.Ready());
    struct {
        const char* argument;
        const char* delivered;
    } cases[] = {
        {"uninstall", "command 40008"}, {"help", "command 40006"}, {"about", "command 40003"},
        {"exit", "command 40004"},      {"40008", "command 40008"}, {"1", "command 1"},
        {"65535", "command 65535"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunSend({c.argument}), 0) << c.argument;
        EXPECT_EQ(running.NextLine(), c.delivered);
    }
}

}  // namespace
