// The registry file: a header line, then one key path per line in UTF-8, with control characters
// and '%' written as %XX. A file that is damaged loses only its damaged lines. Knowingly lacks
// values: the program only ever creates, opens and deletes keys.
#include "platform/kernel/registry_store.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/kernel/device_paths.h"
#include "platform/kernel/host_dirs.h"
#include "platform/kernel/host_text.h"

namespace {

// The first line: "<program> registry 1".
std::string Header()
{
    return std::string(ProgramName()) + " registry 1";
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";  // some editors add one
constexpr std::size_t kFileCap = 8u << 20;  // bytes read; a bigger file is read in part, never rewritten
constexpr const char16_t* kRootNames[] = {u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER",
                                          u"HKEY_LOCAL_MACHINE", u"HKEY_USERS"};

std::u16string Folded(std::u16string_view path)
{
    std::u16string folded(path);
    for (char16_t& c : folded) c = FoldCase(c);
    return folded;
}

bool NeedsEscape(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '%';
}

std::string Escape(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (!NeedsEscape(c)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        out.push_back('%');
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 15]);
    }
    return out;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view line, std::string* out)
{
    out->clear();
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '%') {
            out->push_back(line[i]);
            continue;
        }
        if (line.size() - i < 3) return false;
        int high = HexValue(line[i + 1]), low = HexValue(line[i + 2]);
        if (high < 0 || low < 0) return false;
        out->push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return true;
}

std::string StorePath(const char* name)
{
    return JoinPath(DeviceRoot(), name);
}

// Holds the store's lock file locked for as long as it lives.
class StoreLock {
public:
    explicit StoreLock(int operation)
    {
        m_fd = open(StorePath("registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd < 0) return;
        while (flock(m_fd, operation) != 0) {
            if (errno == EINTR) continue;
            close(m_fd);
            m_fd = -1;
            return;
        }
    }
    ~StoreLock()
    {
        if (m_fd >= 0) close(m_fd);
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// The file's text; a missing file is an empty registry. *whole says whether it was read to its end.
bool ReadStoreText(std::string* text, bool* whole)
{
    if (ReadFileCapped(StorePath("registry.dat"), O_NOFOLLOW, kFileCap, text, whole)) return true;
    *whole = true;
    return errno == ENOENT;
}

// A line end, or a CRLF line end, is taken off.
std::string_view WithoutLineEnd(std::string_view line)
{
    return !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
}

// Says why a change to the keys was refused.
void SayLeftAlone(const char* why)
{
    std::fprintf(stderr, "%s: the registry file %s %s; it is left as it is, and the key is not changed\n",
                 program_invocation_short_name, StorePath("registry.dat").c_str(), why);
}

bool WriteStoreText(const std::string& text)
{
    FileReplacement file(StorePath("registry.dat"), 0600);
    return file.Commit(file.Fd() >= 0 && WriteAll(file.Fd(), text.data(), text.size()));
}

}  // namespace

bool IsRegistryRootName(std::u16string_view name)
{
    for (const char16_t* root : kRootNames) {
        if (name == root) return true;
    }
    return false;
}

bool IsValidRegistryPath(std::u16string_view path)
{
    std::size_t start = 0, depth = 0;
    for (;;) {
        std::size_t end = path.find(u'\\', start);
        std::u16string_view name = path.substr(start, end == std::u16string_view::npos ? end : end - start);
        if (depth == 0 && !IsRegistryRootName(name)) return false;
        if (name.empty() || name.size() > kRegistryNameCap || name.find(u'\0') != name.npos) return false;
        if (++depth > kRegistryDepthCap + 1) return false;
        if (end == std::u16string_view::npos) return true;
        start = end + 1;
    }
}

bool RegistryKeys::Find(std::u16string_view path, std::u16string* stored) const
{
    if (IsRegistryRootName(path)) {
        if (stored) *stored = path;
        return true;
    }
    auto it = m_keys.find(Folded(path));
    if (it == m_keys.end()) return false;
    if (stored) *stored = it->second;
    return true;
}

bool RegistryKeys::Add(std::u16string_view path)
{
    if (Contains(path)) return false;
    std::size_t slash = path.rfind(u'\\');
    std::u16string made;
    if (slash != std::u16string_view::npos) {
        Add(path.substr(0, slash));
        Find(path.substr(0, slash), &made);  // the parent keeps the case it already had
        made += path.substr(slash);
    } else {
        made = path;
    }
    m_keys.emplace(Folded(path), made);
    return true;
}

void RegistryKeys::Remove(std::u16string_view path)
{
    m_keys.erase(Folded(path));
}

bool RegistryKeys::HasSubKeys(std::u16string_view path) const
{
    std::u16string prefix = Folded(path) + u'\\';
    auto it = m_keys.lower_bound(prefix);
    return it != m_keys.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

std::string RegistryKeys::Serialize() const
{
    std::string text = Header();
    text += '\n';
    std::string utf8;
    for (const auto& entry : m_keys) {
        if (!Utf16ToUtf8(entry.second, &utf8)) continue;
        text += Escape(utf8);
        text += '\n';
    }
    for (const std::string& line : m_unreadLines) text += line + '\n';
    return text;
}

RegistryKeys RegistryKeys::Parse(std::string_view text)
{
    RegistryKeys keys;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    std::size_t start = text.find('\n');
    if (WithoutLineEnd(text.substr(0, start)) != Header()) {
        keys.m_recognised = text.empty();
        return keys;
    }
    std::string utf8;
    std::u16string path;
    while (start != std::string_view::npos && start < text.size()) {
        std::size_t end = text.find('\n', start + 1);
        std::string_view raw = text.substr(start + 1, end == std::string_view::npos ? end : end - start - 1);
        std::string_view line = WithoutLineEnd(raw);
        start = end;
        if (line.empty()) continue;
        if (Unescape(line, &utf8) && Utf8ToUtf16(utf8, &path) && IsValidRegistryPath(path) &&
            path.find(u'\\') != std::u16string::npos) {
            keys.Add(path);
        } else {
            keys.m_unreadLines.emplace_back(raw);  // its own line end too, byte for byte
        }
    }
    return keys;
}

bool ReadRegistry(const std::function<void(const RegistryKeys&)>& look)
{
    StoreLock lock(LOCK_SH);
    std::string text;
    bool whole = false;
    if (!lock.Held() || !ReadStoreText(&text, &whole)) return false;
    if (!whole) text.erase(text.rfind('\n') + 1);  // a line cut by the cap is no key
    look(RegistryKeys::Parse(text));
    return true;
}

bool UpdateRegistry(const std::function<bool(RegistryKeys&)>& change)
{
    StoreLock lock(LOCK_EX);
    std::string text;
    bool whole = false;
    if (!lock.Held() || !ReadStoreText(&text, &whole)) return false;
    RegistryKeys keys = RegistryKeys::Parse(text);
    if (!change(keys)) return true;
    if (!whole) {
        SayLeftAlone("is larger than 8 MiB, so it was not read whole");
        return false;
    }
    if (!keys.Recognised()) {
        SayLeftAlone("does not begin with \"quorix registry 1\"");
        return false;
    }
    return WriteStoreText(keys.Serialize());
}
