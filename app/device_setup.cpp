// The set-up step: the help files from the program's embedded resources into the device's
// \Windows folder, and the program's key under HKEY_LOCAL_MACHINE. Running it again changes
// nothing that is already in place.
#include "app/device_setup.h"

#include <cstddef>
#include <string>
#include "platform/extras.h"
#include "platform/windows.h"
#include "resources/program_resources.h"

static const WCHAR SETUP_HELP_FOLDER[] = TEXT("\\Windows");
static const WCHAR SETUP_REGISTRY_KEY[] = SETUP_REGISTRY_PARENT TEXT("\\") SETUP_REGISTRY_NAME;

WideString HelpFileDevicePath(const char* name)
{
    WideString path = SETUP_HELP_FOLDER;
    path += u'\\';
    for (const char* c = name; *c; ++c) path += static_cast<WCHAR>(*c);  // the names are ASCII
    return path;
}

static bool InstallHelpFile(const char* name)
{
    std::size_t size = 0;
    const unsigned char* data = FindEmbeddedBlob(name, &size);
    if (!data) return false;
    WideString path = HelpFileDevicePath(name);
    if (DeviceFileHolds(path.c_str(), data, size)) return true;
    return WriteDeviceFile(path.c_str(), data, size);
}

static bool InstallRegistryKey()
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, SETUP_REGISTRY_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return true;
    }
    DWORD disposition = 0;
    LONG status = RegCreateKeyEx(HKEY_LOCAL_MACHINE, SETUP_REGISTRY_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (status != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool InstallDeviceFiles()
{
    bool installed = CreateDirectory(SETUP_HELP_FOLDER, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    for (const char* name : SETUP_HELP_FILES) {
        installed = InstallHelpFile(name) && installed;
    }
    return InstallRegistryKey() && installed;
}
