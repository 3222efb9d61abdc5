// A scratch folder for one test of the host layer: the device root, the cache, the data and the
// runtime folders all point into it while the test runs, so no test touches the user's own.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

class HostScratch {
public:
    HostScratch()
    {
        char pattern[] = "/tmp/quorix-host-XXXXXX";
        m_path = mkdtemp(pattern);
        mkdir((m_path + "/run").c_str(), 0700);
        Set("QUORIX_DEVICE_ROOT", m_path + "/device");
        Set("XDG_CACHE_HOME", m_path + "/cache");
        Set("XDG_DATA_HOME", m_path + "/data");
        Set("XDG_RUNTIME_DIR", m_path + "/run");
    }
    ~HostScratch()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
            else unsetenv(it->first.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    HostScratch(const HostScratch&) = delete;
    HostScratch& operator=(const HostScratch&) = delete;

    const std::string& Path() const { return m_path; }
    std::string DeviceRootPath() const { return m_path + "/device"; }
    std::string RuntimePath() const { return m_path + "/run"; }

    // Sets an environment variable until the scratch ends; a null value unsets it.
    void Set(const std::string& name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value) setenv(name.c_str(), value->c_str(), 1);
        else unsetenv(name.c_str());
    }

private:
    std::string m_path;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
