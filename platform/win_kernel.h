// Files, processes and the registry of the device, kept on the host under the device root.
#pragma once
#include "platform/win_types.h"

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INVALID_INDEX 1413L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_GEN_FAILURE 31L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_DISK_FULL 112L
#define ERROR_INVALID_NAME 123L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_KEY_DELETED 1018L
#ifndef ERROR_INVALID_WINDOW_HANDLE
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#endif
#define ERROR_TIMEOUT 1460L

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))
using ULONG_PTR = std::uintptr_t;

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define REG_OPTION_NON_VOLATILE 0
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
struct STARTUPINFO {
    DWORD cb;
};
struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

DWORD GetCurrentThreadId();
DWORD GetLastError();
void SetLastError(DWORD error);

BOOL DeleteFile(LPCWSTR path);
BOOL CreateDirectory(LPCWSTR path, SECURITY_ATTRIBUTES* security);
BOOL CreateProcess(LPCWSTR application, LPWSTR commandLine, SECURITY_ATTRIBUTES* processAttributes,
                   SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                   LPVOID environment, LPCWSTR currentDirectory, STARTUPINFO* startupInfo,
                   PROCESS_INFORMATION* processInformation);
BOOL CloseHandle(HANDLE handle);

LONG RegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyEx(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options,
                    REGSAM access, SECURITY_ATTRIBUTES* security, HKEY* result, DWORD* disposition);
LONG RegDeleteKey(HKEY key, LPCWSTR subKey);
LONG RegCloseKey(HKEY key);

// The program is the only module.
HMODULE GetModuleHandle(LPCWSTR moduleName);
