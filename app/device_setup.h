// Installing the program on the device as its installer would: the help files in \Windows and
// the program's registry key. Uninstall takes away the same files and key.
#pragma once
#include <string>
#include "platform/extras.h"

// The help pages, the index first; the same names as the embedded files.
inline constexpr const char* SETUP_HELP_FILES[] = {
    "quorix-index.htc",
    "quorix_gaiyo.htp",
    "quorix_install.htp",
    "quorix_copyright.htp",
    "quorix_history.htp",
    "quorix_support.htp",
    "quorix_use.htp",
};
// The program's key under HKEY_LOCAL_MACHINE: the maker's key, and the program's own in it.
#define SETUP_REGISTRY_PARENT TEXT("Software\\Larkwell\\Gearset1")
#define SETUP_REGISTRY_NAME TEXT("Quorix")

// "\Windows\NAME": where the help page `name` lives on the device.
WideString HelpFileDevicePath(const char* name);

// Writes each help file that is missing or differs, and creates the registry key when missing.
// Does nothing else when all is in place already. False when something could not be installed.
bool InstallDeviceFiles();
