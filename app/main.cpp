// Process entry: the desktop window, the headless driver, set-up, help and version.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "app/app.h"
#include "app/device_setup.h"
#include "app/driver_tokens.h"
#include "app/headless_driver.h"
#include "app/scale_option.h"
#include "platform/extras.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

void PrintUsage()
{
    std::fputs("usage: quorix [--scale N]              start the calculator in a desktop window\n"
                 "       quorix --setup                  install the help files and the registry key\n"
                 "       quorix --headless [--keys TOKENS | --taps TOKENS] [--trace]\n"
                 "                         [--screenshot FILE.png] [--scale N]\n"
                 "       quorix --help | --version\n\n"
                 "  --scale N            draw the device screen at N times its resolution, 1 to 16, text\n"
                 "                       sharp at every size (window: default from the desktop's density,\n"
                 "                       at most what fits; headless: the screenshot's size, default 1)\n"
                 "  --setup              put the help pages in the device's \\Windows folder and create the\n"
                 "                       registry key, under $QUORIX_DEVICE_ROOT (default\n"
                 "                       ~/.local/share/quorix/device)\n"
                 "  --headless           run without a window; prints the number shown at the end\n"
                 "  --keys TOKENS        give each token's command to the face (--keys - reads stdin)\n"
                 "  --taps TOKENS        tap each token's key on the device screen, as a stylus would\n"
                 "  --trace              print the state as JSON after start-up and after each token\n"
                 "  --screenshot FILE    write the device screen as a PNG image after the last token\n\n"
                 "The window goes straight to X11 when DISPLAY is set, else through SDL2;\n"
                 "QUORIX_BACKEND=x11 or QUORIX_BACKEND=sdl asks for one of them alone.\n\n"
                 "Exit status: 0 done; 1 no display, or the output, the screenshot or set-up failed;\n"
                 "2 bad option, unknown token or unreadable token input. More in quorix(1).\n\n"
                 "Key tokens (separated by white space; --keys - reads them from standard input):\n",
               stdout);
    std::fputs(KeyTokenHelp().c_str(), stdout);
}

int RunDesktop(int scale)
{
    if (!OpenDesktopWindow(scale)) {
        std::fputs("quorix: cannot open a window: no display found (DISPLAY is unset or unreachable); "
                   "to run without one: quorix --headless --keys \"1 + 2 =\"\n",
                   stderr);
        return 1;
    }
    EnableCrossProcessWindows(true);
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    WCHAR commandLine[] = TEXT("");
    int status = AppMain(instance, nullptr, commandLine, SW_SHOW);
    CloseDesktopWindow();
    return status;
}

// Output that could not be written is a failure, whatever else went well: a full disk or a
// closed standard output must not look like success.
int WithOutputChecked(int status)
{
    errno = 0;
    std::fflush(stdout);
    int error = errno;
    if (!std::ferror(stdout)) return status;
    std::fprintf(stderr, "quorix: cannot write the output%s%s\n", error ? ": " : "", error ? std::strerror(error) : "");
    return status == 0 ? 1 : status;
}

int RunCommandLine(int argc, char** argv)
{
    SetProgramName(PROGRAM_NAME);
    std::string first = argc > 1 ? argv[1] : "";
    bool alone = argc == 2;
    if ((first == "--help" || first == "-h" || first == "--version") && !alone) {
        std::fprintf(stderr, "quorix: %s takes nothing more ('%s' given)\n", first.c_str(), ShownText(argv[2]).c_str());
        return 2;
    }
    if (first == "--help" || first == "-h") {
        PrintUsage();
        return 0;
    }
    if (first == "--version") {
        std::fputs("quorix 3.12\n", stdout);
        return 0;
    }
    if (first == "--headless") return RunHeadless(argc - 2, argv + 2);
    if (first == "--setup" && argc == 2) {
        if (InstallDeviceFiles()) return 0;
        std::fputs("quorix: could not install the help files or the registry key\n", stderr);
        return 1;
    }
    int scale = 0;  // the largest that fits the desktop
    if (first == "--scale") {
        // "--scale" alone or with more after it reads as a bad number.
        if (!ParseScaleOption(argc == 3 ? argv[2] : "", &scale)) return 2;
    } else if (argc != 1) {
        std::fprintf(stderr, "quorix: unknown option '%s' (see quorix --help)\n", ShownText(first).c_str());
        return 2;
    }
    return RunDesktop(scale);
}

}  // namespace

int main(int argc, char** argv)
{
    int status = RunCommandLine(argc, argv);
    // Closed by a signal: say so in the status, as a process ended by it would.
    if (int signal = EndingSignal()) status = 128 + signal;
    return WithOutputChecked(status);
}
