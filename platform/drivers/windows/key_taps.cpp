// Keys on Windows go through the platform's key taps (platform/user/key_taps.cpp), written over
// the public API: a key reaching a top-level window's default procedure taps the real buttons.
#define DEVICE_API_NO_REDIRECT
#include "platform/drivers/windows/device_api.h"
#include "platform/drivers/windows/windows_driver.h"
#include "platform/user/key_taps.h"

// The headless windows are never shown, so the top-level window's own visibility does not
// count; the program draws the keys without a focus ring, so the focus keys stay off.
bool KeyTapsReachWindow(HWND)
{
    return true;
}

bool KeyTapsMoveFocus()
{
    return false;
}

LRESULT WINAPI DeviceDefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HandleKeyTapMessage(hwnd, msg, wParam, lParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
