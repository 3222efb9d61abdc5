// CreateProcess for the device programs the layer knows: "\windows\peghelp.exe", the help
// viewer, runs $<PROGRAM>_HELP_VIEWER with the host path of the page (tests put a recorder there),
// or else xdg-open with the page's browser-ready copy. The viewer is started in its own session
// with no descriptor of ours but its standard output and error, and is reaped when it ends so it
// never lingers as a zombie. Knowingly lacks: every other device program (ERROR_FILE_NOT_FOUND).
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include "platform/kernel/device_paths.h"
#include "platform/kernel/help_mirror.h"
#include "platform/kernel/host_dirs.h"
#include "platform/kernel/host_errors.h"
#include "platform/kernel/handles.h"

extern char** environ;

namespace {

using ProgramStart = bool (*)(const std::string& argumentHostPath, pid_t* pid);

struct DeviceProgram {
    const char* hostPathUnderRoot;  // lower case, as matched
    ProgramStart start;
};

bool StartHelpViewer(const std::string& pageHostPath, pid_t* pid);

const DeviceProgram kDevicePrograms[] = {
    {"windows/peghelp.exe", StartHelpViewer},
};

// Waits for the child in the background: it is ours to reap, and we never wait for it otherwise.
void ReapWhenDone(pid_t pid)
{
    std::thread([pid] {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

bool SpawnDetached(const char* program, const std::string& argument, pid_t* pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument.c_str()), nullptr};
    int error = posix_spawnp(pid, program, &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        SetLastError(Win32ErrorFromErrno(error));
        return false;
    }
    ReapWhenDone(*pid);
    return true;
}

bool StartHelpViewer(const std::string& pageHostPath, pid_t* pid)
{
    if (const char* viewer = ProgramVariable("HELP_VIEWER")) {
        return SpawnDetached(viewer, pageHostPath, pid);
    }
    std::string copy;
    if (!MirrorHelpPages(pageHostPath, &copy)) copy = pageHostPath;
    return SpawnDetached("xdg-open", copy, pid);
}

std::string LowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

const DeviceProgram* FindDeviceProgram(LPCWSTR application)
{
    std::string host;
    if (!MapDevicePath(application, &host)) return nullptr;
    std::string root = DeviceRoot();
    if (host.size() <= root.size() + 1) return nullptr;
    std::string underRoot = LowerAscii(host.substr(root.size() + 1));
    for (const DeviceProgram& program : kDevicePrograms) {
        if (underRoot == program.hostPathUnderRoot) return &program;
    }
    return nullptr;
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// Splits a command line the Win32 way: a first token, quoted or ending at a blank, and the rest.
void SplitCommandLine(std::u16string_view line, std::u16string* first, std::u16string* rest)
{
    std::size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) ++at;
    std::size_t end;
    if (at < line.size() && line[at] == u'"') {
        end = line.find(u'"', at + 1);
        *first = line.substr(at + 1, end == line.npos ? line.npos : end - at - 1);
        end = end == line.npos ? line.size() : end + 1;
    } else {
        end = at;
        while (end < line.size() && !IsBlank(line[end])) ++end;
        *first = line.substr(at, end - at);
    }
    *rest = line.substr(end);
}

// The one argument the device programs take: the command line without blanks or quotes around it.
std::u16string SoleArgument(std::u16string_view text)
{
    std::size_t start = 0, end = text.size();
    while (start < end && IsBlank(text[start])) ++start;
    while (end > start && IsBlank(text[end - 1])) --end;
    if (end - start >= 2 && text[start] == u'"' && text[end - 1] == u'"') {
        ++start;
        --end;
    }
    return std::u16string(text.substr(start, end - start));
}

}  // namespace

BOOL CreateProcess(LPCWSTR application, LPWSTR commandLine, SECURITY_ATTRIBUTES*, SECURITY_ATTRIBUTES*, BOOL,
                   DWORD, LPVOID, LPCWSTR, STARTUPINFO*, PROCESS_INFORMATION* processInformation)
{
    if (!processInformation || (!application && !commandLine)) return FailWith(ERROR_INVALID_PARAMETER);
    std::u16string program, arguments;
    if (application) {
        program = application;
        if (commandLine) arguments = commandLine;
    } else {
        SplitCommandLine(commandLine, &program, &arguments);
    }
    const DeviceProgram* known = FindDeviceProgram(program.c_str());
    if (!known) return FailWith(ERROR_FILE_NOT_FOUND);
    std::u16string argument = SoleArgument(arguments);
    std::string argumentHost;
    if (argument.empty()) return FailWith(ERROR_INVALID_PARAMETER);
    if (!MapDevicePath(argument.c_str(), &argumentHost)) return FALSE;
    pid_t pid = 0;
    if (!known->start(argumentHost, &pid)) return FALSE;
    processInformation->hProcess = NewKernelHandle(KernelObjectKind::kProcess, pid);
    processInformation->hThread = NewKernelHandle(KernelObjectKind::kThread, pid);
    processInformation->dwProcessId = static_cast<DWORD>(pid);
    processInformation->dwThreadId = static_cast<DWORD>(pid);
    return TRUE;
}
