// The usual ending signals turned into a close of the program (see end_signals.h).
#include "platform/publish/end_signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include "platform/user/input.h"
#include "platform/user/platform_messages.h"
#include "platform/win_user.h"

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
constexpr int kEndSignalCount = sizeof kEndSignals / sizeof kEndSignals[0];

volatile sig_atomic_t g_pipeWrite = -1;
int g_pipeRead = -1;
struct sigaction g_previous[kEndSignalCount];
std::atomic<int> g_endingSignal{0};

// Async-signal-safe: one write of one byte, errno kept.
void OnEndSignal(int signal)
{
    int saved = errno;
    unsigned char number = static_cast<unsigned char>(signal);
    if (write(g_pipeWrite, &number, 1) < 0) {
        // a full pipe already holds a signal to act on
    }
    errno = saved;
}

}  // namespace

int WatchEndSignals()
{
    if (g_pipeRead >= 0) return g_pipeRead;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    g_pipeRead = ends[0];
    g_pipeWrite = ends[1];
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    action.sa_flags = SA_RESETHAND | SA_RESTART;  // a second one ends the process as usual
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kEndSignalCount; ++i) sigaction(kEndSignals[i], &action, &g_previous[i]);
    return g_pipeRead;
}

void StopWatchingEndSignals()
{
    if (g_pipeRead < 0) return;
    for (int i = 0; i < kEndSignalCount; ++i) sigaction(kEndSignals[i], &g_previous[i], nullptr);
    close(g_pipeWrite);
    close(g_pipeRead);
    g_pipeWrite = -1;
    g_pipeRead = -1;
}

void OnEndSignalPipe(int fd)
{
    unsigned char number = 0;
    if (read(fd, &number, 1) != 1) return;
    int expected = 0;
    if (g_endingSignal.compare_exchange_strong(expected, number)) {
        PostMessage(nullptr, WM_PLATFORM_CLOSE_PROGRAM, number, 0);
    }
}

int EndingSignal()
{
    return g_endingSignal.load();
}
