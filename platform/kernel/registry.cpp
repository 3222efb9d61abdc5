// RegOpenKeyEx, RegCreateKeyEx, RegDeleteKey and RegCloseKey over the stored keys. An HKEY is a
// number from a table of open keys (never reused) or one of the four root keys; anything else is
// ERROR_INVALID_HANDLE. RegDeleteKey behaves as on the desktop: a key with subkeys is not deleted
// (ERROR_ACCESS_DENIED). Subkey paths are backslash separated; an empty name (a leading, doubled
// or trailing backslash) is ERROR_INVALID_PARAMETER, as are names over 255 characters, paths
// deeper than 512 keys and lone surrogates. "." and ".." are ordinary key names here.
#include <map>
#include <mutex>
#include "platform/kernel/registry_store.h"
#include "platform/win_kernel.h"

namespace {

struct RootKey {
    HKEY key;
    const char16_t* name;
};
const RootKey kRootKeys[] = {
    {HKEY_CLASSES_ROOT, u"HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, u"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, u"HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, u"HKEY_USERS"},
};

constexpr std::uintptr_t kFirstHandle = 0x1000;
constexpr std::uintptr_t kHandleStep = 4;

std::mutex g_keysLock;
std::map<std::uintptr_t, std::u16string> g_openKeys;  // handle -> full path of the key
std::uintptr_t g_nextHandle = kFirstHandle;

const char16_t* RootName(HKEY key)
{
    for (const RootKey& root : kRootKeys) {
        if (root.key == key) return root.name;
    }
    return nullptr;
}

LONG PathOfHandle(HKEY key, std::u16string* path)
{
    if (const char16_t* root = RootName(key)) {
        *path = root;
        return ERROR_SUCCESS;
    }
    std::lock_guard<std::mutex> lock(g_keysLock);
    auto it = g_openKeys.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == g_openKeys.end()) return ERROR_INVALID_HANDLE;
    *path = it->second;
    return ERROR_SUCCESS;
}

// Appends the subkey's names; an empty subkey names the key itself.
LONG AppendSubKey(std::u16string* path, LPCWSTR subKey)
{
    if (!subKey[0]) return ERROR_SUCCESS;
    std::u16string_view rest(subKey);
    if (rest.size() > (kRegistryNameCap + 1) * kRegistryDepthCap) return ERROR_INVALID_PARAMETER;
    std::u16string joined = *path + u'\\';
    joined += rest;
    if (!IsValidRegistryPath(joined)) return ERROR_INVALID_PARAMETER;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        char16_t c = rest[i];
        bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < rest.size() && rest[i + 1] >= 0xDC00 && rest[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            return ERROR_INVALID_PARAMETER;  // cannot be stored as UTF-8
        }
    }
    *path = std::move(joined);
    return ERROR_SUCCESS;
}

LONG ResolveKeyPath(HKEY key, LPCWSTR subKey, std::u16string* base, std::u16string* path)
{
    if (LONG status = PathOfHandle(key, base)) return status;
    *path = *base;
    return subKey ? AppendSubKey(path, subKey) : ERROR_SUCCESS;
}

HKEY NewHandle(const std::u16string& path)
{
    std::lock_guard<std::mutex> lock(g_keysLock);
    std::uintptr_t value = g_nextHandle;
    g_nextHandle += kHandleStep;
    g_openKeys.emplace(value, path);
    return reinterpret_cast<HKEY>(value);
}

}  // namespace

LONG RegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD, REGSAM, HKEY* result)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::u16string base, path, stored;
    if (LONG status = ResolveKeyPath(key, subKey, &base, &path)) return status;
    LONG status = ERROR_SUCCESS;
    bool read = ReadRegistry([&](const RegistryKeys& keys) {
        if (!keys.Contains(base)) status = ERROR_KEY_DELETED;
        else if (!keys.Find(path, &stored)) status = ERROR_FILE_NOT_FOUND;
    });
    if (!read) return ERROR_ACCESS_DENIED;
    if (status == ERROR_SUCCESS) *result = NewHandle(stored);
    return status;
}

LONG RegCreateKeyEx(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*,
                    HKEY* result, DWORD* disposition)
{
    if (!result || !subKey) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::u16string base, path, stored;
    if (LONG status = ResolveKeyPath(key, subKey, &base, &path)) return status;
    LONG status = ERROR_SUCCESS;
    bool created = false;
    bool written = UpdateRegistry([&](RegistryKeys& keys) {
        if (!keys.Contains(base)) {
            status = ERROR_KEY_DELETED;
            return false;
        }
        created = keys.Add(path);
        keys.Find(path, &stored);
        return created;
    });
    if (!written) return ERROR_ACCESS_DENIED;
    if (status != ERROR_SUCCESS) return status;
    *result = NewHandle(stored);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegDeleteKey(HKEY key, LPCWSTR subKey)
{
    if (!subKey) return ERROR_INVALID_PARAMETER;
    std::u16string base, path;
    if (LONG status = ResolveKeyPath(key, subKey, &base, &path)) return status;
    if (IsRegistryRootName(path)) return ERROR_ACCESS_DENIED;
    LONG status = ERROR_SUCCESS;
    bool written = UpdateRegistry([&](RegistryKeys& keys) {
        if (!keys.Contains(base)) status = ERROR_KEY_DELETED;
        else if (!keys.Contains(path)) status = ERROR_FILE_NOT_FOUND;
        else if (keys.HasSubKeys(path)) status = ERROR_ACCESS_DENIED;
        if (status != ERROR_SUCCESS) return false;
        keys.Remove(path);
        return true;
    });
    if (!written) return ERROR_ACCESS_DENIED;
    return status;
}

LONG RegCloseKey(HKEY key)
{
    if (RootName(key)) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(g_keysLock);
    return g_openKeys.erase(reinterpret_cast<std::uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
