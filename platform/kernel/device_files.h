// Whole-file reading and writing of device files, for setting up the device. (DeleteFile and
// CreateDirectory are the Win32 calls of platform/win_kernel.h.)
#pragma once
#include <cstddef>
#include "platform/win_types.h"

// True when the device file exists and holds exactly these bytes.
bool DeviceFileHolds(LPCWSTR devicePath, const void* data, std::size_t size);
// Replaces the device file's content as one step (a reader sees the old or the new file, never a
// part); its folder must exist. False with the thread's last error set on failure.
bool WriteDeviceFile(LPCWSTR devicePath, const void* data, std::size_t size);
