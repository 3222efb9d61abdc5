// The child side and the parent side of the cross-process test helper.
#include "publish_child.h"

#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include "platform/extras.h"
#include "platform/user/platform_messages.h"
#include "resources/resource_ids.h"
#include "platform/win_user.h"
#include "platform/publish/window_publish.h"
#include "platform/publish/window_publish_testing.h"

extern char** environ;

namespace {

const char kRoleVariable[] = "QUORIX_TEST_PUBLISH_CHILD";

void Report(const std::string& line)
{
    std::string text = line + "\n";
    if (write(STDOUT_FILENO, text.data(), text.size()) < 0) _exit(3);
}

BOOL ReportRequest(HWND, UINT msg, WPARAM wParam)
{
    if (msg == WM_COMMAND) Report("command " + std::to_string(wParam));
    else if (msg == WM_PLATFORM_RAISE) Report("raise");
    else Report("other " + std::to_string(msg));
    return TRUE;
}

std::u16string Wide(const char* text)
{
    std::u16string wide;
    for (const char* c = text; *c; ++c) wide += static_cast<char16_t>(static_cast<unsigned char>(*c));
    return wide;
}

// Runs before main when this program was started as the child, and never returns then.
int RunChildIfAsked()
{
    const char* role = std::getenv(kRoleVariable);
    if (!role) return 0;
    SetProgramName(PROGRAM_NAME);  // before the test environment names it: this runs first
    if (std::strcmp(role, "refuse") == 0) SetRequiredPeerUid(geteuid() + 1);
    SetRemoteRequestHook(ReportRequest);
    HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(kChildWindow));
    PublishWindow(window, Wide(std::getenv("QUORIX_TEST_CLASS")).c_str(), Wide(std::getenv("QUORIX_TEST_TITLE")).c_str());
    Report("ready");
    char buffer[64];
    while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    WithdrawWindow(window);
    _exit(0);
}

const int g_childRole = RunChildIfAsked();

}  // namespace

PublishChild::PublishChild(const PublishChildOptions& options)
{
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) return;
    std::vector<std::string> variables;
    for (char** e = environ; *e; ++e) variables.push_back(*e);
    variables.push_back(std::string(kRoleVariable) + "=" + (options.refuseOurUser ? "refuse" : "serve"));
    variables.push_back("QUORIX_TEST_CLASS=" + options.className);
    variables.push_back("QUORIX_TEST_TITLE=" + options.title);
    std::vector<char*> envp;
    for (std::string& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    char exe[] = "/proc/self/exe";
    char* argv[] = {exe, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    int error = posix_spawn(&m_pid, exe, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    m_input = toChild[1];
    m_output = fromChild[0];
    if (error != 0) {
        m_pid = -1;
        return;
    }
    m_ready = NextLine(10000) == "ready";
}

PublishChild::~PublishChild()
{
    if (m_input >= 0) close(m_input);
    if (m_pid > 0) {
        // A child that does not end on its own within a few seconds is ended.
        for (int i = 0; i < 300; ++i) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                break;
            }
            usleep(10000);
        }
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    if (m_output >= 0) close(m_output);
}

std::string PublishChild::NextLine(int timeoutMs)
{
    for (;;) {
        std::size_t end = m_pending.find('\n');
        if (end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return line;
        }
        pollfd wait{m_output, POLLIN, 0};
        if (m_output < 0 || poll(&wait, 1, timeoutMs) <= 0) return "";
        char buffer[256];
        ssize_t got = read(m_output, buffer, sizeof buffer);
        if (got <= 0) return "";
        m_pending.append(buffer, static_cast<std::size_t>(got));
    }
}

void PublishChild::Kill()
{
    if (m_pid <= 0) return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}
