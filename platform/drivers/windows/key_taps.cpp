// Keys that tap dialog controls on Windows, with the rules of the platform's own key taps: a key
// reaching a top-level window's default procedure presses the shown control of its table while
// held and clicks it on release; repeats tap nothing; a second key completes the first's tap; a
// character coming of a key that already tapped is that key's own text; Ctrl+keys are shortcuts.
// Written over the public API: the controls are the real user32 buttons.
#define DEVICE_API_NO_REDIRECT
#include <map>
#include "platform/drivers/windows/device_api.h"
#include "platform/drivers/windows/windows_driver.h"
#include "platform/extras.h"

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
    WPARAM downKey = 0;        // the virtual key down and not yet up: typed characters come of it
    bool downKeyUsed = false;  // it already tapped, or already typed its character
    WPARAM heldKey = 0;        // the key whose control shows pressed
    HWND heldButton = nullptr;
};
KeyState g_keys;

HINSTANCE InstanceOf(HWND hwnd)
{
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
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
    return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

// Shown and enabled up to its top-level window; headless top-level windows are never shown, so
// their own visibility does not count.
bool Pressable(HWND button, HWND top)
{
    WCHAR cls[16];
    if (!GetClassNameW(button, cls, 16) || lstrcmpiW(cls, L"BUTTON") != 0) return false;
    for (HWND w = button; w && w != top; w = GetParent(w)) {
        if (!StyleShown(w) || !IsWindowEnabled(w)) return false;
    }
    return IsWindowEnabled(top);
}

bool IsDialog(HWND hwnd)
{
    return GetWindowLongPtrW(hwnd, DWLP_DLGPROC) != 0;
}

// The shown control `id` of a shown dialog at or under `window`, topmost dialog first.
HWND FindTapTarget(HWND window, HWND top, int id)
{
    if (window != top && !StyleShown(window)) return nullptr;
    for (HWND kid = GetWindow(window, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if (HWND found = FindTapTarget(kid, top, id)) return found;
    }
    if (!IsDialog(window)) return nullptr;
    HWND control = GetDlgItem(window, id);
    return control && GetParent(control) == window && Pressable(control, top) ? control : nullptr;
}

HWND TargetFor(HWND hwnd, BYTE kind, WPARAM key)
{
    HWND top = GetAncestor(hwnd, GA_ROOT);
    int id = top ? ControlIdFor(InstanceOf(top), kind, key) : 0;
    return id ? FindTapTarget(top, top, id) : nullptr;
}

void CompleteHeldTap()
{
    HWND button = g_keys.heldButton;
    g_keys.heldButton = nullptr;
    g_keys.heldKey = 0;
    if (!IsWindow(button)) return;
    bool stillPressed = (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    if (stillPressed && Pressable(button, GetAncestor(button, GA_ROOT))) {
        SendMessageW(button, BM_SETSTATE, FALSE, 0);
        SendMessageW(button, BM_CLICK, 0, 0);
    } else {
        SendMessageW(button, BM_SETSTATE, FALSE, 0);
    }
}

void Hold(HWND button, WPARAM key)
{
    if (g_keys.heldButton) CompleteHeldTap();
    g_keys.heldButton = button;
    g_keys.heldKey = key;
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
}

bool IsModifier(WPARAM key)
{
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
}

bool CtrlHeld()
{
    return GetKeyState(VK_CONTROL) < 0;
}

void OnKeyDown(HWND hwnd, WPARAM key, LPARAM lParam)
{
    if (IsModifier(key)) return;
    g_keys.downKey = key;
    if (lParam & (LPARAM(1) << 30)) {
        g_keys.downKeyUsed = true;  // a repeat, and the characters it types, tap nothing
        return;
    }
    g_keys.downKeyUsed = false;
    if (g_keys.heldButton && g_keys.heldKey != key) CompleteHeldTap();
    if (CtrlHeld()) return;
    HWND button = TargetFor(hwnd, FVIRTKEY, key);
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
    SendMessageW(button, BM_CLICK, 0, 0);
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

LRESULT WINAPI DeviceDefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN: OnKeyDown(hwnd, wParam, lParam); break;
    case WM_CHAR:    OnChar(hwnd, wParam); break;
    case WM_KEYUP:   OnKeyUp(wParam); break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
