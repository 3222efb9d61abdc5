// Every test process gets its own scratch home: device root, runtime folder and caches, so tests
// never touch the user's files or find a calculator the user is running.
#include <cstdlib>
#include <filesystem>
#include <string>
#include "platform/extras.h"
#include "resources/resource_ids.h"

namespace {

struct ScratchEnvironment {
    std::string root;

    ScratchEnvironment()
    {
        char pattern[] = "/tmp/quorix-test-XXXXXX";
        if (!mkdtemp(pattern)) return;
        root = pattern;
        const char* dirs[][2] = {{"XDG_RUNTIME_DIR", "/run"}, {"QUORIX_DEVICE_ROOT", "/device"},
                                 {"XDG_DATA_HOME", "/data"},  {"XDG_CACHE_HOME", "/cache"},
                                 {"XDG_CONFIG_HOME", "/config"}};
        for (const auto& d : dirs) {
            std::string path = root + d[1];
            std::filesystem::create_directory(path);
            std::filesystem::permissions(path, std::filesystem::perms::owner_all);
            setenv(d[0], path.c_str(), 1);
        }
        SetProgramName(PROGRAM_NAME);
        EnableCrossProcessWindows(true);  // as in the desktop program; tests that must not be found turn it off
    }
    ~ScratchEnvironment()
    {
        std::error_code ignored;
        if (!root.empty()) std::filesystem::remove_all(root, ignored);
    }
};

ScratchEnvironment g_scratch;

}  // namespace
