// Fuzz target: device paths and the registry. The first byte picks what the rest feeds: the path
// mapping (the host path must stay inside the device root, even through the links planted there),
// the registry calls with arbitrary key names and handles, or the registry file's parser.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include "fuzz/fuzz_input.h"
#include "platform/extras.h"
#include "resources/resource_ids.h"
#include "platform/kernel/device_paths.h"
#include "platform/kernel/registry_store.h"
#include "platform/windows.h"

namespace fs = std::filesystem;

namespace {

// A scratch device root per process, with a folder, a file, a link inside and links that lead out.
const std::string& ScratchRoot()
{
    static const std::string root = [] {
        char pattern[] = "/tmp/quorix-fuzz-XXXXXX";
        std::string made = mkdtemp(pattern) ? pattern : "/tmp/quorix-fuzz-fallback";
        std::string device = made + "/device";
        fs::create_directories(device + "/Windows/Help");
        std::error_code ignored;
        fs::create_symlink("/etc", device + "/out", ignored);
        fs::create_symlink("..", device + "/Windows/up", ignored);
        fs::create_symlink("../..", device + "/Windows/Help/up2", ignored);
        fs::create_symlink("Windows", device + "/win", ignored);
        SetProgramName(PROGRAM_NAME);
        setenv("QUORIX_DEVICE_ROOT", device.c_str(), 1);
        std::atexit([] { std::error_code e; fs::remove_all(fs::path(std::getenv("QUORIX_DEVICE_ROOT")).parent_path(), e); });
        return fs::canonical(device).string();
    }();
    return root;
}

bool IsInside(const std::string& root, const std::string& path)
{
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/');
}

// A "." or ".." name left in a host path could climb out once the host resolves it.
bool HasDotName(const std::string& path)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string_view name(path.data() + start, end - start);
        if (name == "." || name == "..") return true;
        start = end + 1;
    }
    return false;
}

void FuzzPathMapping(FuzzInput& in)
{
    const std::string& root = ScratchRoot();
    std::u16string path = in.Byte() & 1 ? in.PathText(200) : in.RawText(200);
    std::string host;
    SetLastError(0);
    if (!MapDevicePathText(path, &host)) {
        FUZZ_CHECK(GetLastError() != 0);
        return;
    }
    FUZZ_CHECK(IsInside(root, host));
    FUZZ_CHECK(!HasDotName(host.substr(root.size())));
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(host, error);
    if (!error) FUZZ_CHECK(IsInside(root, resolved.string()));
}

HKEY PickKey(FuzzInput& in, const HKEY* open, int openCount)
{
    static const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
    switch (in.Below(4)) {
    case 0: return kRoots[in.Below(4)];
    case 1: return openCount ? open[in.Below(openCount)] : HKEY_LOCAL_MACHINE;
    case 2: return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(in.Dword()));
    default: return HKEY_CURRENT_USER;
    }
}

std::u16string KeyName(FuzzInput& in)
{
    std::u16string name = in.Byte() & 1 ? in.PathText(60) : in.RawText(60);
    for (char16_t& c : name) {
        if (c == u'/') c = u'\\';  // registry names use the backslash; make it common
    }
    name.resize(std::char_traits<char16_t>::length(name.c_str()));  // the calls see up to the NUL
    return name;
}

// FUZZ_TRACE=1 prints each call, for reading a finding.
void TraceCall(int op, HKEY key, const std::u16string& name, LONG status)
{
    static const char* const kOps[] = {"create", "open", "delete", "close"};
    std::fprintf(stderr, "%s key=%#lx name=\"", kOps[op], static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(key)));
    for (char16_t c : name) {
        if (c >= 0x20 && c < 0x7F) std::fputc(static_cast<char>(c), stderr);
        else std::fprintf(stderr, "\\u%04X", unsigned(c));
    }
    std::fprintf(stderr, "\" -> %ld\n", static_cast<long>(status));
}

void FuzzRegistryCalls(FuzzInput& in)
{
    ScratchRoot();
    std::error_code ignored;
    fs::remove(ScratchRoot() + "/registry.dat", ignored);  // each input starts from no keys
    constexpr int kOpenCap = 8;
    HKEY open[kOpenCap] = {};
    int openCount = 0;
    while (!in.Empty()) {
        int op = in.Below(4);
        HKEY key = PickKey(in, open, openCount);
        std::u16string name = KeyName(in);
        HKEY result = nullptr;
        DWORD disposition = 0;
        LONG status = -1;
        switch (op) {
        case 0:
            status = RegCreateKeyEx(key, name.c_str(), 0, nullptr, 0, 0, nullptr, &result, &disposition);
            if (status == ERROR_SUCCESS) {
                FUZZ_CHECK(result != nullptr);
                FUZZ_CHECK(disposition == REG_CREATED_NEW_KEY || disposition == REG_OPENED_EXISTING_KEY);
                HKEY again = nullptr;
                FUZZ_CHECK(RegOpenKeyEx(key, name.c_str(), 0, 0, &again) == ERROR_SUCCESS);
                FUZZ_CHECK(RegCloseKey(again) == ERROR_SUCCESS);
            } else {
                FUZZ_CHECK(result == nullptr);
            }
            break;
        case 1:
            status = RegOpenKeyEx(key, name.c_str(), 0, 0, &result);
            FUZZ_CHECK((status == ERROR_SUCCESS) == (result != nullptr));
            break;
        case 2:
            status = RegDeleteKey(key, name.c_str());
            if (status == ERROR_SUCCESS) {
                // Deleting "" deletes the open key itself: its handle then names a deleted key.
                LONG reopened = RegOpenKeyEx(key, name.c_str(), 0, 0, &result);
                if (std::getenv("FUZZ_TRACE")) TraceCall(1, key, name, reopened);
                FUZZ_CHECK(reopened == (name.empty() ? ERROR_KEY_DELETED : ERROR_FILE_NOT_FOUND));
                result = nullptr;
            }
            break;
        default:
            if (openCount) {
                int index = in.Below(openCount);
                RegCloseKey(open[index]);
                open[index] = open[--openCount];
            }
            break;
        }
        if (std::getenv("FUZZ_TRACE")) TraceCall(op, key, name, status);
        if (result) {
            if (openCount == kOpenCap) RegCloseKey(open[--openCount]);
            open[openCount++] = result;
        }
    }
    for (int i = 0; i < openCount; ++i) FUZZ_CHECK(RegCloseKey(open[i]) == ERROR_SUCCESS);
}

void FuzzRegistryFile(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    RegistryKeys keys = RegistryKeys::Parse(text);
    std::string stored = keys.Serialize();
    RegistryKeys again = RegistryKeys::Parse(stored);
    FUZZ_CHECK(again.Size() == keys.Size());
    FUZZ_CHECK(again.Serialize() == stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    FuzzInput in(data + 1, size - 1);
    switch (data[0] % 3) {
    case 0: FuzzPathMapping(in); break;
    case 1: FuzzRegistryCalls(in); break;
    case 2: FuzzRegistryFile(data + 1, size - 1); break;
    }
    return 0;
}
