// The thread's identity and last error, and the mapping from host errno values to Win32 errors.
#include <cerrno>
#include <sys/syscall.h>
#include <unistd.h>
#include "platform/kernel/host_errors.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetCurrentThreadId()
{
    return static_cast<DWORD>(syscall(SYS_gettid));
}

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD error)
{
    t_lastError = error;
}

DWORD Win32ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ELOOP: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC: return ERROR_DISK_FULL;
    case EBUSY: return ERROR_SHARING_VIOLATION;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    }
    return ERROR_GEN_FAILURE;
}

BOOL FailWithErrno()
{
    SetLastError(Win32ErrorFromErrno(errno));
    return FALSE;
}

BOOL FailWith(DWORD error)
{
    SetLastError(error);
    return FALSE;
}
