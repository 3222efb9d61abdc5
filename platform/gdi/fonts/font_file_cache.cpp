// The remembered font matches. The file is text, one record a line, fields split by tabs:
//   <program>-fonts 1
//   config <path> <mtime ns, or -1 when missing>     (the configuration it was written under)
//   font <face> <0|1 bold asked> <path> <index> <0|1 real bold> <size> <mtime ns>
// It is input like any other: anything malformed makes the whole file count as empty. It is
// rewritten whole through a temporary file and rename, so a reader never sees half of it.
// Knowingly lacks: fonts added to a folder without fc-cache being run go unnoticed until the
// configuration or fontconfig's cache folder changes.
#include "platform/gdi/fonts/font_file_cache.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sys/stat.h>
#include <vector>
#include "platform/kernel/host_dirs.h"

namespace {

// The first line: "<program>-fonts 1".
std::string Header()
{
    return std::string(ProgramName()) + "-fonts 1";
}

constexpr std::size_t kMaxFileBytes = 64 * 1024;
constexpr std::size_t kMaxEntries = 64;

struct Entry {
    FontFile file;
    long long size = 0;
    long long mtime = 0;
};

using Key = std::pair<std::string, bool>;

using Stamp = std::vector<std::pair<std::string, long long>>;

struct Remembered {
    bool read = false;
    Stamp stamp;  // the configuration when the file was read
    std::map<Key, Entry> entries;
};
Remembered g_remembered;

bool UsesOwnConfiguration()
{
    for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"}) {
        if (const char* value = std::getenv(name); value && *value) return true;
    }
    return false;
}

std::string CacheFolder()
{
    return ProgramDirectory("XDG_CACHE_HOME", ".cache");
}

std::string CachePath()
{
    return JoinPath(CacheFolder(), "fonts.cache");
}

long long MtimeNs(const struct stat& st)
{
    return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

// What fontconfig's choice depends on: its configuration files and folders, and its cache
// folder (fc-cache rewrites it whenever a font package comes or goes).
Stamp ConfigurationStamp()
{
    std::string userConfig = JoinPath(XdgDirectory("XDG_CONFIG_HOME", ".config"), "fontconfig");
    std::vector<std::string> paths = {"/etc/fonts/fonts.conf", "/etc/fonts/conf.d", "/etc/fonts/local.conf",
                                      "/var/cache/fontconfig", JoinPath(userConfig, "fonts.conf"),
                                      JoinPath(userConfig, "conf.d"),
                                      JoinPath(XdgDirectory("XDG_CACHE_HOME", ".cache"), "fontconfig")};
    Stamp stamp;
    for (std::string& path : paths) {
        struct stat st;
        long long mtime = stat(path.c_str(), &st) == 0 ? MtimeNs(st) : -1;
        stamp.emplace_back(std::move(path), mtime);
    }
    return stamp;
}

// The pieces of `text` between each `separator`: one more than there are separators.
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(separator, start);
        pieces.push_back(text.substr(start, at - start));
        if (at == std::string::npos) return pieces;
        start = at + 1;
    }
}

bool ParseNumber(const std::string& text, long long* value)
{
    if (text.empty()) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseFlag(const std::string& text, bool* value)
{
    if (text != "0" && text != "1") return false;
    *value = text == "1";
    return true;
}

bool ParseFont(const std::vector<std::string>& f, Key* key, Entry* entry)
{
    long long index = 0;
    if (f.size() != 8 || f[3].empty() || f[3][0] != '/') return false;
    if (!ParseFlag(f[2], &key->second) || !ParseFlag(f[5], &entry->file.bold)) return false;
    if (!ParseNumber(f[4], &index) || index < 0 || index > 0xFFFF) return false;
    if (!ParseNumber(f[6], &entry->size) || !ParseNumber(f[7], &entry->mtime)) return false;
    key->first = f[1];
    entry->file.path = f[3];
    entry->file.index = static_cast<int>(index);
    return true;
}

// The entries of `text`, when it is whole and was written under the configuration now in force.
std::map<Key, Entry> Parse(const std::string& text, const Stamp& stamp)
{
    // A last line without its newline counts; nothing after a last newline does.
    std::vector<std::string> lines = Split(text, '\n');
    if (lines.back().empty()) lines.pop_back();
    if (lines.empty() || lines[0] != Header()) return {};
    std::size_t configs = 0;
    std::map<Key, Entry> entries;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        std::vector<std::string> f = Split(line, '\t');
        if (f[0] == "config" && f.size() == 3) {
            long long mtime = 0;
            if (!ParseNumber(f[2], &mtime) || configs >= stamp.size() || stamp[configs].first != f[1] ||
                stamp[configs].second != mtime) {
                return {};
            }
            ++configs;
        } else if (f[0] == "font") {
            Key key;
            Entry entry;
            if (!ParseFont(f, &key, &entry) || entries.size() >= kMaxEntries) return {};
            entries[key] = entry;
        } else {
            return {};
        }
    }
    if (configs != stamp.size()) return {};
    return entries;
}

void ReadOnce()
{
    if (g_remembered.read) return;
    g_remembered.read = true;
    g_remembered.stamp = ConfigurationStamp();
    std::string text;
    bool whole = false;
    if (!ReadFileCapped(CachePath(), 0, kMaxFileBytes, &text, &whole) || !whole) return;  // a bigger one is not ours
    g_remembered.entries = Parse(text, g_remembered.stamp);
}

bool StillThere(const Entry& entry)
{
    struct stat st;
    return stat(entry.file.path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == entry.size &&
           MtimeNs(st) == entry.mtime;
}

// Tabs and line ends would break the record; such names are simply not remembered.
bool Writable(const std::string& text)
{
    return text.find_first_of("\t\n\r") == std::string::npos;
}

std::string Format(const Stamp& stamp, const std::map<Key, Entry>& entries)
{
    std::string out = Header() + "\n";
    for (const auto& [path, mtime] : stamp) out += "config\t" + path + "\t" + std::to_string(mtime) + "\n";
    for (const auto& [key, e] : entries) {
        out += "font\t" + key.first + "\t" + (key.second ? "1" : "0") + "\t" + e.file.path + "\t" +
               std::to_string(e.file.index) + "\t" + (e.file.bold ? "1" : "0") + "\t" + std::to_string(e.size) +
               "\t" + std::to_string(e.mtime) + "\n";
    }
    return out;
}

void WriteWhole(const std::string& text)
{
    if (!MakeDirectories(CacheFolder(), 0700)) return;
    FileReplacement file(CachePath(), 0666);
    file.Commit(file.Fd() >= 0 && WriteAll(file.Fd(), text.data(), text.size()));
}

}  // namespace

std::optional<FontFile> RememberedFontFile(const std::string& face, bool bold)
{
    if (UsesOwnConfiguration()) return std::nullopt;
    ReadOnce();
    auto it = g_remembered.entries.find(Key(face, bold));
    if (it == g_remembered.entries.end() || !StillThere(it->second)) return std::nullopt;
    return it->second.file;
}

// The entries as they stand under the configuration now in force, ready to be changed and
// rewritten. The configuration may have changed while this process ran (fontconfig writes its
// own cache): what was read under the old one is dropped.
std::map<Key, Entry>& CurrentEntries()
{
    ReadOnce();
    Stamp now = ConfigurationStamp();
    if (now != g_remembered.stamp) g_remembered.entries.clear();
    g_remembered.stamp = std::move(now);
    return g_remembered.entries;
}

void RememberFontFile(const std::string& face, bool bold, const FontFile& file)
{
    if (UsesOwnConfiguration() || !Writable(face) || !Writable(file.path) || file.path.empty() || file.path[0] != '/') return;
    struct stat st;
    if (stat(file.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    std::map<Key, Entry>& entries = CurrentEntries();
    if (entries.size() >= kMaxEntries) entries.clear();
    entries[Key(face, bold)] = Entry{file, static_cast<long long>(st.st_size), MtimeNs(st)};
    WriteWhole(Format(g_remembered.stamp, entries));
}

void ForgetFontFile(const std::string& face, bool bold)
{
    if (UsesOwnConfiguration()) return;
    CurrentEntries().erase(Key(face, bold));
    WriteWhole(Format(g_remembered.stamp, g_remembered.entries));
}

void ForgetRememberedFontFilesForTesting()
{
    g_remembered = Remembered{};
}
