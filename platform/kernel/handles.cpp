// The table of kernel handles and CloseHandle. Handle values are never reused, so closing a
// handle twice, or a made-up one, fails with ERROR_INVALID_HANDLE instead of closing another.
#include "platform/kernel/handles.h"

#include <map>
#include <mutex>
#include "platform/kernel/host_errors.h"

namespace {

struct KernelObject {
    KernelObjectKind kind;
    pid_t pid;
};

constexpr std::uintptr_t kFirstHandle = 0x10000;
constexpr std::uintptr_t kHandleStep = 4;

std::mutex g_handlesLock;
std::map<std::uintptr_t, KernelObject> g_handles;
std::uintptr_t g_nextHandle = kFirstHandle;

}  // namespace

HANDLE NewKernelHandle(KernelObjectKind kind, pid_t pid)
{
    std::lock_guard<std::mutex> lock(g_handlesLock);
    std::uintptr_t value = g_nextHandle;
    g_nextHandle += kHandleStep;
    g_handles.emplace(value, KernelObject{kind, pid});
    return reinterpret_cast<HANDLE>(value);
}

bool IsKernelHandle(HANDLE handle, KernelObjectKind kind)
{
    std::lock_guard<std::mutex> lock(g_handlesLock);
    auto it = g_handles.find(reinterpret_cast<std::uintptr_t>(handle));
    return it != g_handles.end() && it->second.kind == kind;
}

BOOL CloseHandle(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(g_handlesLock);
    if (g_handles.erase(reinterpret_cast<std::uintptr_t>(handle)) == 0) return FailWith(ERROR_INVALID_HANDLE);
    return TRUE;
}
