// What the desktop backends share (see desktop.h).
#include "platform/drivers/desktop.h"
#include <cstdio>
#include <cstdlib>
#include "platform/gdi/objects.h"
#include "platform/gdi/surface.h"
#include "platform/kernel/host_text.h"
#include "platform/shell/shell_windows.h"

namespace {

// Top-level windows come top first: the last of the program's own is its main window.
BOOL CALLBACK NoteProgramWindow(HWND hwnd, LPARAM bottomMost)
{
    if (IsProgramWindow(hwnd)) *reinterpret_cast<HWND*>(bottomMost) = hwnd;
    return TRUE;
}

int FloorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The largest factor whose window takes at most numerator/denominator of the usable area.
int LargestScaleWithin(int usableWidth, int usableHeight, long long numerator, long long denominator)
{
    int scale = 1;
    while (scale < kMaxScreenScale &&
           denominator * kScreenWidth * (scale + 1) <= numerator * usableWidth &&
           denominator * kScreenHeight * (scale + 1) <= numerator * usableHeight) {
        ++scale;
    }
    return scale;
}

}  // namespace

int DefaultWindowScale(int usableWidth, int usableHeight)
{
    return LargestScaleWithin(usableWidth, usableHeight, 17, 20);  // 85%, in whole numbers
}

int LargestFittingScale(int usableWidth, int usableHeight)
{
    return LargestScaleWithin(usableWidth, usableHeight, 1, 1);
}

int ChooseWindowScale(int requested, double dpi, int usableWidth, int usableHeight, std::string* lowered)
{
    if (lowered) lowered->clear();
    if (requested < 1 || requested > kMaxScreenScale) {
        return ScaleForDensity(dpi, DefaultWindowScale(usableWidth, usableHeight));
    }
    if (usableWidth <= 0 || usableHeight <= 0) return requested;  // nothing known to fit
    int fits = LargestFittingScale(usableWidth, usableHeight);
    if (requested <= fits) return requested;
    if (lowered) {
        char line[160];
        std::snprintf(line, sizeof line, "--scale %d does not fit the screen's %d x %d pixels; using %d", requested,
                      usableWidth, usableHeight, fits);
        *lowered = line;
    }
    return fits;
}

int ChooseWindowScaleLoudly(int requested, double dpi, int usableWidth, int usableHeight)
{
    std::string lowered;
    int scale = ChooseWindowScale(requested, dpi, usableWidth, usableHeight, &lowered);
    if (!lowered.empty()) std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, lowered.c_str());
    return scale;
}

POINT DevicePointFromWindow(int x, int y, int scale)
{
    if (scale < 1) scale = 1;
    return POINT{FloorDiv(x, scale), FloorDiv(y, scale)};
}

HWND DesktopMainWindow()
{
    HWND bottomMost = nullptr;
    EnumWindows(NoteProgramWindow, reinterpret_cast<LPARAM>(&bottomMost));
    return bottomMost;
}

bool DesktopTitle(std::string* utf8)
{
    HWND main = DesktopMainWindow();
    std::u16string title(static_cast<std::size_t>(GetWindowTextLength(main)) + 1, u'\0');
    title.resize(static_cast<std::size_t>(GetWindowText(main, title.data(), static_cast<int>(title.size()))));
    return !title.empty() && Utf16ToUtf8(title, utf8);
}

const std::vector<IconImage>* DesktopIconImages()
{
    HWND main = DesktopMainWindow();
    return main ? IconImagesOf(reinterpret_cast<HICON>(GetClassLongPtr(main, GCLP_HICON))) : nullptr;
}

