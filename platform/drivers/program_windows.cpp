// What every desktop backend does alike with the program's windows, over the public API.
#include "platform/drivers/program_windows.h"
#include "platform/kernel/host_text.h"
#include "platform/windows.h"

std::string ActiveWindowTitle()
{
    HWND active = GetActiveWindow();
    std::u16string title(static_cast<std::size_t>(GetWindowTextLength(active)) + 1, u'\0');
    title.resize(static_cast<std::size_t>(GetWindowText(active, title.data(), static_cast<int>(title.size()))));
    std::string utf8;
    return Utf16ToUtf8(title, &utf8) ? utf8 : std::string();
}
