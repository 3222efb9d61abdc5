// XDG folders, home folder and folder creation on the host.
#include "platform/host_dirs.h"

#include <cerrno>
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
