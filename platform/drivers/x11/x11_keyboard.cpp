// The X11 window's keyboard (see x11_keyboard.h). Each key event carries the modifier and layout
// state it was pressed in, and that state is what turns its key code into a key symbol, so no
// keyboard state is tracked between events. Dead keys and the Compose key go through the
// locale's compose table, loaded when the first such key is pressed. Repeats are told by the
// server (detectable auto-repeat) and recognised as a press of a key already down.
// Knowingly lacks: latched modifiers (sticky keys).
#include "platform/drivers/x11/x11_keyboard.h"
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <bitset>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>
#include "platform/drivers/desktop_input.h"
#include "platform/kernel/host_text.h"
#include "platform/kernel/shared_library.h"
#include "platform/win_user.h"

namespace {

constexpr const char* kXkbLibrary = "libxkbcommon-x11.so.0";  // brings libxkbcommon and libxcb-xkb

// Every function this file calls, typed by the libraries' own declarations.
#define XKB_FUNCTIONS(X)                                                                                     \
    X(xkb_context_new) X(xkb_context_unref) X(xkb_x11_setup_xkb_extension)                                   \
    X(xkb_x11_get_core_keyboard_device_id) X(xkb_x11_keymap_new_from_device) X(xkb_keymap_unref)             \
    X(xkb_state_new) X(xkb_state_unref) X(xkb_state_update_mask) X(xkb_state_key_get_one_sym)                \
    X(xkb_state_key_get_utf8) X(xkb_compose_table_new_from_locale)                     \
    X(xkb_compose_table_unref) X(xkb_compose_state_new) X(xkb_compose_state_unref)                           \
    X(xkb_compose_state_feed) X(xkb_compose_state_get_status) X(xkb_compose_state_get_utf8)                  \
    X(xkb_compose_state_reset)

// xcb/xkb.h does not compile as C++ (a field is named `explicit`): its one request used here,
// as that header declares it.
struct PerClientFlagsCookie {
    unsigned int sequence;
};
using PerClientFlags = PerClientFlagsCookie (*)(xcb_connection_t*, std::uint16_t deviceSpec, std::uint32_t change,
                                                std::uint32_t value, std::uint32_t ctrlsToChange,
                                                std::uint32_t autoCtrls, std::uint32_t autoCtrlsValues);
constexpr std::uint16_t kUseCoreKeyboard = 256;
constexpr std::uint32_t kDetectableAutoRepeat = 1;

struct XkbApi {
    XKB_FUNCTIONS(LIBRARY_FUNCTION_FIELD)
    std::remove_pointer_t<PerClientFlags>* xcb_xkb_per_client_flags = nullptr;
};

struct Keyboard {
    bool tried = false;  // loading the library: once per run
    bool loaded = false;
    XkbApi api;
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    bool composeTried = false;
    xkb_compose_table* composeTable = nullptr;
    xkb_compose_state* compose = nullptr;
    std::bitset<256> held;  // key codes down
};
Keyboard g_kb;

bool LoadLibrary()
{
    if (g_kb.tried) return g_kb.loaded;
    g_kb.tried = true;
    LibraryLoader library(kXkbLibrary, RTLD_NOW | RTLD_LOCAL);
    auto& api = g_kb.api;
    XKB_FUNCTIONS(LIBRARY_FUNCTION_RESOLVE)
    library.Resolve("xcb_xkb_per_client_flags", g_kb.api.xcb_xkb_per_client_flags);
    if (!library.Ok()) {
        std::fprintf(stderr, "%s: %s; the keyboard is not read\n", program_invocation_short_name, library.error.c_str());
        return false;
    }
    g_kb.loaded = true;
    return true;
}

void DropKeymap()
{
    const XkbApi& x = g_kb.api;
    if (g_kb.state) x.xkb_state_unref(g_kb.state);
    if (g_kb.keymap) x.xkb_keymap_unref(g_kb.keymap);
    g_kb.state = nullptr;
    g_kb.keymap = nullptr;
}

bool EnsureKeymap(xcb_connection_t* c)
{
    if (g_kb.state) return true;
    if (!LoadLibrary()) return false;
    const XkbApi& x = g_kb.api;
    if (!g_kb.context) {
        std::uint16_t major = 0, minor = 0;
        std::uint8_t baseEvent = 0, baseError = 0;
        if (!x.xkb_x11_setup_xkb_extension(c, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                           XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, &major, &minor, &baseEvent,
                                           &baseError)) {
            return false;
        }
        g_kb.context = x.xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        if (!g_kb.context) return false;
        // A held key then repeats as presses alone, not as release and press pairs.
        auto cookie = x.xcb_xkb_per_client_flags(c, kUseCoreKeyboard, kDetectableAutoRepeat, kDetectableAutoRepeat, 0, 0, 0);
        xcb_discard_reply(c, cookie.sequence);
    }
    std::int32_t device = x.xkb_x11_get_core_keyboard_device_id(c);
    if (device < 0) return false;
    g_kb.keymap = x.xkb_x11_keymap_new_from_device(g_kb.context, c, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    g_kb.state = g_kb.keymap ? x.xkb_state_new(g_kb.keymap) : nullptr;
    if (!g_kb.state) DropKeymap();
    return g_kb.state != nullptr;
}

const char* Locale()
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

bool EnsureCompose()
{
    if (g_kb.compose) return true;
    if (g_kb.composeTried) return false;
    g_kb.composeTried = true;
    const XkbApi& x = g_kb.api;
    g_kb.composeTable = x.xkb_compose_table_new_from_locale(g_kb.context, Locale(), XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (g_kb.composeTable) g_kb.compose = x.xkb_compose_state_new(g_kb.composeTable, XKB_COMPOSE_STATE_NO_FLAGS);
    return g_kb.compose != nullptr;
}

bool StartsComposing(xkb_keysym_t sym)
{
    return (sym >= XKB_KEY_dead_grave && sym <= XKB_KEY_dead_greek) || sym == XKB_KEY_Multi_key;
}

struct SymKey {
    xkb_keysym_t sym;
    int vk;
};

// Keys that type no character of their own, or whose character is not their key's (keypad).
const SymKey kSymKeys[] = {
    /* key symbol          virtual key */
    {XKB_KEY_KP_Enter,     VK_RETURN},
    {XKB_KEY_ISO_Left_Tab, VK_TAB},
    {XKB_KEY_Insert,       VK_INSERT},
    {XKB_KEY_Home,         VK_HOME},
    {XKB_KEY_End,          VK_END},
    {XKB_KEY_Left,         VK_LEFT},
    {XKB_KEY_Up,           VK_UP},
    {XKB_KEY_Right,        VK_RIGHT},
    {XKB_KEY_Down,         VK_DOWN},
    {XKB_KEY_Control_L,    VK_CONTROL},
    {XKB_KEY_Control_R,    VK_CONTROL},
    {XKB_KEY_Shift_L,      VK_SHIFT},
    {XKB_KEY_Shift_R,      VK_SHIFT},
    {XKB_KEY_Alt_L,        VK_MENU},
    {XKB_KEY_Alt_R,        VK_MENU},
    {XKB_KEY_KP_Multiply,  VK_MULTIPLY},
    {XKB_KEY_KP_Add,       VK_ADD},
    {XKB_KEY_KP_Subtract,  VK_SUBTRACT},
    {XKB_KEY_KP_Decimal,   VK_DECIMAL},
    {XKB_KEY_KP_Separator, VK_DECIMAL},  // the keypad's comma key of German layouts
    {XKB_KEY_KP_Delete,    VK_DECIMAL},  // the same key without Num Lock
    {XKB_KEY_KP_Divide,    VK_DIVIDE},
    {XKB_KEY_KP_Insert,    VK_NUMPAD0},  // keypad digits without Num Lock are still those keys
    {XKB_KEY_KP_End,       VK_NUMPAD0 + 1},
    {XKB_KEY_KP_Down,      VK_NUMPAD0 + 2},
    {XKB_KEY_KP_Next,      VK_NUMPAD0 + 3},
    {XKB_KEY_KP_Left,      VK_NUMPAD0 + 4},
    {XKB_KEY_KP_Begin,     VK_NUMPAD0 + 5},
    {XKB_KEY_KP_Right,     VK_NUMPAD0 + 6},
    {XKB_KEY_KP_Home,      VK_NUMPAD0 + 7},
    {XKB_KEY_KP_Up,        VK_NUMPAD0 + 8},
    {XKB_KEY_KP_Prior,     VK_NUMPAD0 + 9},
};

int VirtualKeyFromKeysym(xkb_keysym_t sym)
{
    if (sym >= XKB_KEY_KP_0 && sym <= XKB_KEY_KP_9) return VK_NUMPAD0 + int(sym - XKB_KEY_KP_0);
    if (sym >= XKB_KEY_F1 && sym <= XKB_KEY_F12) return VK_F1 + int(sym - XKB_KEY_F1);
    // Latin-1 key symbols are their characters; Enter, Backspace, Tab and Escape are 0xFF00 plus
    // their control character, Delete is 0xFFFF.
    if (sym >= 'A' && sym <= 'Z') return VirtualKeyFromCharacter(sym - 'A' + 'a');  // Shift or Caps Lock
    if (sym >= 0x20 && sym <= 0x7E) return VirtualKeyFromCharacter(sym);
    if (sym == XKB_KEY_Delete) return VirtualKeyFromCharacter(U'\x7f');
    if (sym == XKB_KEY_Return || sym == XKB_KEY_BackSpace || sym == XKB_KEY_Tab || sym == XKB_KEY_Escape) {
        return VirtualKeyFromCharacter(sym & 0xFF);
    }
    for (const SymKey& k : kSymKeys) {
        if (k.sym == sym) return k.vk;
    }
    return 0;
}

// The key's virtual key in layout `group`, as Windows names keys: its symbol without modifiers,
// except that the digit row is the 1 ... 0 keys wherever Shift puts its digits (a French layout
// types & é " ' ( ... on them unshifted). Leaves the state's modifiers changed.
int KeyVirtualKey(xkb_keycode_t key, xkb_layout_index_t group)
{
    const XkbApi& x = g_kb.api;
    x.xkb_state_update_mask(g_kb.state, XCB_MOD_MASK_SHIFT, 0, 0, 0, 0, group);
    xkb_keysym_t shifted = x.xkb_state_key_get_one_sym(g_kb.state, key);
    if (shifted >= '0' && shifted <= '9') return int(shifted);
    x.xkb_state_update_mask(g_kb.state, 0, 0, 0, 0, 0, group);
    int vk = VirtualKeyFromKeysym(x.xkb_state_key_get_one_sym(g_kb.state, key));
    return vk ? vk : VirtualKeyFromKeysym(shifted);
}

// What the key typed: through the compose table while a sequence is under way.
std::string TypedText(xkb_keycode_t code, xkb_keysym_t sym)
{
    const XkbApi& x = g_kb.api;
    char buffer[64];
    if ((g_kb.compose || StartsComposing(sym)) && EnsureCompose()) {
        x.xkb_compose_state_feed(g_kb.compose, sym);
        switch (x.xkb_compose_state_get_status(g_kb.compose)) {
        case XKB_COMPOSE_COMPOSING:
            return {};
        case XKB_COMPOSE_COMPOSED: {
            int n = x.xkb_compose_state_get_utf8(g_kb.compose, buffer, sizeof buffer);
            x.xkb_compose_state_reset(g_kb.compose);
            return n > 0 && std::size_t(n) < sizeof buffer ? std::string(buffer, std::size_t(n)) : std::string();
        }
        case XKB_COMPOSE_CANCELLED:
            x.xkb_compose_state_reset(g_kb.compose);
            return {};
        case XKB_COMPOSE_NOTHING:
            break;
        }
    }
    int n = x.xkb_state_key_get_utf8(g_kb.state, code, buffer, sizeof buffer);
    return n > 0 && std::size_t(n) < sizeof buffer ? std::string(buffer, std::size_t(n)) : std::string();
}

void QueueText(const std::string& utf8)
{
    DesktopInput in;
    in.kind = DesktopInput::Text;
    std::u16string text;
    if (!Utf8ToUtf16(utf8, &text)) return;
    // Control characters are the keys' own business (Enter, Backspace, Ctrl+letter).
    for (char16_t unit : text) {
        if (unit >= 0x20 && unit != 0x7F) in.text.push_back(unit);
    }
    if (!in.text.empty()) QueueDesktopInput(std::move(in));
}

}  // namespace

void X11KeyEvent(xcb_connection_t* c, const xcb_key_press_event_t& e)
{
    if (!EnsureKeymap(c)) return;
    const XkbApi& x = g_kb.api;
    const bool down = (e.response_type & 0x7F) == XCB_KEY_PRESS;
    // The event's state: the modifiers in its low byte, the layout group in bits 13 and 14. The
    // virtual key names the key in that layout whatever the modifiers (Shift+1 is still the
    // 1 key), its text is the one with them.
    const xkb_layout_index_t group = (e.state >> 13) & 3;
    DesktopInput in;
    in.virtualKey = KeyVirtualKey(e.detail, group);
    x.xkb_state_update_mask(g_kb.state, e.state & 0xFF, 0, 0, 0, 0, group);
    xkb_keysym_t sym = x.xkb_state_key_get_one_sym(g_kb.state, e.detail);
    in.kind = down ? DesktopInput::KeyDown : DesktopInput::KeyUp;
    in.scanCode = e.detail >= 8 ? e.detail - 8 : 0;  // X key codes are the kernel's plus 8
    in.repeat = down && g_kb.held[e.detail];
    // The state is the one before this event: a modifier key changes its own bit.
    in.ctrl = in.virtualKey == VK_CONTROL ? down : (e.state & XCB_MOD_MASK_CONTROL) != 0;
    in.shift = in.virtualKey == VK_SHIFT ? down : (e.state & XCB_MOD_MASK_SHIFT) != 0;
    in.alt = in.virtualKey == VK_MENU ? down : (e.state & XCB_MOD_MASK_1) != 0;
    g_kb.held[e.detail] = down;
    QueueDesktopInput(in);
    if (down) QueueText(TypedText(e.detail, sym));
}

void X11KeyboardMappingChanged()
{
    if (g_kb.loaded) DropKeymap();
}

void X11KeyboardFocusLost()
{
    for (std::size_t code = 0; code < g_kb.held.size(); ++code) {
        if (!g_kb.held[code]) continue;
        g_kb.held[code] = false;
        DesktopInput in;
        in.kind = DesktopInput::KeyUp;
        if (g_kb.state) in.virtualKey = KeyVirtualKey(xkb_keycode_t(code), 0);
        in.scanCode = code >= 8 ? int(code) - 8 : 0;
        QueueDesktopInput(in);
    }
}

void CloseX11Keyboard()
{
    if (!g_kb.loaded) return;
    const XkbApi& x = g_kb.api;
    DropKeymap();
    if (g_kb.compose) x.xkb_compose_state_unref(g_kb.compose);
    if (g_kb.composeTable) x.xkb_compose_table_unref(g_kb.composeTable);
    if (g_kb.context) x.xkb_context_unref(g_kb.context);
    g_kb.compose = nullptr;
    g_kb.composeTable = nullptr;
    g_kb.context = nullptr;
    g_kb.composeTried = false;
    g_kb.held.reset();
}
