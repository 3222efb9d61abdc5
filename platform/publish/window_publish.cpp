// Publishing top-level windows to other processes of the same user, and reaching theirs.
// A process that publishes listens on one socket, <pid>-<n>.sock in the private folder
// (offscreen-<pid>-<n>.sock for a headless process), served by a thread of its own that hands each request to the UI thread with PostMessage. Requests from
// another user, and malformed ones, are dropped without a reply. A socket whose process is gone
// (connection refused) is removed by whoever finds it. Knowingly lacks: keeping the listener
// across fork().
#include "platform/publish/window_publish.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include "platform/drivers/backend.h"
#include "platform/user/platform_messages.h"
#include "platform/user/remote_windows.h"
#include "platform/publish/channel.h"
#include "platform/publish/end_signals.h"
#include "platform/publish/protocol.h"
#include "platform/win_kernel.h"
#include "platform/win_user.h"
#include "platform/publish/window_publish_testing.h"

namespace {

constexpr int kRequestTimeoutMs = 1000;  // a client gets this long to send its request
constexpr int kReplyTimeoutMs = 3000;    // we wait this long for another process's reply
constexpr int kListenBacklog = 8;
constexpr int kNameAttempts = 64;        // socket names tried before giving up on publishing
constexpr std::uintptr_t kRemoteBit = std::uintptr_t(1) << 40;
constexpr int kTakeTimeoutMs = 1500;     // the UI thread gets this long to take a command (< kReplyTimeoutMs)
constexpr int kStartLockWaitMs = 3000;   // a start waits this long at most for another's window
constexpr const char kOffScreenPrefix[] = "offscreen-";

struct LocalWindow {
    HWND hwnd;
    std::u16string className;
    std::u16string title;
};

struct Listener {
    int socketFd = -1;
    int wakeFd = -1;
    int signalFd = -1;  // readable when an ending signal came
    std::string path;
    std::thread thread;
};

struct RemoteWindow {
    std::string socketPath;
    pid_t pid;
    std::uint64_t window;
};

std::mutex g_publishLock;
std::vector<LocalWindow> g_published;
Listener* g_listener = nullptr;  // leaked on purpose at exit: stopped by StopAtExit, never destroyed
bool g_atExitRegistered = false;

std::mutex g_remoteLock;
std::uintptr_t g_remoteCount = 0;

// Built on first use: a process may publish before every file's globals are constructed.
std::map<std::uintptr_t, RemoteWindow>& Remotes()
{
    static std::map<std::uintptr_t, RemoteWindow> remotes;
    return remotes;
}

int g_startLockFd = -1;  // UI thread: held between a search that found nothing and publishing

std::atomic<bool> g_listenerStopping{false};  // ends a wait for the UI thread to take a request

std::atomic<RemoteRequestHook> g_requestHook{nullptr};
std::atomic<long long> g_requiredUid{-1};

uid_t RequiredPeerUid()
{
    long long uid = g_requiredUid.load();
    return uid < 0 ? geteuid() : static_cast<uid_t>(uid);
}

std::u16string TextOrEmpty(LPCWSTR text)
{
    return text ? std::u16string(text).substr(0, kPublishNameCap) : std::u16string();
}

// ---- serving requests (listener thread) ----

PublishStatus Deliver(std::uint64_t window, UINT msg, WPARAM wParam)
{
    HWND local = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_publishLock);
        for (const LocalWindow& w : g_published) {
            if (reinterpret_cast<std::uintptr_t>(w.hwnd) == window) local = w.hwnd;
        }
    }
    if (!local) return PublishStatus::kNoWindow;
    RemoteRequestHook hook = g_requestHook.load();
    // Done only once the UI thread took it: a stuck program must not be reported as served.
    BOOL queued = hook ? hook(local, msg, wParam) : PostMessageTaken(local, msg, wParam, 0, kTakeTimeoutMs, &g_listenerStopping);
    return queued ? PublishStatus::kDone : PublishStatus::kNoWindow;
}

bool Answer(const PublishMessage& request, PublishMessage* reply)
{
    switch (request.kind) {
    case PublishKind::kIdentify: {
        reply->kind = PublishKind::kWindowList;
        std::lock_guard<std::mutex> lock(g_publishLock);
        for (const LocalWindow& w : g_published) {
            reply->windows.push_back({reinterpret_cast<std::uintptr_t>(w.hwnd), w.className, w.title});
        }
        return true;
    }
    case PublishKind::kRaise:
        reply->kind = PublishKind::kAck;
        reply->status = Deliver(request.window, WM_PLATFORM_RAISE, 0);
        return true;
    case PublishKind::kCommand:
        reply->kind = PublishKind::kAck;
        reply->status = Deliver(request.window, WM_COMMAND, request.command);
        return true;
    default:
        return false;  // replies are not requests
    }
}

void ServeConnection(int fd, int wakeFd)
{
    std::vector<std::uint8_t> packet;
    PublishMessage request, reply;
    if (!PeerRunsAs(fd, RequiredPeerUid(), nullptr)) return;
    if (!ReceivePacket(fd, kRequestTimeoutMs, wakeFd, &packet)) return;
    if (!DecodePublishMessage(packet.data(), packet.size(), &request)) return;
    if (Answer(request, &reply)) SendPacket(fd, EncodePublishMessage(reply));
}

void ServeLoop(Listener* listener)
{
    for (;;) {
        pollfd waits[3] = {{listener->socketFd, POLLIN, 0}, {listener->wakeFd, POLLIN, 0}, {listener->signalFd, POLLIN, 0}};
        if (poll(waits, listener->signalFd >= 0 ? 3 : 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (waits[1].revents) return;
        if (waits[2].revents) {
            OnEndSignalPipe(listener->signalFd);
            continue;
        }
        int fd = accept4(listener->socketFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ServeConnection(fd, listener->wakeFd);
        close(fd);
    }
}

// ---- the listening socket ----

bool BindTo(int fd, const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// A socket file nobody listens on any more: its process ended without removing it.
bool RemoveIfStale(const std::string& path)
{
    int error = 0;
    int fd = ConnectPublished(path, kReplyTimeoutMs, &error);
    if (fd >= 0) {
        close(fd);
        return false;
    }
    struct stat st;
    if (error != ECONNREFUSED || lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) return false;
    return unlink(path.c_str()) == 0;
}

// Binds under a private name and only then links the socket under its public name, so no
// finder ever sees a name that is not yet listening (and takes it for stale).
bool ListenPublicly(int fd, const std::string& folder, std::string* path)
{
    bool offScreen = CurrentScreenKind() == ScreenKind::kOffScreen;
    std::string prefix = folder + "/" + (offScreen ? kOffScreenPrefix : "") + std::to_string(getpid());
    std::string privateName = prefix + ".bind";
    unlink(privateName.c_str());
    if (!BindTo(fd, privateName) || listen(fd, kListenBacklog) != 0) return false;
    bool linked = false;
    for (int n = 0; n < kNameAttempts && !linked; ++n) {
        *path = prefix + "-" + std::to_string(n) + ".sock";
        linked = link(privateName.c_str(), path->c_str()) == 0 ||
                 (errno == EEXIST && RemoveIfStale(*path) && link(privateName.c_str(), path->c_str()) == 0);
    }
    unlink(privateName.c_str());
    return linked;
}

void StopListener(Listener* listener)
{
    g_listenerStopping = true;
    std::uint64_t one = 1;
    if (write(listener->wakeFd, &one, sizeof one) < 0) {
        // the eventfd cannot be full after one write; nothing else to do
    }
    if (listener->thread.joinable()) listener->thread.join();
    StopWatchingEndSignals();
    unlink(listener->path.c_str());
    close(listener->socketFd);
    close(listener->wakeFd);
    delete listener;
}

void StopAtExit()
{
    Listener* listener;
    {
        std::lock_guard<std::mutex> lock(g_publishLock);
        listener = g_listener;
        g_listener = nullptr;
    }
    if (listener) StopListener(listener);
}

// Called with g_publishLock held. Nothing is published when the folder is not private.
Listener* StartListener()
{
    std::string folder = PublishDirectory();
    if (!MakePrivateDirectory(folder, geteuid())) return nullptr;
    auto* listener = new Listener;
    listener->socketFd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    listener->wakeFd = eventfd(0, EFD_CLOEXEC);
    if (listener->socketFd < 0 || listener->wakeFd < 0 ||
        !ListenPublicly(listener->socketFd, folder, &listener->path)) {
        if (listener->socketFd >= 0) close(listener->socketFd);
        if (listener->wakeFd >= 0) close(listener->wakeFd);
        delete listener;
        return nullptr;
    }
    g_listenerStopping = false;
    listener->signalFd = WatchEndSignals();
    listener->thread = std::thread(ServeLoop, listener);
    if (!g_atExitRegistered) g_atExitRegistered = std::atexit(StopAtExit) == 0;
    return listener;
}

// ---- reaching other processes ----

// Sends one request and reads its reply. A refused connection means a stale socket: removed.
bool Ask(const std::string& socketPath, pid_t expectedPid, const PublishMessage& request, PublishKind replyKind,
         PublishMessage* reply, pid_t* peerPid)
{
    int error = 0;
    int fd = ConnectPublished(socketPath, kReplyTimeoutMs, &error);
    if (fd < 0) {
        if (error == ECONNREFUSED) RemoveIfStale(socketPath);
        return false;
    }
    std::vector<std::uint8_t> packet;
    pid_t pid = 0;
    bool ok = PeerRunsAs(fd, RequiredPeerUid(), &pid) && (expectedPid == 0 || pid == expectedPid) &&
              SendPacket(fd, EncodePublishMessage(request)) && ReceivePacket(fd, kReplyTimeoutMs, -1, &packet) &&
              DecodePublishMessage(packet.data(), packet.size(), reply) && reply->kind == replyKind;
    close(fd);
    if (ok && peerPid) *peerPid = pid;
    return ok;
}

// The sockets of the processes whose windows this one may find: desktop ones, then headless ones.
std::vector<std::string> PublishedSockets(const std::string& folder)
{
    std::vector<std::string> desktop, offScreen;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return desktop;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() <= 5 || name.compare(name.size() - 5, 5, ".sock") != 0) continue;
        (name.rfind(kOffScreenPrefix, 0) == 0 ? offScreen : desktop).push_back(folder + "/" + name);
    }
    closedir(dir);
    std::sort(desktop.begin(), desktop.end());
    std::sort(offScreen.begin(), offScreen.end());
    ScreenKind kind = CurrentScreenKind();
    if (kind == ScreenKind::kOffScreen) return offScreen;
    if (kind == ScreenKind::kNone) desktop.insert(desktop.end(), offScreen.begin(), offScreen.end());
    return desktop;
}

// Waits (a while at most) until no other start is between its search and its window, then holds
// the lock itself. Without the lock the search goes on all the same.
void TakeStartLock(const std::string& folder)
{
    if (g_startLockFd >= 0) return;
    int fd = open((folder + "/start.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return;
    for (int waited = 0; flock(fd, LOCK_EX | LOCK_NB) != 0; waited += 10) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= kStartLockWaitMs) {
            close(fd);
            return;
        }
        usleep(10 * 1000);
    }
    g_startLockFd = fd;
}

bool Matches(const std::u16string& published, LPCWSTR wanted)
{
    return !wanted || published == std::u16string_view(wanted).substr(0, kPublishNameCap);
}

HWND ProxyFor(const std::string& socketPath, pid_t pid, std::uint64_t window)
{
    std::lock_guard<std::mutex> lock(g_remoteLock);
    for (const auto& [handle, remote] : Remotes()) {
        if (remote.socketPath == socketPath && remote.pid == pid && remote.window == window) {
            return reinterpret_cast<HWND>(handle);
        }
    }
    std::uintptr_t handle = kRemoteBit | (++g_remoteCount << 2);
    Remotes().emplace(handle, RemoteWindow{socketPath, pid, window});
    return reinterpret_cast<HWND>(handle);
}

bool LookUpRemote(HWND hwnd, RemoteWindow* remote)
{
    std::lock_guard<std::mutex> lock(g_remoteLock);
    auto it = Remotes().find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == Remotes().end()) return false;
    *remote = it->second;
    return true;
}

bool AskToDeliver(HWND hwnd, const PublishMessage& request)
{
    RemoteWindow remote;
    PublishMessage reply;
    if (!LookUpRemote(hwnd, &remote)) return false;
    PublishMessage addressed = request;
    addressed.window = remote.window;
    return Ask(remote.socketPath, remote.pid, addressed, PublishKind::kAck, &reply, nullptr) &&
           reply.status == PublishStatus::kDone;
}

}  // namespace

void PublishWindow(HWND local, LPCWSTR className, LPCWSTR title)
{
    if (!local) return;
    std::lock_guard<std::mutex> lock(g_publishLock);
    auto it = std::find_if(g_published.begin(), g_published.end(), [&](const LocalWindow& w) { return w.hwnd == local; });
    if (it == g_published.end()) {
        g_published.push_back({local, TextOrEmpty(className), TextOrEmpty(title)});
    } else {
        it->className = TextOrEmpty(className);
        it->title = TextOrEmpty(title);
    }
    if (!g_listener) g_listener = StartListener();
    EndStartSearch();  // the window can be found now
}

void WithdrawWindow(HWND local)
{
    Listener* idle = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_publishLock);
        std::erase_if(g_published, [&](const LocalWindow& w) { return w.hwnd == local; });
        if (g_published.empty()) std::swap(idle, g_listener);
    }
    // Joined outside the lock: the listener thread takes it to look windows up.
    if (idle) StopListener(idle);
}

void WithdrawAllWindows()
{
    std::vector<HWND> windows;
    {
        std::lock_guard<std::mutex> lock(g_publishLock);
        for (const LocalWindow& w : g_published) windows.push_back(w.hwnd);
    }
    for (HWND hwnd : windows) WithdrawWindow(hwnd);
}

HWND FindRemoteWindow(LPCWSTR className, LPCWSTR title)
{
    std::string folder = PublishDirectory();
    // Made if missing: the first two starts of a session also need the lock inside it.
    if (!MakePrivateDirectory(folder, geteuid())) return nullptr;
    TakeStartLock(folder);
    PublishMessage identify;
    identify.kind = PublishKind::kIdentify;
    for (const std::string& path : PublishedSockets(folder)) {
        PublishMessage reply;
        pid_t pid = 0;
        if (!Ask(path, 0, identify, PublishKind::kWindowList, &reply, &pid) || pid == getpid()) continue;
        for (const PublishedEntry& entry : reply.windows) {
            if (!Matches(entry.className, className) || !Matches(entry.title, title)) continue;
            EndStartSearch();  // found: this process will not publish its own
            return ProxyFor(path, pid, entry.window);
        }
    }
    return nullptr;
}

void EndStartSearch()
{
    if (g_startLockFd < 0) return;
    close(g_startLockFd);  // closing the last descriptor lets the lock go
    g_startLockFd = -1;
}

bool IsRemoteWindow(HWND hwnd)
{
    if (!(reinterpret_cast<std::uintptr_t>(hwnd) & kRemoteBit)) return false;
    std::lock_guard<std::mutex> lock(g_remoteLock);
    return Remotes().count(reinterpret_cast<std::uintptr_t>(hwnd)) != 0;
}

BOOL RemoteSetForegroundWindow(HWND hwnd)
{
    PublishMessage request;
    request.kind = PublishKind::kRaise;
    if (AskToDeliver(hwnd, request)) return TRUE;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
}

LRESULT RemoteSendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_COMMAND || lParam != 0 || wParam > 0xFFFFFFFFu) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    PublishMessage request;
    request.kind = PublishKind::kCommand;
    request.command = static_cast<std::uint32_t>(wParam);
    SetLastError(AskToDeliver(hwnd, request) ? ERROR_SUCCESS : ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

void EnableCrossProcessWindows(bool enable)
{
    static const RemoteWindowOps kOps = {PublishWindow,  WithdrawWindow,            FindRemoteWindow, IsRemoteWindow,
                                         RemoteSetForegroundWindow, RemoteSendMessage, EndStartSearch};
    SetRemoteWindowOps(enable ? &kOps : nullptr);
}

void SetRemoteRequestHook(RemoteRequestHook hook)
{
    g_requestHook.store(hook);
}

void SetRequiredPeerUid(uid_t uid)
{
    g_requiredUid.store(static_cast<long long>(uid));
}
