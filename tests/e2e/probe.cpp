// The end-to-end tests' helper: what a shell script cannot do by itself. It reads the program's
// own layout (started headless, in this process), grabs and compares window pictures, asks the
// registry, and plays a few window-manager parts on a bare X server.
//   probe layout NAME...        device coordinates "x y" of each key token, menu0/menu1 (menu
//                               bar buttons), popupN (items of the Help drop-down), navok,
//                               boxok (the Uninstall message box's OK)
//   probe grab WINDOW OUT.png   the X window's pixels
//   probe compare A.png B.png   prints the number of differing pixels; exit 0 when none
//   probe regkey                "present" or "absent": HKLM\Software\Larkwell\Gearset1\Quorix
//   probe regdel                deletes HKLM\Software\Larkwell\Gearset1 (it must have no subkeys)
//   probe cover SECONDS         maps a window over the whole X screen for that long
//   probe top WINDOW            exit 0 when WINDOW is the topmost mapped top-level window
//   probe close WINDOW          asks WINDOW to close, as a window manager's close button does
//   probe mute-owner SECONDS    owns the CLIPBOARD selection for that long and answers no request
//   probe frame-wm SECONDS      for that long, a window manager that puts each window mapped into
//                               a frame of its own and shows it 50 ms after it asked to be mapped
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>
#include "app/app.h"
#include "app/driver_tokens.h"
#include "platform/extras.h"
#include "resources/resource_ids.h"
#include "platform/user/input.h"
#include "platform/shell/navigation_bar.h"
#include "platform/gdi/png_writer.h"
#include "platform/shell/menu.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

POINT Centre(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The Uninstall box's OK button, read from the box this process shows for a scratch device's key
// (the device under test keeps its files) and closed again at once.
RECT g_boxOk;
bool g_boxSeen = false;

void ReadBoxOk(const MSG& msg)
{
    if (msg.message != WM_APP || g_boxSeen) return;
    HWND box = GetActiveWindow();
    g_boxSeen = box && GetWindowRect(GetDlgItem(box, IDOK), &g_boxOk);
    PostMessage(box, WM_CLOSE, 0, 0);
}

bool UninstallBoxOkRect(RECT* r)
{
    char scratch[] = "/tmp/quorix-probe-XXXXXX";
    if (!mkdtemp(scratch)) return false;
    setenv("QUORIX_DEVICE_ROOT", scratch, 1);
    HKEY key;
    if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Larkwell\\Gearset1\\Quorix", 0, nullptr, 0, KEY_ALL_ACCESS,
                       nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(key);
        SetThreadMessageHook(ReadBoxOk);
        PostMessage(nullptr, WM_APP, 0, 0);  // served inside the box's loop
        SendMessage(GetParent(g_hwndCalc), WM_COMMAND, IDM_UNINSTALL, 0);
        SetThreadMessageHook(nullptr);
    }
    std::system(("rm -rf '" + std::string(scratch) + "'").c_str());
    *r = g_boxOk;
    return g_boxSeen;
}

bool NamedRect(const std::string& name, RECT* r)
{
    if (name == "boxok") return UninstallBoxOkRect(r);
    if (name == "menu0" || name == "menu1") return ShellMenuBarButtonRect(g_hwndMenuBar, name[4] - '0', r);
    if (name.rfind("popup", 0) == 0) {
        HWND popup = ShellMenuBarPopup(g_hwndMenuBar);
        if (!popup) {
            RECT help;
            if (!ShellMenuBarButtonRect(g_hwndMenuBar, 1, &help)) return false;
            InjectTap(Centre(help));
            popup = ShellMenuBarPopup(g_hwndMenuBar);
        }
        return ShellMenuPopupItemRect(popup, std::atoi(name.c_str() + 5), r);
    }
    if (name == "navok") {
        HWND main = GetParent(g_hwndCalc);
        SetNavigationBarDoneButton(main, true);
        bool ok = NavigationBarOkRect(r);
        SetNavigationBarDoneButton(main, false);
        return ok;
    }
    int id = KeyTokenToId(name);
    return id && GetWindowRect(GetDlgItem(g_hwndCalc, id), r);
}

int Layout(int argc, char** argv)
{
    EnableCrossProcessWindows(false);  // never find the copy under test
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    if (!InitMainWindow(instance, SW_SHOW)) return 1;
    int status = 0;
    for (int i = 0; i < argc && status == 0; ++i) {
        RECT r;
        if (!NamedRect(argv[i], &r)) {
            std::fprintf(stderr, "probe: nothing called '%s'\n", argv[i]);
            status = 1;
            continue;
        }
        POINT c = Centre(r);
        std::printf("%ld %ld\n", static_cast<long>(c.x), static_cast<long>(c.y));
    }
    // Ended as the program ends, so a leak checker sees nothing left behind.
    DestroyWindow(GetParent(g_hwndCalc));
    DestroyWindow(NavigationBarWindow());
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    return status;
}

int ShiftOf(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int Grab(Display* dpy, Window window, const char* path)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, window, &attributes)) return 1;
    XImage* image = XGetImage(dpy, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) return 1;
    std::vector<std::uint32_t> pixels(std::size_t(attributes.width) * attributes.height);
    int rs = ShiftOf(image->red_mask), gs = ShiftOf(image->green_mask), bs = ShiftOf(image->blue_mask);
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            unsigned long p = XGetPixel(image, x, y);
            std::uint32_t r = (p & image->red_mask) >> rs, g = (p & image->green_mask) >> gs,
                          b = (p & image->blue_mask) >> bs;
            pixels[std::size_t(y) * attributes.width + x] = (r << 16) | (g << 8) | b;
        }
    }
    XDestroyImage(image);
    Surface surface{pixels.data(), attributes.width, attributes.height, attributes.width};
    return WriteSurfacePng(surface, 1, path) ? 0 : 1;
}

bool ReadPng(const char* path, png_image* image, std::vector<png_byte>* pixels)
{
    std::memset(image, 0, sizeof *image);
    image->version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(image, path)) return false;
    image->format = PNG_FORMAT_RGB;
    pixels->resize(PNG_IMAGE_SIZE(*image));
    return png_image_finish_read(image, nullptr, pixels->data(), 0, nullptr) != 0;
}

int Compare(const char* a, const char* b)
{
    png_image ia, ib;
    std::vector<png_byte> pa, pb;
    if (!ReadPng(a, &ia, &pa) || !ReadPng(b, &ib, &pb)) {
        std::fprintf(stderr, "probe: cannot read %s or %s\n", a, b);
        return 2;
    }
    if (ia.width != ib.width || ia.height != ib.height) {
        std::printf("size %ux%u != %ux%u\n", ia.width, ia.height, ib.width, ib.height);
        return 1;
    }
    long differing = 0;
    for (std::size_t i = 0; i + 2 < pa.size(); i += 3) {
        if (std::memcmp(&pa[i], &pb[i], 3) != 0) ++differing;
    }
    std::printf("%ld\n", differing);
    return differing == 0 ? 0 : 1;
}

int Cover(Display* dpy, int seconds)
{
    int screen = DefaultScreen(dpy);
    Window w = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 0, 0, DisplayWidth(dpy, screen),
                                   DisplayHeight(dpy, screen), 0, BlackPixel(dpy, screen), BlackPixel(dpy, screen));
    XClassHint hint{const_cast<char*>("e2e-cover"), const_cast<char*>("e2e-cover")};
    XSetClassHint(dpy, w, &hint);
    XMapRaised(dpy, w);
    XSync(dpy, False);
    std::printf("%lu\n", static_cast<unsigned long>(w));
    std::fflush(stdout);
    sleep(static_cast<unsigned>(seconds));
    return 0;
}

int Top(Display* dpy, Window window)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) return 2;
    Window topmost = 0;
    for (unsigned int i = 0; i < count; ++i) {  // bottom to top
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable) topmost = children[i];
    }
    if (children) XFree(children);
    return topmost == window ? 0 : 1;
}

int Close(Display* dpy, Window window)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, window, False, NoEventMask, &e);
    XSync(dpy, False);
    return 0;
}

int MuteOwner(Display* dpy, int seconds)
{
    Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    XSetSelectionOwner(dpy, clipboard, w, CurrentTime);
    XSync(dpy, False);
    if (XGetSelectionOwner(dpy, clipboard) != w) return 1;
    std::printf("%lu\n", static_cast<unsigned long>(w));
    std::fflush(stdout);
    sleep(static_cast<unsigned>(seconds));  // requests pile up unread
    return 0;
}

// A reparenting window manager at its simplest. The late map means that whatever the program
// drew right behind its own map request went to a window not yet shown, and was lost.
int FrameWm(Display* dpy, int seconds)
{
    Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(dpy, False);
    std::printf("ready\n");
    std::fflush(stdout);
    for (int waited = 0; waited < seconds * 100; ++waited) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
            if (e.type == ConfigureRequest) {
                const XConfigureRequestEvent& r = e.xconfigurerequest;
                XWindowChanges c{r.x, r.y, r.width, r.height, r.border_width, r.above, r.detail};
                XConfigureWindow(dpy, r.window, static_cast<unsigned>(r.value_mask), &c);
            } else if (e.type == MapRequest) {
                Window client = e.xmaprequest.window;
                XWindowAttributes a;
                if (!XGetWindowAttributes(dpy, client, &a)) continue;
                Window frame = XCreateSimpleWindow(dpy, root, a.x, a.y, unsigned(a.width) + 8, unsigned(a.height) + 8, 0,
                                                   BlackPixel(dpy, DefaultScreen(dpy)), BlackPixel(dpy, DefaultScreen(dpy)));
                XReparentWindow(dpy, client, frame, 4, 4);
                XSync(dpy, False);
                usleep(50 * 1000);
                XMapWindow(dpy, client);
                XMapWindow(dpy, frame);
            }
        }
        XFlush(dpy);
        usleep(10 * 1000);
    }
    return 0;
}

int WithDisplay(const std::string& command, int argc, char** argv)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "probe: no X display\n");
        return 2;
    }
    Window window = argc > 0 ? static_cast<Window>(std::strtoul(argv[0], nullptr, 0)) : 0;
    int status = 2;
    if (command == "grab" && argc == 2) status = Grab(dpy, window, argv[1]);
    else if (command == "cover" && argc == 1) status = Cover(dpy, std::atoi(argv[0]));
    else if (command == "top" && argc == 1) status = Top(dpy, window);
    else if (command == "close" && argc == 1) status = Close(dpy, window);
    else if (command == "mute-owner" && argc == 1) status = MuteOwner(dpy, std::atoi(argv[0]));
    else if (command == "frame-wm" && argc == 1) status = FrameWm(dpy, std::atoi(argv[0]));
    else std::fprintf(stderr, "probe: bad arguments for %s\n", command.c_str());
    XCloseDisplay(dpy);
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    SetProgramName(PROGRAM_NAME);
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "layout") return Layout(argc - 2, argv + 2);
    if (command == "compare" && argc == 4) return Compare(argv[2], argv[3]);
    if (command == "regkey" && argc == 2) {
        HKEY key;
        bool present = RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Larkwell\\Gearset1\\Quorix", 0, KEY_READ, &key) ==
                       ERROR_SUCCESS;
        if (present) RegCloseKey(key);
        std::puts(present ? "present" : "absent");
        return 0;
    }
    if (command == "regdel" && argc == 2) {
        HKEY software;
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Larkwell", 0, KEY_ALL_ACCESS, &software) != ERROR_SUCCESS) return 1;
        LONG status = RegDeleteKey(software, u"Gearset1");
        RegCloseKey(software);
        return status == ERROR_SUCCESS ? 0 : 1;
    }
    if (command == "grab" || command == "cover" || command == "top" || command == "close" || command == "mute-owner" ||
        command == "frame-wm") {
        return WithDisplay(command, argc - 2, argv + 2);
    }
    std::fprintf(stderr, "usage: probe layout|grab|compare|regkey|regdel|cover|top|close|mute-owner|frame-wm ...\n");
    return 2;
}
