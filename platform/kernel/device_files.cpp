// Files of the device: DeleteFile, CreateDirectory and whole-file reads and writes. A symbolic
// link in the last place of a path is never followed when writing, and is deleted, not its target.
#include "platform/kernel/device_files.h"
#include "platform/kernel/host_dirs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/kernel/device_paths.h"
#include "platform/kernel/host_errors.h"

namespace {

constexpr std::size_t kCompareChunk = 16384;

// Win32 tells a missing file from a missing folder on the way to it.
DWORD MissingError(const std::string& hostPath)
{
    std::string folder = hostPath.substr(0, hostPath.rfind('/'));
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
    return ERROR_FILE_NOT_FOUND;
}

bool SameContent(int fd, const unsigned char* data, std::size_t size)
{
    unsigned char chunk[kCompareChunk];
    std::size_t offset = 0;
    for (;;) {
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return offset == size;
        std::size_t n = static_cast<std::size_t>(got);
        if (n > size - offset || std::memcmp(chunk, data + offset, n) != 0) return false;
        offset += n;
    }
}

}  // namespace

BOOL DeleteFile(LPCWSTR path)
{
    std::string host;
    if (!MapDevicePath(path, &host)) return FALSE;
    struct stat st;
    if (lstat(host.c_str(), &st) != 0) return FailWith(errno == ENOENT ? MissingError(host) : Win32ErrorFromErrno(errno));
    if (S_ISDIR(st.st_mode)) return FailWith(ERROR_ACCESS_DENIED);
    if (unlink(host.c_str()) != 0) return FailWithErrno();
    return TRUE;
}

BOOL CreateDirectory(LPCWSTR path, SECURITY_ATTRIBUTES*)
{
    std::string host;
    if (!MapDevicePath(path, &host)) return FALSE;
    if (mkdir(host.c_str(), 0755) != 0) {
        return FailWith(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(errno));
    }
    return TRUE;
}

bool DeviceFileHolds(LPCWSTR devicePath, const void* data, std::size_t size)
{
    std::string host;
    if (!data || !MapDevicePath(devicePath, &host)) return false;
    int fd = OpenRegularFile(host, O_NOFOLLOW);
    if (fd < 0) return false;
    bool same = SameContent(fd, static_cast<const unsigned char*>(data), size);
    close(fd);
    return same;
}

bool WriteDeviceFile(LPCWSTR devicePath, const void* data, std::size_t size)
{
    std::string host;
    if (!data) return FailWith(ERROR_INVALID_PARAMETER);
    if (!MapDevicePath(devicePath, &host)) return false;
    FileReplacement file(host, 0644);
    if (file.Fd() < 0) return FailWith(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(errno));
    if (file.Commit(WriteAll(file.Fd(), data, size))) return true;
    return FailWithErrno();
}
