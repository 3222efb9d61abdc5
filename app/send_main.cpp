// quorix-send: gives the running program one of its main window's commands, the way any other
// program of the same user may. `quorix-send COMMAND`, COMMAND a number (40008) or a name.
// Exit code 0 when the command was delivered, 1 when no running program took it, 2 on bad usage.
#include <cstdio>
#include <cstring>
#include "platform/extras.h"
#include "platform/windows.h"
#include "resources/resource_ids.h"

#define SEND_EXIT_DELIVERED 0
#define SEND_EXIT_NOT_RUNNING 1
#define SEND_EXIT_USAGE 2

struct SendCommandName {
    const char* name;
    WORD command;
};

static const SendCommandName SEND_COMMAND_NAMES[] = {
    /* name         command */
    {"exit",        IDM_EXIT},
    {"about",       IDM_ABOUT},
    {"help",        IDM_HELP_CONTENTS},
    {"uninstall",   IDM_UNINSTALL},
};

// A decimal command number of 1 to 65535: the low word of WM_COMMAND's wParam.
static bool ParseCommandNumber(const char* text, WORD* command)
{
    unsigned long value = 0;
    if (!*text) return false;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        value = value * 10 + static_cast<unsigned long>(*c - '0');
        if (value > 0xFFFF) return false;
    }
    if (value == 0) return false;
    *command = static_cast<WORD>(value);
    return true;
}

static bool ParseCommand(const char* text, WORD* command)
{
    for (const SendCommandName& entry : SEND_COMMAND_NAMES) {
        if (std::strcmp(entry.name, text) == 0) {
            *command = entry.command;
            return true;
        }
    }
    return ParseCommandNumber(text, command);
}

static int ShowUsage()
{
    std::fprintf(stderr,
                 "usage: quorix-send COMMAND\n"
                 "  COMMAND is a command number (1-65535) or one of: exit, about, help, uninstall\n");
    return SEND_EXIT_USAGE;
}

int main(int argc, char** argv)
{
    SetProgramName(PROGRAM_NAME);
    EnableCrossProcessWindows(true);
    WORD command = 0;
    if (argc != 2 || !ParseCommand(argv[1], &command)) return ShowUsage();
    HWND window = FindWindow(STR_WINDOW_CLASS, STR_APP_TITLE);
    if (!window) {
        std::fprintf(stderr, "quorix-send: Quorix is not running\n");
        return SEND_EXIT_NOT_RUNNING;
    }
    SetLastError(ERROR_SUCCESS);
    SendMessage(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    if (GetLastError() != ERROR_SUCCESS) {
        std::fprintf(stderr, "quorix-send: the running Quorix did not take the command\n");
        return SEND_EXIT_NOT_RUNNING;
    }
    return SEND_EXIT_DELIVERED;
}
