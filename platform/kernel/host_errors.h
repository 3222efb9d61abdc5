// The Win32 error a failed host call stands for. Internal to the layer.
#pragma once
#include "platform/win_kernel.h"

DWORD Win32ErrorFromErrno(int error);
// Sets the thread's last error from errno and returns FALSE, the usual ending of a failed call.
BOOL FailWithErrno();
BOOL FailWith(DWORD error);
