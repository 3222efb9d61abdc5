// The window core's one observer (see window_observer.h).
#include "platform/user/window_observer.h"

namespace {

const WindowObserver* g_observer = nullptr;

}  // namespace

void SetWindowObserver(const WindowObserver* observer)
{
    g_observer = observer;
}

void NotifyWindowChange(HWND hwnd, WindowChange change)
{
    if (g_observer && g_observer->changed) g_observer->changed(hwnd, change);
}

void NotifyPainting(HWND hwnd, HDC hdc, const RECT& area, bool begins)
{
    if (g_observer && g_observer->painting) g_observer->painting(hwnd, hdc, area, begins);
}
