// The SDL2 backend: the device screen in a desktop window, drawn at the rendering scale and
// shown pixel for pixel. Where the window's memory has the screen's layout, the screen is drawn
// straight into it. Only the dirty part of the screen is handed to the window. Waiting for
// input blocks in SDL_WaitEvent; wake() pushes a user event. The mouse's first button is the
// stylus; keys and typed text become messages through desktop_input. Closing the desktop
// window closes the program's main window. The clipboard is the desktop's. The default scale
// follows the display's density where SDL reports one (X servers without physical sizes, such
// as Xvfb, report none: then it is the largest that fits). libSDL2 is loaded only when the window
// opens: a headless run never maps it and the libraries it pulls in. Knowingly lacks: resizing.
#include "platform/drivers/sdl/sdl.h"
#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include "platform/drivers/desktop_input.h"
#include "platform/drivers/display_loss.h"
#include "platform/kernel/host_text.h"
#include "platform/kernel/shared_library.h"
#include "platform/user/input.h"
#include "platform/user/rect.h"
#include "platform/gdi/surface.h"

namespace {

struct KeyPair {
    SDL_Keycode sdl;
    int vk;
};

// Keys that type no character of their own; the rest go by their character (desktop_input).
const KeyPair kKeyTable[] = {
    /* SDL key            virtual key */
    {SDLK_KP_ENTER,       VK_RETURN},
    {SDLK_INSERT,         VK_INSERT},
    {SDLK_HOME,           VK_HOME},
    {SDLK_END,            VK_END},
    {SDLK_LEFT,           VK_LEFT},
    {SDLK_UP,             VK_UP},
    {SDLK_RIGHT,          VK_RIGHT},
    {SDLK_DOWN,           VK_DOWN},
    {SDLK_LCTRL,          VK_CONTROL},
    {SDLK_RCTRL,          VK_CONTROL},
    {SDLK_LSHIFT,         VK_SHIFT},
    {SDLK_RSHIFT,         VK_SHIFT},
    {SDLK_LALT,           VK_MENU},
    {SDLK_RALT,           VK_MENU},
    {SDLK_KP_MULTIPLY,    VK_MULTIPLY},
    {SDLK_KP_PLUS,        VK_ADD},
    {SDLK_KP_MINUS,       VK_SUBTRACT},
    {SDLK_KP_PERIOD,      VK_DECIMAL},
    {SDLK_KP_DIVIDE,      VK_DIVIDE},
};

// --- the library --------------------------------------------------------------------------

constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

// Every SDL function this file calls, typed by SDL's own declarations.
#define SDL_FUNCTIONS(X)                                                                                        \
    X(SDL_CreateWindow) X(SDL_free) X(SDL_GetClipboardText) X(SDL_GetCurrentVideoDriver) X(SDL_GetDisplayBounds) \
    X(SDL_GetDisplayDPI) X(SDL_GetDisplayUsableBounds) X(SDL_GetWindowFlags) X(SDL_GetWindowSurface)             \
    X(SDL_HideWindow) X(SDL_Init) X(SDL_LockSurface) X(SDL_MapRGB) X(SDL_PollEvent) X(SDL_PushEvent)            \
    X(SDL_Quit) X(SDL_RaiseWindow) X(SDL_RegisterEvents) X(SDL_RestoreWindow) X(SDL_SetClipboardText)           \
    X(SDL_SetHint) X(SDL_SetWindowTitle) X(SDL_ShowWindow) X(SDL_StartTextInput) X(SDL_UnlockSurface)            \
    X(SDL_UpdateWindowSurfaceRects) X(SDL_WaitEvent) X(SDL_WaitEventTimeout)

struct SdlApi {
    SDL_FUNCTIONS(LIBRARY_FUNCTION_FIELD)
};
SdlApi g_api;

// Loads the library once; on failure says why on standard error. Global, so that Xlib, which
// SDL brings in, can be found by name (display_loss).
bool LoadSdl()
{
    static bool tried = false, loaded = false;
    if (tried) return loaded;
    tried = true;
    LibraryLoader library(kSdlLibrary, RTLD_NOW | RTLD_GLOBAL);
    SdlApi api;
    SDL_FUNCTIONS(LIBRARY_FUNCTION_RESOLVE)
    if (!library.Ok()) {
        // A library that lacks a function is left loaded: unloading a half-used one gains nothing.
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, library.error.c_str());
        return false;
    }
    g_api = api;
    loaded = true;
    return true;
}

struct SdlState {
    SDL_Window* window = nullptr;
    int scale = 1;
    bool shown = false;
    bool woken = false;  // a wake was taken in this pump: what it announced must be seen first
    std::string title;
};
SdlState g_sdl;

// wake() may come from any thread: these are the only parts it touches.
std::mutex g_wakeLock;
bool g_open = false;
Uint32 g_wakeEvent = 0;
std::atomic<bool> g_wakePending{false};

// --- presenting --------------------------------------------------------------------------

void UpdateTitle()
{
    std::string title;
    if (!DesktopTitle(&title) || title == g_sdl.title) return;
    g_sdl.title = title;
    g_api.SDL_SetWindowTitle(g_sdl.window, title.c_str());
}

void ScaleInto(SDL_Surface* out, const Surface& screen, const RECT& area, int scale)
{
    const bool direct = out->format->format == SDL_PIXELFORMAT_RGB888 || out->format->format == SDL_PIXELFORMAT_ARGB8888;
    if (SDL_MUSTLOCK(out) && g_api.SDL_LockSurface(out) != 0) return;
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* src = screen.pixels + static_cast<std::size_t>(y) * screen.stride;
        for (int dy = 0; dy < scale; ++dy) {
            auto* row = reinterpret_cast<Uint8*>(out->pixels) + static_cast<std::size_t>(y * scale + dy) * out->pitch;
            for (int x = area.left; x < area.right; ++x) {
                std::uint32_t p = src[x];
                Uint32 value = direct ? (p | 0xFF000000u)
                                      : g_api.SDL_MapRGB(out->format, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
                for (int dx = 0; dx < scale; ++dx) {
                    Uint8* at = row + static_cast<std::size_t>(x * scale + dx) * out->format->BytesPerPixel;
                    std::memcpy(at, &value, out->format->BytesPerPixel);  // little-endian hosts
                }
            }
        }
    }
    if (SDL_MUSTLOCK(out)) g_api.SDL_UnlockSurface(out);
}

int ShowRect(const RECT& area)
{
    SDL_Rect r{area.left, area.top, area.right - area.left, area.bottom - area.top};
    return g_api.SDL_UpdateWindowSurfaceRects(g_sdl.window, &r, 1);
}

// The window's memory can be the screen itself when it has the screen's size and pixel layout
// (0x00RRGGBB, the fourth byte unused): the screen is then kept once, not twice, and showing it
// is only telling the server which part changed.
bool CanLendScreen(const SDL_Surface* out)
{
    const Surface& screen = ScreenSurface();
    return out->format->format == SDL_PIXELFORMAT_RGB888 && !SDL_MUSTLOCK(out) && out->w == screen.width &&
           out->h == screen.height && out->pitch % 4 == 0 &&
           AdoptScreenPixels(static_cast<std::uint32_t*>(out->pixels), out->pitch / 4);
}

void SdlPresent(const Surface& screen, const RECT& dirty)
{
    if (!g_sdl.window) return;
    UpdateTitle();
    RECT area = RectIntersect(dirty, RECT{0, 0, kScreenWidth, kScreenHeight});
    if (!g_sdl.shown) {
        // Shown with its first picture: a second start that only brings the first copy forward
        // never shows a window at all.
        g_api.SDL_ShowWindow(g_sdl.window);
        g_sdl.shown = true;
        area = RECT{0, 0, kScreenWidth, kScreenHeight};
    }
    if (RectEmpty(area)) return;
    // The dirty rectangle is in device pixels; the surface is already drawn at the scale.
    const int s = ScreenScale();
    const RECT whole{0, 0, screen.width, screen.height};
    area = RectIntersect(RECT{area.left * s, area.top * s, area.right * s, area.bottom * s}, whole);
    if (RectEmpty(area)) return;
    if (ScreenPixelsAdopted()) {
        if (ShowRect(area) == 0) return;
        // SDL refuses a surface made stale by a size change, and frees it in the next
        // SDL_GetWindowSurface: the screen takes its pixels back before that.
        ReleaseScreenPixels();
        area = whole;
    }
    SDL_Surface* out = g_api.SDL_GetWindowSurface(g_sdl.window);
    if (!out) return;
    if (CanLendScreen(out)) {
        ShowRect(whole);  // the first time, or a new surface: all of it
        return;
    }
    area = RectIntersect(area, RECT{0, 0, out->w, out->h});
    if (RectEmpty(area)) return;
    ScaleInto(out, screen, area, 1);
    ShowRect(area);
}

void PresentAll()
{
    if (g_sdl.shown) SdlPresent(ScreenSurface(), RECT{0, 0, kScreenWidth, kScreenHeight});
}

// --- input -------------------------------------------------------------------------------

bool IsInputEvent(const SDL_Event& e)
{
    return e.type == SDL_KEYDOWN || e.type == SDL_KEYUP || e.type == SDL_TEXTINPUT || e.type == SDL_MOUSEBUTTONDOWN ||
           e.type == SDL_MOUSEBUTTONUP || e.type == SDL_MOUSEMOTION;
}

POINT PenPoint(int x, int y)
{
    return DevicePointFromWindow(x, y, g_sdl.scale);
}

void QueueMouse(const SDL_Event& e)
{
    DesktopInput in;
    if (e.type == SDL_MOUSEMOTION) {
        in.kind = DesktopInput::PenMove;
        in.point = PenPoint(e.motion.x, e.motion.y);
    } else if (e.button.button == SDL_BUTTON_LEFT) {
        in.kind = e.type == SDL_MOUSEBUTTONDOWN ? DesktopInput::PenDown : DesktopInput::PenUp;
        in.point = PenPoint(e.button.x, e.button.y);
    } else {
        return;
    }
    QueueDesktopInput(in);
}

void QueueKey(const SDL_Event& e)
{
    DesktopInput in;
    if (e.type == SDL_TEXTINPUT) {
        in.kind = DesktopInput::Text;
        if (!Utf8ToUtf16(e.text.text, &in.text)) return;
    } else {
        in.kind = e.type == SDL_KEYDOWN ? DesktopInput::KeyDown : DesktopInput::KeyUp;
        SDL_Keymod mod = static_cast<SDL_Keymod>(e.key.keysym.mod);
        in.ctrl = mod & KMOD_CTRL;
        in.shift = mod & KMOD_SHIFT;
        in.alt = mod & KMOD_ALT;
        in.virtualKey = VirtualKeyFromSdlKeycode(e.key.keysym.sym);
        in.scanCode = e.key.keysym.scancode;
        in.repeat = e.key.repeat != 0;
    }
    QueueDesktopInput(std::move(in));
}

// --- window events -----------------------------------------------------------------------

void OnWindowEvent(const SDL_WindowEvent& e)
{
    switch (e.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
        PresentAll();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        CloseProgramWindows();
        break;
    }
}

// Takes one event off SDL's queue: window events now, input into the backlog.
void Take(const SDL_Event& e)
{
    if (e.type == g_wakeEvent) {
        g_wakePending = false;
        g_sdl.woken = true;
    } else if (e.type == SDL_WINDOWEVENT) {
        OnWindowEvent(e.window);
    } else if (e.type == SDL_QUIT) {
        CloseProgramWindows();
    } else if (IsInputEvent(e)) {
        if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP || e.type == SDL_TEXTINPUT) QueueKey(e);
        else QueueMouse(e);
    }
}

// --- the table ---------------------------------------------------------------------------

bool EnvironmentHas(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// Without DISPLAY or WAYLAND_DISPLAY there is no desktop to find (and trying one makes the
// libraries print their own complaints).
bool NamesADisplay()
{
    return EnvironmentHas("DISPLAY") || EnvironmentHas("WAYLAND_DISPLAY") || EnvironmentHas("SDL_VIDEODRIVER");
}

// Without a display SDL falls back to drivers that show nothing; those count only when asked
// for by name (SDL_VIDEODRIVER).
bool ShowsOnADesktop()
{
    const char* driver = g_api.SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    bool invisible = std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
                     std::strcmp(driver, "evdev") == 0;
    return !invisible || EnvironmentHas("SDL_VIDEODRIVER");
}

// The desktop's density decides (its larger axis, when SDL knows it), within what fits.
int ScaleFor(int requested, const SDL_Rect& usable)
{
    float ddpi = 0, hdpi = 0, vdpi = 0;
    double dpi = 0;
    if (g_api.SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) == 0) dpi = std::max(hdpi, vdpi) > 0 ? std::max(hdpi, vdpi) : ddpi;
    return ChooseWindowScaleLoudly(requested, dpi, usable.w, usable.h);
}

bool SdlOpen(int scale)
{
    if (!NamesADisplay() || !LoadSdl()) return false;
    setenv("SDL_VIDEO_X11_WMCLASS", ProgramName(), 0);  // WM_CLASS names the program
    g_api.SDL_SetHint(SDL_HINT_APP_NAME, ProgramName());
    g_api.SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // The window surface is plain shared memory (XShm on X11): without this SDL tries an OpenGL
    // context first, which loads the GL stack (tens of megabytes, tens of milliseconds) for a
    // 240 x 320 screen.
    g_api.SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (!EnvironmentHas("SDL_VIDEODRIVER") && !EnvironmentHas("WAYLAND_DISPLAY")) {
        g_api.SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");  // only X is named: try nothing else
    }
    if (g_api.SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    if (!ShowsOnADesktop()) {
        g_api.SDL_Quit();
        return false;
    }
    Uint32 wake = g_api.SDL_RegisterEvents(1);
    SDL_Rect usable{0, 0, 0, 0};
    if (g_api.SDL_GetDisplayUsableBounds(0, &usable) != 0) g_api.SDL_GetDisplayBounds(0, &usable);
    g_sdl.scale = ScaleFor(scale, usable);
    SetScreenScale(g_sdl.scale);  // before the program's first window is drawn
    g_sdl.window = wake == static_cast<Uint32>(-1)
                       ? nullptr
                       : g_api.SDL_CreateWindow(ProgramName(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          kScreenWidth * g_sdl.scale, kScreenHeight * g_sdl.scale, SDL_WINDOW_HIDDEN);
    if (!g_sdl.window) {
        g_api.SDL_Quit();
        return false;
    }
    g_api.SDL_StartTextInput();
    WatchForDisplayLoss();
    std::lock_guard<std::mutex> lock(g_wakeLock);
    g_wakeEvent = wake;
    g_open = true;
    return true;
}

// The window is hidden, and it and SDL are left to the end of the process (so the screen may go on
// drawing into the window's memory). SDL ends its waits
// with events sent over a second X connection; one still on its way when the window is destroyed
// comes back as an X error, and Xlib ends the process with status 1 for it (the end-to-end tests
// saw this). A process that has ended reads no errors.
void SdlClose()
{
    {
        std::lock_guard<std::mutex> lock(g_wakeLock);
        g_open = false;
    }
    if (g_sdl.window) g_api.SDL_HideWindow(g_sdl.window);
    g_sdl = SdlState{};
    ClearDesktopInput();
}

void SdlPump(int timeoutMs)
{
    if (CheckingDesktopInput() || !g_sdl.window) return;
    SDL_Event e;
    g_sdl.woken = false;
    while (g_api.SDL_PollEvent(&e)) Take(e);
    // A wake taken here came after the caller last looked at its queue: waiting now would sleep
    // on a posted message (or the accessibility bus) until the next input.
    if (timeoutMs != 0 && !DesktopInputReady() && !g_sdl.woken) {
        bool got = timeoutMs < 0 ? g_api.SDL_WaitEvent(&e) : g_api.SDL_WaitEventTimeout(&e, timeoutMs);
        if (got) Take(e);
        while (g_api.SDL_PollEvent(&e)) Take(e);
    }
    RunDesktopInput();
}

void SdlWake()
{
    std::lock_guard<std::mutex> lock(g_wakeLock);
    if (!g_open || g_wakePending.exchange(true)) return;  // one wake in SDL's queue is enough
    SDL_Event e{};
    e.type = g_wakeEvent;
    if (g_api.SDL_PushEvent(&e) != 1) g_wakePending = false;
}

void SdlRaise()
{
    if (!g_sdl.window) return;
    if (g_api.SDL_GetWindowFlags(g_sdl.window) & SDL_WINDOW_MINIMIZED) g_api.SDL_RestoreWindow(g_sdl.window);
    g_api.SDL_RaiseWindow(g_sdl.window);
}

// The desktop's clipboard, in UTF-8 both ways. SDL hands back "" when there is no text.
bool SdlSetClipboard(const std::string& utf8)
{
    return g_open && g_api.SDL_SetClipboardText(utf8.c_str()) == 0;
}

bool SdlGetClipboard(std::string* utf8, std::size_t limitBytes)
{
    if (!g_open) return false;
    char* text = g_api.SDL_GetClipboardText();
    if (!text) return false;
    std::size_t length = std::strlen(text);
    bool taken = utf8 && length > 0 && length <= limitBytes;
    if (taken) utf8->assign(text, length);
    g_api.SDL_free(text);
    return taken;
}

const Backend kSdl = {"sdl",   SdlOpen,  SdlClose, SdlPump, SdlWake, SdlPresent, SdlRaise, SdlSetClipboard,
                      SdlGetClipboard};

}  // namespace

const Backend& SdlBackend()
{
    return kSdl;
}

int VirtualKeyFromSdlKeycode(int keycode)
{
    // Printable keys' codes are the characters they type unshifted (SDLK_a is 'a').
    if (keycode >= 0 && keycode < SDLK_SCANCODE_MASK) {
        if (int vk = VirtualKeyFromCharacter(static_cast<char32_t>(keycode))) return vk;
    }
    if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (keycode - SDLK_KP_1);
    if (keycode == SDLK_KP_0) return VK_NUMPAD0;
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return VK_F1 + (keycode - SDLK_F1);
    for (const KeyPair& k : kKeyTable) {
        if (k.sdl == keycode) return k.vk;
    }
    return 0;
}
