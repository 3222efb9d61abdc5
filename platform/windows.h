// The platform layer's Win32-style interface: everything the program may call. On Windows the
// program gets the real API, with what the handheld supplied beside it.
#pragma once
#if defined(_WIN32)
#include "platform/drivers/windows/device_api.h"
#else
#include "platform/win_types.h"
#include "platform/win_user.h"
#include "platform/win_gdi.h"
#include "platform/win_kernel.h"
#include "platform/win_shell.h"
#include "platform/win_clipboard.h"
#endif
