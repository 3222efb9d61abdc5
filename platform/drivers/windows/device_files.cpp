// The device's files on Windows: a per-user folder stands for the device's file system, never the
// real C:\Windows, and device paths map into it as on Linux (the folder is already
// case-insensitive). The device's help viewer is the default browser, given browser-ready copies
// of the help pages; $<PROGRAM>_HELP_VIEWER, when set, is run with the page's path instead.
// Knowingly lacks: every other device program (ERROR_FILE_NOT_FOUND).
#define DEVICE_API_NO_REDIRECT
#include <cwctype>
#include <string>
#include <vector>
#include "platform/drivers/windows/device_api.h"
#include "platform/drivers/windows/windows_driver.h"
#include "platform/extras.h"
#include "platform/kernel/help_mirror.h"
#include <shellapi.h>

namespace {

constexpr DWORD kPageCap = 4u << 20;  // bytes; a bigger page is copied cut

std::wstring WideAscii(const char* text)
{
    std::wstring out;
    for (; *text; ++text) out += static_cast<wchar_t>(*text);
    return out;
}

std::wstring Variable(const std::wstring& name)
{
    DWORD n = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (n == 0) return L"";
    std::wstring value(n, L'\0');
    n = GetEnvironmentVariableW(name.c_str(), value.data(), n);
    value.resize(n);
    return value;
}

std::wstring ProgramVariable(const char* suffix)
{
    std::wstring name;
    for (const char* c = ProgramName(); *c; ++c) name += static_cast<wchar_t>(std::towupper(*c));
    return Variable(name + L"_" + WideAscii(suffix));
}

// The program's own folder under %LOCALAPPDATA%: its name with a capital first letter.
std::wstring ProgramDataFolder(const wchar_t* below)
{
    std::wstring name = WideAscii(ProgramName());
    if (!name.empty()) name[0] = static_cast<wchar_t>(std::towupper(name[0]));
    std::wstring base = Variable(L"LOCALAPPDATA");
    if (base.empty()) return L"";
    return base + L"\\" + name + L"\\" + below;
}

bool MakeFolders(const std::wstring& path)
{
    for (std::size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
        std::wstring part = path.substr(0, at);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        if (at == std::wstring::npos) return true;
    }
}

// A name Windows takes for a device in any folder: the part before the first dot, trailing
// spaces dropped ("nul .txt" is NUL), is a device's name.
bool IsReservedName(const std::wstring& name)
{
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* d : kDevices) {
        if (stem == d) return true;
    }
    // COM0-9 and LPT0-9, and with a superscript 1, 2 or 3.
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           ((stem[3] >= L'0' && stem[3] <= L'9') || (stem[3] && wcschr(L"\u00B9\u00B2\u00B3", stem[3])));
}

bool IsBadName(const std::wstring& name)
{
    for (wchar_t c : name) {
        if (c < 0x20 || wcschr(L"<>:\"|?*", c)) return true;
    }
    return name.back() == L'.' || name.back() == L' ' || IsReservedName(name);
}

bool Fail(DWORD error)
{
    SetLastError(error);
    return false;
}

// Where `path` leads once links and junctions are followed: the final path of what is there, or
// of the nearest folder above it that is; empty when none can be opened.
std::wstring FinalPath(std::wstring path)
{
    for (;;) {
        HANDLE item = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (item != INVALID_HANDLE_VALUE) {
            std::wstring leads(MAX_PATH, L'\0');
            DWORD n = GetFinalPathNameByHandleW(item, leads.data(), static_cast<DWORD>(leads.size()), FILE_NAME_NORMALIZED);
            if (n >= leads.size()) {
                leads.resize(n);
                n = GetFinalPathNameByHandleW(item, leads.data(), n, FILE_NAME_NORMALIZED);
            }
            CloseHandle(item);
            leads.resize(n < leads.size() ? n : 0);
            return leads;
        }
        std::size_t slash = path.rfind(L'\\');
        if (slash == std::wstring::npos || slash < 3) return L"";
        path.resize(slash);
    }
}

// Whether `path` is `folder` or inside it, as the file system compares names.
bool IsSameOrInside(const std::wstring& folder, const std::wstring& path)
{
    if (path.size() < folder.size() || (path.size() > folder.size() && path[folder.size()] != L'\\')) return false;
    int n = static_cast<int>(folder.size());
    return CompareStringOrdinal(path.c_str(), n, folder.c_str(), n, TRUE) == CSTR_EQUAL;
}

bool ReadWholeFile(const std::wstring& path, std::string* out, DWORD cap)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != 0;
    DWORD wanted = ok ? static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, cap)) : 0;
    out->assign(wanted, '\0');
    DWORD got = 0;
    ok = ok && (wanted == 0 || ReadFile(file, out->data(), wanted, &got, nullptr)) && got == wanted;
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::wstring& path, const void* data, std::size_t size)
{
    std::wstring temporary = path + L".new" + std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = size <= MAXDWORD && WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    ok = CloseHandle(file) && ok;
    if (ok && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    SetLastError(error);
    return false;
}

std::string Narrow(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    if (!out.empty()) out.pop_back();
    return out;
}

std::wstring WideUtf8(const std::string& text)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? static_cast<std::size_t>(n) : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
    if (!out.empty()) out.pop_back();
    return out;
}

// Browser-ready copies (.html, links rewritten) of every help page beside `page`; the copy of
// `page` itself in *copy.
bool MirrorHelpPagesTo(const std::wstring& page, std::wstring* copy)
{
    std::size_t slash = page.rfind(L'\\');
    std::wstring mirror = ProgramDataFolder(L"help");
    if (slash == std::wstring::npos || mirror.empty() || !MakeFolders(mirror)) return false;
    std::wstring folder = page.substr(0, slash);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    bool ok = find != INVALID_HANDLE_VALUE;
    while (ok) {
        std::string name = Narrow(entry.cFileName);
        std::string html;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsHelpPageName(name)) {
            ok = ReadWholeFile(folder + L"\\" + entry.cFileName, &html, kPageCap);
            std::string rewritten = RewriteHelpLinks(html);
            ok = ok && WriteWholeFile(mirror + L"\\" + WideUtf8(MirrorPageName(name)), rewritten.data(),
                                      rewritten.size());
        }
        if (!FindNextFileW(find, &entry)) break;
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    *copy = mirror + L"\\" + WideUtf8(MirrorPageName(Narrow(page.substr(slash + 1))));
    return ok;
}

bool IsHelpViewer(LPCWSTR application)
{
    if (!application) return false;
    std::wstring name = application;
    for (wchar_t& c : name) c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(c));
    return name == L"\\windows\\peghelp.exe";
}

bool StartHelpViewer(LPCWSTR pagePath, LPPROCESS_INFORMATION info)
{
    std::wstring page;
    if (!pagePath || !MapDevicePathToHost(pagePath, &page)) return false;
    if (GetFileAttributesW(page.c_str()) == INVALID_FILE_ATTRIBUTES) return Fail(ERROR_FILE_NOT_FOUND);
    std::wstring viewer = ProgramVariable("HELP_VIEWER");
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof(run);
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.nShow = SW_SHOWNORMAL;
    std::wstring target, parameters;
    if (!viewer.empty()) {
        target = viewer;
        parameters = L"\"" + page + L"\"";
        run.lpParameters = parameters.c_str();
    } else if (!MirrorHelpPagesTo(page, &target)) {
        target = page;
    }
    run.lpFile = target.c_str();
    if (!ShellExecuteExW(&run)) return false;
    if (info) *info = PROCESS_INFORMATION{run.hProcess, nullptr, run.hProcess ? GetProcessId(run.hProcess) : 0, 0};
    return true;
}

}  // namespace

std::wstring DeviceRootFolder()
{
    std::wstring root = ProgramVariable("DEVICE_ROOT");
    if (root.empty()) root = ProgramDataFolder(L"device");
    while (root.size() > 3 && (root.back() == L'\\' || root.back() == L'/')) root.pop_back();
    if (root.empty() || !MakeFolders(root)) return L"";
    return root;
}

bool MapDevicePathToHost(LPCWSTR devicePath, std::wstring* hostPath)
{
    if (!devicePath || !*devicePath) return Fail(ERROR_PATH_NOT_FOUND);
    std::wstring root = DeviceRootFolder();
    if (root.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    std::vector<std::wstring> names;
    std::wstring path = devicePath;
    std::size_t start = (path[0] == L'\\' || path[0] == L'/') ? 1 : 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of(L"\\/", start);
        std::wstring name = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (name.empty()) return Fail(ERROR_INVALID_NAME);
        if (name == L"..") {
            if (!names.empty()) names.pop_back();
        } else if (name != L".") {
            if (IsBadName(name)) return Fail(ERROR_INVALID_NAME);
            if (name.size() > 255) return Fail(ERROR_FILENAME_EXCED_RANGE);
            names.push_back(name);
        }
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    std::wstring host = root;
    for (const std::wstring& name : names) host += L"\\" + name;
    // A link or junction inside the folder could lead anywhere: what the path names must be in
    // the folder once they are followed.
    std::wstring rootLeads = FinalPath(root), hostLeads = FinalPath(host);
    if (rootLeads.empty() || !IsSameOrInside(rootLeads, hostLeads)) return Fail(ERROR_ACCESS_DENIED);
    *hostPath = host;
    return true;
}

BOOL WINAPI DeviceDeleteFile(LPCWSTR path)
{
    std::wstring host;
    return MapDevicePathToHost(path, &host) && DeleteFileW(host.c_str());
}

BOOL WINAPI DeviceCreateDirectory(LPCWSTR path, LPSECURITY_ATTRIBUTES attributes)
{
    std::wstring host;
    return MapDevicePathToHost(path, &host) && CreateDirectoryW(host.c_str(), attributes);
}

BOOL WINAPI DeviceCreateProcess(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                                LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                                LPPROCESS_INFORMATION info)
{
    if (!IsHelpViewer(application)) return Fail(ERROR_FILE_NOT_FOUND);
    return StartHelpViewer(commandLine, info);
}

bool DeviceFileHolds(LPCWSTR devicePath, const void* data, std::size_t size)
{
    std::wstring host;
    std::string content;
    if (!data || !MapDevicePathToHost(devicePath, &host) || size > MAXDWORD - 1) return false;
    // One byte past the wanted size tells a longer file from an equal one.
    if (!ReadWholeFile(host, &content, static_cast<DWORD>(size) + 1)) return false;
    return content.size() == size && content.compare(0, size, static_cast<const char*>(data), size) == 0;
}

bool WriteDeviceFile(LPCWSTR devicePath, const void* data, std::size_t size)
{
    std::wstring host;
    if (!data) return Fail(ERROR_INVALID_PARAMETER);
    return MapDevicePathToHost(devicePath, &host) && WriteWholeFile(host, data, size);
}
