// Whole-file reading and writing of device files, for setting up the device. (DeleteFile and
// CreateDirectory are the Win32 calls of platform/win_kernel.h.)
#pragma once
#include <cstddef>
#include "platform/win_types.h"

#include "platform/extras.h"
