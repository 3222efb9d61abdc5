// The platform layer's Win32-style interface: everything the program may call.
#pragma once
#include "platform/win_types.h"
#include "platform/win_user.h"
#include "platform/win_gdi.h"
#include "platform/win_kernel.h"
#include "platform/win_shell.h"
#include "platform/win_clipboard.h"
