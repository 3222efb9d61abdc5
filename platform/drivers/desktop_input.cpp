// Desktop input into pen and key messages (see desktop_input.h). Keys and typed text go to the
// active top-level window, not to a focused control: the face's keys are pressed with the pen and
// never take the keyboard focus.
#include "platform/drivers/desktop_input.h"
#include <deque>
#include "platform/user/input.h"
#include "platform/user/input.h"
#include "platform/user/rect.h"
#include "platform/gdi/surface.h"

namespace {

std::deque<DesktopInput> g_backlog;  // not yet turned into messages, in arrival order
bool g_checkingQueue = false;
bool g_penDown = false;

bool IsKey(const DesktopInput& e)
{
    return e.kind == DesktopInput::KeyDown || e.kind == DesktopInput::KeyUp || e.kind == DesktopInput::Text;
}

bool KeyMessagesQueued()
{
    MSG msg;
    g_checkingQueue = true;
    BOOL queued = PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_SYSCHAR, PM_NOREMOVE);
    g_checkingQueue = false;
    return queued != FALSE;
}

void PostPen(const DesktopInput& e)
{
    if (e.kind == DesktopInput::PenDown) {
        g_penDown = true;
        InjectPenDown(e.point);
    } else if (e.kind == DesktopInput::PenMove && g_penDown) {
        InjectPenMove(e.point);
    } else if (e.kind == DesktopInput::PenUp && g_penDown) {
        g_penDown = false;
        InjectPenUp(e.point);
    }
}

void PostKey(const DesktopInput& e)
{
    HWND active = GetActiveWindow();
    if (e.kind == DesktopInput::Text) {
        if (!active) return;
        for (char16_t unit : e.text) PostMessage(active, WM_CHAR, unit, 1);
        return;
    }
    SetModifierState(e.ctrl, e.shift, e.alt);
    if (!active || !e.virtualKey) return;
    bool down = e.kind == DesktopInput::KeyDown;
    bool system = e.alt && !e.ctrl;
    UINT msg = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1 | (static_cast<LPARAM>(e.scanCode & 0xFF) << 16);
    if (!down || e.repeat) lParam |= LPARAM(1) << 30;
    if (!down) lParam |= LPARAM(1) << 31;
    PostMessage(active, msg, static_cast<WPARAM>(e.virtualKey), lParam);
}

}  // namespace

void QueueDesktopInput(DesktopInput input)
{
    g_backlog.push_back(std::move(input));
}

bool DesktopInputReady()
{
    return !g_backlog.empty() && !(IsKey(g_backlog.front()) && KeyMessagesQueued());
}

void RunDesktopInput()
{
    while (DesktopInputReady()) {
        DesktopInput e = std::move(g_backlog.front());
        g_backlog.pop_front();  // before handling: a handler may pump again
        if (IsKey(e)) PostKey(e);
        else PostPen(e);
    }
}

bool CheckingDesktopInput()
{
    return g_checkingQueue;
}

void ClearDesktopInput()
{
    g_backlog.clear();
    g_penDown = false;
}

int VirtualKeyFromCharacter(char32_t c)
{
    struct CharKey {
        char32_t c;
        int vk;
    };
    static const CharKey kCharKeys[] = {
        /* character  virtual key */
        {U'\r',       VK_RETURN},
        {U'\b',       VK_BACK},
        {U'\t',       VK_TAB},
        {U'\x1b',     VK_ESCAPE},
        {U'\x7f',     VK_DELETE},
        {U' ',        VK_SPACE},
        {U'+',        VK_OEM_PLUS},
        {U'=',        VK_OEM_PLUS},
        {U',',        VK_OEM_COMMA},
        {U'-',        VK_OEM_MINUS},
        {U'.',        VK_OEM_PERIOD},
        {U'/',        VK_OEM_2},  // the rest of the punctuation keys: a typed '/' or '^'
        {U'`',        VK_OEM_3},  // is tied to the key that went down and comes up
        {U'[',        VK_OEM_4},
        {U'\\',       VK_OEM_5},
        {U']',        VK_OEM_6},
        {U'\'',       VK_OEM_7},
        {U';',        VK_OEM_1},
    };
    if (c >= U'a' && c <= U'z') return int('A' + (c - U'a'));
    if (c >= U'0' && c <= U'9') return int(c);
    for (const CharKey& k : kCharKeys) {
        if (k.c == c) return k.vk;
    }
    return 0;
}
