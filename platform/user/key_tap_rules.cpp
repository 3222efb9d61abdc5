// The platform's own windows: keys reach only a shown window, and its buttons draw the focus
// ring, so Tab and Space work.
#include "platform/user/key_taps.h"

bool KeyTapsReachWindow(HWND root)
{
    return IsWindowVisible(root) != FALSE;
}

bool KeyTapsMoveFocus()
{
    return true;
}
