// Private socket folder, peer credentials and packet transfer for the window publishing.
#include "platform/publish/channel.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include "platform/kernel/host_dirs.h"
#include "platform/publish/protocol.h"

namespace {

// Room left in a socket name for "/<pid>-<n>.sock" and its terminator.
constexpr std::size_t kSocketNameRoom = sizeof(sockaddr_un{}.sun_path) - 32;

void SetTimeout(int fd, int option, int timeoutMs)
{
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, option, &tv, sizeof tv);
}

}  // namespace

std::string PublishDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        std::string path = JoinPath(runtime, ProgramName());
        if (path.size() <= kSocketNameRoom) return path;
    }
    return "/tmp/" + std::string(ProgramName()) + "-" + std::to_string(geteuid());
}

bool IsPrivateDirectory(const std::string& path, uid_t uid)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid && (st.st_mode & 077) == 0;
}

bool MakePrivateDirectory(const std::string& path, uid_t uid)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return IsPrivateDirectory(path, uid);
}

bool PeerRunsAs(int fd, uid_t uid, pid_t* pid)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof credentials) return false;
    if (pid) *pid = credentials.pid;
    return credentials.uid == uid;
}

int ConnectPublished(const std::string& socketPath, int timeoutMs, int* error)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        *error = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    SetTimeout(fd, SO_SNDTIMEO, timeoutMs);  // also bounds connect() when the backlog is full
    SetTimeout(fd, SO_RCVTIMEO, timeoutMs);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        *error = errno;
        close(fd);
        return -1;
    }
    return fd;
}

bool SendPacket(int fd, const std::vector<std::uint8_t>& packet)
{
    ssize_t sent;
    do {
        sent = send(fd, packet.data(), packet.size(), MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(packet.size());
}

bool ReceivePacket(int fd, int timeoutMs, int wakeFd, std::vector<std::uint8_t>* packet)
{
    pollfd waits[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    int ready;
    do {
        ready = poll(waits, wakeFd >= 0 ? 2 : 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0 || (wakeFd >= 0 && waits[1].revents)) return false;
    packet->resize(kPublishPacketCap + 1);  // one byte more: a longer packet shows as too long
    ssize_t got;
    do {
        got = recv(fd, packet->data(), packet->size(), MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got <= 0 || static_cast<std::size_t>(got) > kPublishPacketCap) return false;
    packet->resize(static_cast<std::size_t>(got));
    return true;
}
