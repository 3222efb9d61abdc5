// XDG folders, home folder and folder creation on the host; reading and replacing files there.
#include "platform/kernel/host_dirs.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

std::string HomeDirectory()
{
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
    long cap = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(cap > 0 ? static_cast<std::size_t>(cap) : 16384);
    passwd entry;
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return "/";
}

std::string XdgDirectory(const char* variable, const char* fallbackUnderHome)
{
    if (const char* value = std::getenv(variable); value && value[0] == '/') return value;
    return JoinPath(HomeDirectory(), fallbackUnderHome);
}

bool MakeDirectories(const std::string& path, mode_t mode)
{
    if (path.empty()) return false;
    if (path.size() >= PATH_MAX) {  // no folder could hold it: make none on the way
        errno = ENAMETOOLONG;
        return false;
    }
    std::vector<std::string> made;
    bool ok = true;
    for (std::size_t slash = path.find('/', 1); ok; slash = path.find('/', slash + 1)) {
        std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), mode) == 0) made.push_back(prefix);
        else ok = errno == EEXIST;
        if (slash == std::string::npos) break;
    }
    struct stat st;
    ok = ok && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (!ok) {
        // A failure takes away what this call made, and nothing that was there before.
        int error = errno;
        for (auto it = made.rbegin(); it != made.rend(); ++it) rmdir(it->c_str());
        errno = error;
    }
    return ok;
}

std::string JoinPath(const std::string& a, const std::string& b)
{
    if (!a.empty() && a.back() == '/') return a + b;
    return a + "/" + b;
}

int OpenRegularFile(const std::string& path, int extraOpenFlags, struct stat* st)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer, for ever.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | extraOpenFlags);
    if (fd < 0) return -1;
    struct stat own;
    if (!st) st = &own;
    int error = 0;
    if (fstat(fd, st) != 0) error = errno;
    else if (S_ISDIR(st->st_mode)) error = EISDIR;
    else if (!S_ISREG(st->st_mode)) error = EINVAL;
    if (error == 0) return fd;
    close(fd);
    errno = error;
    return -1;
}

bool ReadFileCapped(const std::string& path, int extraOpenFlags, std::size_t cap, std::string* text, bool* whole)
{
    text->clear();
    if (whole) *whole = false;
    int fd = OpenRegularFile(path, extraOpenFlags);
    if (fd < 0) return false;
    char chunk[16384];
    bool ended = false, failed = false;
    while (!ended && !failed && text->size() <= cap) {  // one byte past the cap tells a bigger file
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        failed = got < 0;
        ended = got == 0;
        if (got > 0) text->append(chunk, static_cast<std::size_t>(got));
    }
    int error = errno;
    close(fd);
    if (failed) {
        text->clear();
        errno = error;
        return false;
    }
    if (whole) *whole = text->size() <= cap;
    if (text->size() > cap) text->resize(cap);
    return true;
}

bool WriteAll(int fd, const void* data, std::size_t size)
{
    auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

FileReplacement::FileReplacement(const std::string& target, mode_t mode) : m_target(target)
{
    std::size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // Hidden, short enough for any folder whatever the target's name, and never an existing file.
    static std::atomic<unsigned> serial{0};
    std::string stem = JoinPath(folder, "." + name.substr(0, 64) + ".new-" + std::to_string(getpid()) + "-");
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temporary = stem + std::to_string(serial++);
        m_fd = open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (m_fd < 0 && errno != EEXIST) return;
    }
    struct stat old;
    if (m_fd >= 0 && stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(m_fd, old.st_mode & 07777);
}

FileReplacement::~FileReplacement()
{
    Discard();
}

void FileReplacement::Discard()
{
    if (m_fd < 0) return;
    int error = errno;
    close(m_fd);
    unlink(m_temporary.c_str());
    m_fd = -1;
    errno = error;
}

bool FileReplacement::Commit(bool written)
{
    if (m_fd < 0) return false;
    if (!written) {
        Discard();
        return false;
    }
    int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0 || rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        int error = errno;
        unlink(m_temporary.c_str());
        errno = error;
        return false;
    }
    return true;
}

namespace {

// Built on first use: a program may name itself from another file's static initialiser.
std::string& ProgramNameSet()
{
    static std::string name;
    return name;
}

}  // namespace

void SetProgramName(const char* name)
{
    ProgramNameSet() = name ? name : "";
}

const char* ProgramName()
{
    // Unset, the program is known by the name it was started under, as a module is on Win32.
    const std::string& name = ProgramNameSet();
    return name.empty() ? program_invocation_short_name : name.c_str();
}

std::string ProgramVariableName(const char* suffix)
{
    std::string name = ProgramName();
    for (char& c : name) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : (c == '-' ? '_' : c);
    return name + "_" + suffix;
}

const char* ProgramVariable(const char* suffix)
{
    const char* value = std::getenv(ProgramVariableName(suffix).c_str());
    return value && *value ? value : nullptr;
}

std::string ProgramDirectory(const char* variable, const char* fallbackUnderHome, const char* below)
{
    std::string folder = JoinPath(XdgDirectory(variable, fallbackUnderHome), ProgramName());
    return *below ? JoinPath(folder, below) : folder;
}
