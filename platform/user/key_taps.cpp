// Keys that tap dialog controls (see key_taps.h for the rules). One key is held at a time: the
// keyboard has one set of fingers, and a second key completes the first key's tap. Written over
// the public API, so that the Windows build runs the same rules on the real user32 buttons.
// Knowingly lacks: keys with Alt (WM_SYSKEYDOWN / WM_SYSCHAR never tap), dead-key composition
// beyond what the backend hands over as finished characters.
#include "platform/user/key_taps.h"
#include <algorithm>
#include <map>
#include <vector>

namespace {

struct KeyTapTable {
    const KEYTAP* entries = nullptr;
    std::size_t count = 0;
};

std::map<HINSTANCE, KeyTapTable>& Tables()
{
    static std::map<HINSTANCE, KeyTapTable> tables;
    return tables;
}

struct KeyState {
    WPARAM downKey = 0;       // the virtual key down and not yet up: typed characters come of it
    bool downKeyUsed = false; // it already tapped, or already typed its character
    WPARAM heldKey = 0;       // the key whose control shows pressed
    HWND heldButton = nullptr;
};
KeyState g_keys;
bool g_keyboardCues = false;

bool IsRepeat(LPARAM lParam)
{
    return (lParam & (LPARAM(1) << 30)) != 0;
}

bool CtrlHeld()
{
    return GetKeyState(VK_CONTROL) < 0;
}

HINSTANCE InstanceOf(HWND hwnd)
{
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtr(hwnd, GWLP_HINSTANCE));
}

// Class names compare without case, as Win32's do ("Button" is the system's spelling).
bool IsOfClass(HWND hwnd, const char* className)
{
    WCHAR name[16];
    int length = GetClassName(hwnd, name, 16);
    int i = 0;
    for (; i < length && className[i]; ++i) {
        auto lower = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(static_cast<unsigned>(name[i])) != lower(static_cast<unsigned char>(className[i]))) return false;
    }
    return length > 0 && i == length && !className[i];
}

bool IsButton(HWND hwnd)
{
    return IsOfClass(hwnd, "button");
}

bool IsDialog(HWND hwnd)
{
    return IsOfClass(hwnd, "#32770");
}

int ControlIdFor(HINSTANCE instance, BYTE kind, WPARAM key)
{
    auto it = Tables().find(instance);
    if (it == Tables().end()) return 0;
    for (std::size_t i = 0; i < it->second.count; ++i) {
        const KEYTAP& e = it->second.entries[i];
        if ((e.fVirt & FVIRTKEY) == kind && e.key == key) return e.id;
    }
    return 0;
}

bool StyleShown(HWND hwnd)
{
    return (GetWindowLong(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

// A button shown and enabled up to its top-level window.
bool Pressable(HWND button)
{
    if (!IsButton(button)) return false;
    HWND top = GetAncestor(button, GA_ROOT);
    for (HWND w = button; w && w != top; w = GetAncestor(w, GA_PARENT)) {
        if (!StyleShown(w) || !IsWindowEnabled(w)) return false;
    }
    return top && IsWindowEnabled(top) && KeyTapsReachWindow(top);
}

// The shown control `id` of a shown dialog at or under `window`, child dialogs first.
HWND FindTapTarget(HWND window, HWND top, int id)
{
    if (window != top && !StyleShown(window)) return nullptr;
    HWND first = GetWindow(window, GW_CHILD);
    if (!first) return nullptr;  // a key itself: no class to ask on every key press
    for (HWND kid = first; kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if (HWND found = FindTapTarget(kid, top, id)) return found;
    }
    if (!IsDialog(window)) return nullptr;
    for (HWND kid = first; kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(kid) == id && Pressable(kid)) return kid;
    }
    return nullptr;
}

HWND TargetFor(HWND hwnd, BYTE kind, WPARAM key)
{
    HWND top = GetAncestor(hwnd, GA_ROOT);
    int id = top ? ControlIdFor(InstanceOf(top), kind, key) : 0;
    return id ? FindTapTarget(top, top, id) : nullptr;
}

// Release, and click only if the control is still shown pressed: a pen may have released it,
// or a mode switch hidden it, since the key went down.
void CompleteHeldTap()
{
    HWND button = g_keys.heldButton;
    g_keys.heldButton = nullptr;
    g_keys.heldKey = 0;
    if (!IsWindow(button)) return;
    bool stillPressed = (SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    if (stillPressed && Pressable(button)) {
        SendMessage(button, BM_CLICK, 0, 0);
    } else {
        SendMessage(button, BM_SETSTATE, FALSE, 0);
    }
}

void Hold(HWND button, WPARAM key)
{
    if (g_keys.heldButton) CompleteHeldTap();
    g_keys.heldButton = button;
    g_keys.heldKey = key;
    SendMessage(button, BM_SETSTATE, TRUE, 0);
}

// The dialog controls under `hwnd` in creation order, hidden ones included (the focus may sit on
// a key a mode switch hid, and moves on from its place).
void CollectControls(HWND hwnd, std::vector<HWND>* out)
{
    for (HWND kid = GetWindow(hwnd, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if (IsDialog(hwnd) && IsButton(kid)) out->push_back(kid);
        CollectControls(kid, out);
    }
}

void MoveFocus(HWND hwnd, bool backwards)
{
    std::vector<HWND> controls;
    CollectControls(GetAncestor(hwnd, GA_ROOT), &controls);
    int count = static_cast<int>(controls.size());
    if (count == 0) return;
    auto it = std::find(controls.begin(), controls.end(), GetFocus());
    int at = it == controls.end() ? (backwards ? count : -1) : static_cast<int>(it - controls.begin());
    bool wasShown = g_keyboardCues;
    g_keyboardCues = true;
    for (int step = 1; step <= count; ++step) {
        HWND next = controls[static_cast<std::size_t>(((at + (backwards ? -step : step)) % count + count) % count)];
        if (!Pressable(next)) continue;
        if (next == GetFocus() && !wasShown) InvalidateRect(next, nullptr, FALSE);  // the ring appears where it is
        SetFocus(next);
        return;
    }
}

HWND FocusedPressable(HWND hwnd)
{
    HWND focus = GetFocus();
    return focus && GetAncestor(focus, GA_ROOT) == GetAncestor(hwnd, GA_ROOT) && Pressable(focus) ? focus : nullptr;
}

bool IsModifier(WPARAM key)
{
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
}

void OnKeyDown(HWND hwnd, WPARAM key, LPARAM lParam)
{
    if (IsModifier(key)) return;  // Shift only changes the character that comes next
    g_keys.downKey = key;
    if (IsRepeat(lParam)) {
        // Neither the repeat nor the characters it types tap again.
        g_keys.downKeyUsed = true;
        return;
    }
    g_keys.downKeyUsed = false;
    if (g_keys.heldButton && g_keys.heldKey != key) CompleteHeldTap();
    if (CtrlHeld()) return;
    HWND button = TargetFor(hwnd, FVIRTKEY, key);
    if (!button && key == VK_TAB && KeyTapsMoveFocus()) {
        g_keys.downKeyUsed = true;
        MoveFocus(hwnd, GetKeyState(VK_SHIFT) < 0);
        return;
    }
    if (!button && key == VK_SPACE && KeyTapsMoveFocus()) button = FocusedPressable(hwnd);
    if (!button) return;
    g_keys.downKeyUsed = true;
    Hold(button, key);
}

void OnChar(HWND hwnd, WPARAM ch)
{
    if (CtrlHeld() || (g_keys.downKey && g_keys.downKeyUsed)) return;
    if (g_keys.downKey) g_keys.downKeyUsed = true;
    HWND button = TargetFor(hwnd, 0, ch);
    if (!button) return;
    if (g_keys.downKey) {
        Hold(button, g_keys.downKey);
        return;
    }
    if (g_keys.heldButton) CompleteHeldTap();
    SendMessage(button, BM_CLICK, 0, 0);
}

void OnKeyUp(WPARAM key)
{
    if (key == g_keys.downKey) {
        g_keys.downKey = 0;
        g_keys.downKeyUsed = false;
    }
    if (g_keys.heldButton && key == g_keys.heldKey) CompleteHeldTap();
}

}  // namespace

void RegisterKeyTaps(HINSTANCE instance, const KEYTAP* table, std::size_t count)
{
    if (!table || count == 0) {
        Tables().erase(instance);
        return;
    }
    Tables()[instance] = KeyTapTable{table, count};
}

bool HasKeyTaps(HWND root)
{
    return Tables().count(InstanceOf(root)) != 0;
}

bool KeyboardCuesShown()
{
    return g_keyboardCues;
}

void HandleKeyTapMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(hwnd)) return;
    switch (msg) {
    case WM_KEYDOWN: OnKeyDown(hwnd, wParam, lParam); break;
    case WM_CHAR:    OnChar(hwnd, wParam); break;
    case WM_KEYUP:   OnKeyUp(wParam); break;
    }
}
