// The device's file system as a folder of the host (the device root), and the mapping of device
// paths such as "\Windows\x.htp" into it. A device path can never name anything outside the root.
#pragma once
#include <string>
#include <string_view>
#include "platform/win_types.h"

// $<PROGRAM>_DEVICE_ROOT, else $XDG_DATA_HOME/<program>/device (~/.local/share by default); created
// with mode 0700 on first use. Returned resolved (no symbolic links) once it exists.
std::string DeviceRoot();

// Maps an absolute device path (backslash or slash separated) to its host path. Each name is
// matched case-insensitively against the host folder's entries; names not present keep their
// given case. "." is skipped and ".." climbs one level, staying at the root when already there.
// Refused, with the thread's last error set: empty names (doubled or trailing separators) and
// names holding control characters or any of <>:"|?* or a lone surrogate (ERROR_INVALID_NAME),
// names over 255 UTF-8 bytes or host paths over 4095 (ERROR_FILENAME_EXCED_RANGE), a symbolic
// link that leads out of the root (ERROR_ACCESS_DENIED), "" (ERROR_PATH_NOT_FOUND).
bool MapDevicePath(LPCWSTR devicePath, std::string* hostPath);
// The same for a counted text, which may hold NUL characters (refused as ERROR_INVALID_NAME).
bool MapDevicePathText(std::u16string_view devicePath, std::string* hostPath);
