// Process entry: the headless driver, the desktop window, set-up, help and version.
#include <cstring>
#include <iostream>
#include "app/app.h"
#include "app/driver_tokens.h"
#include "app/headless_driver.h"

namespace {

void PrintUsage()
{
    std::cout << "usage: quorix [--scale N]              start the calculator in a desktop window\n"
                 "       quorix --headless [--keys TOKENS | --taps TOKENS] [--trace]\n"
                 "                         [--screenshot FILE.png] [--scale N]\n"
                 "       quorix --help | --version\n\n"
                 "Key tokens (separated by white space; --keys - reads them from standard input):\n"
              << KeyTokenHelp();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "quorix 3.12\n";
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--headless") == 0) return RunHeadless(argc - 2, argv + 2);
    std::cerr << "quorix: the desktop window is not built yet; run quorix --headless --keys \"1 + 2 =\"\n";
    return 2;
}
