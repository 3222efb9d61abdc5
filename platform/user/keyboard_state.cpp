// The modifier keys' state as the backends last reported it, read back through GetKeyState.
// Knowingly lacks: the state of other keys and toggle states (Caps Lock).
#include "platform/user/window_internal.h"

namespace {

bool g_ctrl = false, g_shift = false, g_alt = false;

}  // namespace

void SetModifierState(bool ctrl, bool shift, bool alt)
{
    g_ctrl = ctrl;
    g_shift = shift;
    g_alt = alt;
}

SHORT GetKeyState(int virtualKey)
{
    bool down = (virtualKey == VK_CONTROL && g_ctrl) || (virtualKey == VK_SHIFT && g_shift) ||
                (virtualKey == VK_MENU && g_alt);
    return down ? static_cast<SHORT>(0x8000) : 0;
}
