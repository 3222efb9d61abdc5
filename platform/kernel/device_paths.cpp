// Device root and device path mapping. Knowingly lacks: a guard against a symbolic link being
// swapped in after the mapping (the root is the user's own folder, mode 0700).
#include "platform/kernel/device_paths.h"

#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>
#include "platform/kernel/host_dirs.h"
#include "platform/kernel/host_errors.h"
#include "platform/kernel/host_text.h"

namespace {

constexpr std::size_t kNameCap = 255;          // UTF-8 bytes in one name, as host file systems allow
constexpr std::size_t kHostPathCap = 4095;     // bytes: PATH_MAX less its terminator
constexpr std::size_t kDevicePathCap = 32767;  // code units: the longest Win32 path

std::string ConfiguredRoot()
{
    if (const char* root = ProgramVariable("DEVICE_ROOT")) return root;
    return ProgramDirectory("XDG_DATA_HOME", ".local/share", "device");
}

// The resolved root, created when missing; false when it cannot be made.
bool OpenDeviceRoot(std::string* root)
{
    std::string configured = ConfiguredRoot();
    if (!MakeDirectories(configured, 0700)) return false;
    char* real = realpath(configured.c_str(), nullptr);
    if (!real) return false;
    *root = real;
    std::free(real);
    return true;
}

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

bool IsForbiddenInName(char16_t c)
{
    return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
           c == u'*';
}

DWORD CheckName(std::u16string_view name, std::string* utf8)
{
    for (char16_t c : name) {
        if (IsForbiddenInName(c)) return ERROR_INVALID_NAME;
    }
    if (!Utf16ToUtf8(name, utf8)) return ERROR_INVALID_NAME;
    if (utf8->size() > kNameCap) return ERROR_FILENAME_EXCED_RANGE;
    return ERROR_SUCCESS;
}

// Splits the path into host names, resolving "." and ".." without looking at the host: a ".."
// at the root stays there, as Win32 treats "C:\..".
DWORD ParseDevicePath(std::u16string_view path, std::vector<std::string>* names)
{
    if (path.empty()) return ERROR_PATH_NOT_FOUND;
    if (path.size() > kDevicePathCap) return ERROR_FILENAME_EXCED_RANGE;
    std::size_t start = IsSeparator(path[0]) ? 1 : 0;
    if (start == path.size()) return ERROR_SUCCESS;  // the root itself
    for (;;) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        std::u16string_view name = path.substr(start, end - start);
        if (name.empty()) return ERROR_INVALID_NAME;
        if (name == u"..") {
            if (!names->empty()) names->pop_back();
        } else if (name != u".") {
            std::string utf8;
            if (DWORD error = CheckName(name, &utf8)) return error;
            names->push_back(std::move(utf8));
        }
        if (end == path.size()) return ERROR_SUCCESS;
        start = end + 1;
    }
}

// The entry of `folder` that `name` means: the name itself when present, else the entry equal to
// it ignoring case (the first in byte order when the host folder holds several).
bool FindEntry(const std::string& folder, const std::string& name, std::string* actual)
{
    struct stat st;
    if (lstat(JoinPath(folder, name).c_str(), &st) == 0) {
        *actual = name;
        return true;
    }
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    std::u16string wanted, candidate;
    Utf8ToUtf16(name, &wanted);
    bool found = false;
    while (dirent* entry = readdir(dir)) {
        if (!Utf8ToUtf16(entry->d_name, &candidate) || !EqualsIgnoringCase(candidate, wanted)) continue;
        if (!found || *actual > entry->d_name) *actual = entry->d_name;
        found = true;
    }
    closedir(dir);
    return found;
}

// A symbolic link inside the device may point anywhere inside it, never out of it.
bool LinkStaysInside(const std::string& path, const std::string& root)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return false;  // dangling: where it would lead cannot be known
    std::string target = real;
    std::free(real);
    std::string prefix = JoinPath(root, "");
    return target == root || target.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string DeviceRoot()
{
    std::string root;
    return OpenDeviceRoot(&root) ? root : ConfiguredRoot();
}

bool MapDevicePath(LPCWSTR devicePath, std::string* hostPath)
{
    if (!devicePath) return FailWith(ERROR_INVALID_PARAMETER);
    std::size_t length = 0;
    while (devicePath[length] && length <= kDevicePathCap) ++length;
    return MapDevicePathText(std::u16string_view(devicePath, length), hostPath);
}

bool MapDevicePathText(std::u16string_view devicePath, std::string* hostPath)
{
    if (!hostPath) return FailWith(ERROR_INVALID_PARAMETER);
    std::vector<std::string> names;
    if (DWORD error = ParseDevicePath(devicePath, &names)) return FailWith(error);
    std::string root;
    if (!OpenDeviceRoot(&root)) return FailWith(ERROR_PATH_NOT_FOUND);
    std::string path = root;
    bool existing = true;
    for (const std::string& name : names) {
        std::string actual = name;
        if (existing) existing = FindEntry(path, name, &actual);
        path = JoinPath(path, actual);
        if (path.size() > kHostPathCap) return FailWith(ERROR_FILENAME_EXCED_RANGE);
        if (existing && !LinkStaysInside(path, root)) return FailWith(ERROR_ACCESS_DENIED);
    }
    *hostPath = std::move(path);
    return true;
}
