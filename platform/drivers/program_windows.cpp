// What every desktop backend does alike with the program's windows, over the public API.
#include "platform/drivers/program_windows.h"
#include "platform/kernel/host_text.h"
#include "platform/shell/shell_windows.h"

namespace {

BOOL CALLBACK NoteProgramWindow(HWND hwnd, LPARAM bottomMost)
{
    if (IsProgramWindow(hwnd)) *reinterpret_cast<HWND*>(bottomMost) = hwnd;
    return TRUE;
}

}  // namespace

std::string ActiveWindowTitle()
{
    HWND active = GetActiveWindow();
    std::u16string title(static_cast<std::size_t>(GetWindowTextLength(active)) + 1, u'\0');
    title.resize(static_cast<std::size_t>(GetWindowText(active, title.data(), static_cast<int>(title.size()))));
    std::string utf8;
    return Utf16ToUtf8(title, &utf8) ? utf8 : std::string();
}

void CloseProgram()
{
    HWND bottomMost = nullptr;
    EnumWindows(NoteProgramWindow, reinterpret_cast<LPARAM>(&bottomMost));
    if (bottomMost) {
        PostMessage(bottomMost, WM_CLOSE, 0, 0);
    } else {
        PostQuitMessage(0);
    }
}
