// XDG folders, home folder and folder creation on the host.
#include "platform/kernel/host_dirs.h"

#include <cerrno>
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
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), mode) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string JoinPath(const std::string& a, const std::string& b)
{
    if (!a.empty() && a.back() == '/') return a + b;
    return a + "/" + b;
}

bool ReadFileCapped(const std::string& path, int extraOpenFlags, std::size_t cap, std::string* text)
{
    text->clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | extraOpenFlags);
    if (fd < 0) return false;
    char chunk[16384];
    while (text->size() < cap) {
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        text->append(chunk, static_cast<std::size_t>(got));
    }
    close(fd);
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

const char* ProgramVariable(const char* suffix)
{
    std::string name = ProgramName();
    for (char& c : name) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : (c == '-' ? '_' : c);
    name += std::string("_") + suffix;
    const char* value = std::getenv(name.c_str());
    return value && *value ? value : nullptr;
}

std::string ProgramDirectory(const char* variable, const char* fallbackUnderHome, const char* below)
{
    std::string folder = JoinPath(XdgDirectory(variable, fallbackUnderHome), ProgramName());
    return *below ? JoinPath(folder, below) : folder;
}
