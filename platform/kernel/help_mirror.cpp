// The help pages' mirror. A copy is stale when its modification time differs from its page's;
// copies whose page is gone are removed. Knowingly lacks: rewriting of links other than href.
#include "platform/kernel/help_mirror.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/kernel/host_dirs.h"

namespace {

constexpr std::size_t kPageCap = 4u << 20;  // bytes; a bigger page is copied cut

bool ReadWhole(const std::string& path, std::string* text)
{
    return ReadFileCapped(path, 0, kPageCap, text);
}

// Writes the copy and gives it the page's modification time, which is how staleness is seen.
bool WriteCopy(const std::string& path, const std::string& text, const timespec& modified)
{
    FileReplacement file(path, 0600);
    timespec times[2] = {modified, modified};
    return file.Commit(file.Fd() >= 0 && WriteAll(file.Fd(), text.data(), text.size()) &&
                       futimens(file.Fd(), times) == 0);
}

bool SameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool RefreshCopy(const std::string& page, const struct stat& pageStat, const std::string& copy)
{
    struct stat copyStat;
    if (lstat(copy.c_str(), &copyStat) == 0 && S_ISREG(copyStat.st_mode) &&
        SameTime(copyStat.st_mtim, pageStat.st_mtim)) {
        return true;
    }
    std::string html;
    return ReadWhole(page, &html) && WriteCopy(copy, RewriteHelpLinks(html), pageStat.st_mtim);
}

void RemoveOrphanCopies(const std::string& mirror, const std::set<std::string>& current)
{
    DIR* dir = opendir(mirror.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > 5 && IsHelpPageName(name.substr(0, name.size() - 5)) && !current.count(name)) {
            unlink(JoinPath(mirror, name).c_str());
        }
    }
    closedir(dir);
}

}  // namespace

bool MirrorHelpPages(const std::string& pageHostPath, std::string* mirrorPath)
{
    std::size_t slash = pageHostPath.rfind('/');
    if (slash == std::string::npos) return false;
    std::string folder = pageHostPath.substr(0, slash);
    std::string mirror = ProgramDirectory("XDG_CACHE_HOME", ".cache", "help");
    if (!MakeDirectories(mirror, 0700)) return false;
    DIR* dir = opendir(folder.c_str());
    std::set<std::string> current;
    bool ok = true;
    while (dirent* entry = dir ? readdir(dir) : nullptr) {
        std::string page = JoinPath(folder, entry->d_name);
        struct stat st;
        if (!IsHelpPageName(entry->d_name) || lstat(page.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        std::string copyName = MirrorPageName(entry->d_name);
        current.insert(copyName);
        ok = RefreshCopy(page, st, JoinPath(mirror, copyName)) && ok;
    }
    if (dir) closedir(dir);
    RemoveOrphanCopies(mirror, current);
    *mirrorPath = JoinPath(mirror, MirrorPageName(pageHostPath.substr(slash + 1)));
    return ok;
}
