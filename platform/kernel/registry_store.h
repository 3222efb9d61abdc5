// The registry's keys as stored on the host: one text file under the device root, read and
// rewritten whole under a lock. Internal to the layer; the Reg* calls are in registry.cpp.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

constexpr std::size_t kRegistryNameCap = 255;   // characters in one key name, as Win32 allows
constexpr std::size_t kRegistryDepthCap = 512;  // levels of keys below a root key, as Win32 allows

// A key is named by its full path: the root key's name ("HKEY_LOCAL_MACHINE"), then each key name,
// joined by backslashes. Names are matched ignoring case; each key keeps the case it was made with.
class RegistryKeys {
public:
    bool Contains(std::u16string_view path) const { return Find(path, nullptr); }
    // The path as stored, in the case its keys were made with.
    bool Find(std::u16string_view path, std::u16string* stored) const;
    // Adds the key and every missing key above it; false when it existed already.
    bool Add(std::u16string_view path);
    void Remove(std::u16string_view path);
    bool HasSubKeys(std::u16string_view path) const;
    std::size_t Size() const { return m_keys.size(); }

    // The file's text, and the keys of a file's text. Lines that are not a valid key are kept as
    // they are and written back after the keys: another program's, not ours to drop.
    std::string Serialize() const;
    static RegistryKeys Parse(std::string_view text);
    // False when the text was not empty and did not begin with this program's header line:
    // nothing was read of it, and writing keys in its place would lose it.
    bool Recognised() const { return m_recognised; }

private:
    std::map<std::u16string, std::u16string> m_keys;  // folded path -> path as made
    std::vector<std::string> m_unreadLines;
    bool m_recognised = true;
};

bool IsRegistryRootName(std::u16string_view name);
// A full path that names a valid key: a root key's name, then names within Win32's limits.
bool IsValidRegistryPath(std::u16string_view path);

// Runs `look` on the stored keys under a shared lock. False when the store cannot be read.
bool ReadRegistry(const std::function<void(const RegistryKeys&)>& look);
// Runs `change` under an exclusive lock and stores the keys when it returns true. False when the
// store cannot be read or written, and when a change would have to rewrite a file that was not
// read whole or not recognised (that is said on standard error, and the file left alone).
bool UpdateRegistry(const std::function<bool(RegistryKeys&)>& change);
