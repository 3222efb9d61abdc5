// Kernel handles of the layer: the process and thread handles CreateProcess gives out. Internal.
#pragma once
#include <sys/types.h>
#include "platform/win_types.h"

enum class KernelObjectKind { kProcess, kThread };

HANDLE NewKernelHandle(KernelObjectKind kind, pid_t pid);
// True when handle is open and of this kind.
bool IsKernelHandle(HANDLE handle, KernelObjectKind kind);
