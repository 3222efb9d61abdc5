// The X11 backend: the device screen in a desktop window straight on XCB. The screen is drawn
// into a MIT-SHM segment the server reads from, so showing a frame is one small request naming
// the damaged rectangle; without SHM (a remote display) the damaged rows go in plain PutImage
// requests. Waiting for input is poll() on the connection and on an eventfd that wake() writes.
// The mouse's first button is the stylus (the server's implicit grab is the capture); keys go
// through xkbcommon (x11_keyboard), the clipboard through the CLIPBOARD selection
// (x11_clipboard). The window is mapped with its first picture, carries the main window's title
// and icon, and has a fixed size. A broken connection ends the program in one line.
// Knowingly lacks: visuals other than 24-bit true colour in 32-bit pixels (SDL2 serves those),
// resizing.
#include "platform/drivers/x11/x11.h"
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <unistd.h>
#include <vector>
#include "platform/drivers/desktop.h"
#include "platform/drivers/desktop_input.h"
#include "platform/drivers/display_loss.h"
#include "platform/drivers/x11/x11_clipboard.h"
#include "platform/drivers/x11/x11_keyboard.h"
#include "platform/drivers/x11/x11_link.h"
#include "platform/drivers/x11/x11_props.h"
#include "platform/user/input.h"
#include "platform/user/rect.h"
#include "platform/gdi/surface.h"

namespace {

struct X11State {
    xcb_gcontext_t gc = 0;
    int scale = 1;
    int width = 0, height = 0;   // the window, in its pixels
    std::uint8_t depth = 24;  // the only one drawn on
    bool mapped = false;
    std::string title;
    // MIT-SHM: the screen is drawn in the segment itself.
    xcb_shm_seg_t segment = 0;
    void* shared = nullptr;
    // The server's answer to attaching the segment is read at the first picture, not waited
    // for before the drawing: the question behind it makes it arrive meanwhile.
    bool attachUnanswered = false;
    xcb_void_cookie_t attach{};
    xcb_get_input_focus_cookie_t afterAttach{};
    std::deque<xcb_generic_event_t*> deferred;
    RECT exposed{};  // window pixels to show again after the events at hand
    // The last request that put the whole window: an Expose the server made before it had
    // processed that request is answered already (the window is exposed when mapped, and the
    // first picture goes out right behind the map).
    bool wholeShown = false;
    std::uint32_t wholeShownSequence = 0;
};
X11Link g_link;
X11State g_x;

// wake() may come from any thread: these are the only parts it touches.
std::mutex g_wakeLock;
int g_wakeFd = -1;
std::atomic<bool> g_wakePending{false};

void Free(void* p)
{
    std::free(p);
}

// --- opening -----------------------------------------------------------------------------

xcb_screen_t* ScreenNumber(const xcb_setup_t* setup, int number)
{
    for (auto it = xcb_setup_roots_iterator(setup); it.rem; --number, xcb_screen_next(&it)) {
        if (number == 0) return it.data;
    }
    return nullptr;
}

// Pixels of 0x00RRGGBB in 32 bits, little-endian, as the screen surface holds them.
bool ServerTakesOurPixels(const xcb_setup_t* setup, std::uint8_t depth)
{
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth) return it.data->bits_per_pixel == 32 && it.data->scanline_pad == 32;
    }
    return false;
}

bool IsOurVisual(const xcb_visualtype_t& v)
{
    return v._class == XCB_VISUAL_CLASS_TRUE_COLOR && v.red_mask == 0xFF0000 && v.green_mask == 0xFF00 &&
           v.blue_mask == 0xFF;
}

// The root's visual when it is one of ours, else any 24-bit true-colour one; 0 when none.
xcb_visualid_t FindVisual(xcb_screen_t* screen)
{
    xcb_visualid_t found = 0;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
        if (d.data->depth != 24) continue;
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
            if (!IsOurVisual(*v.data)) continue;
            if (v.data->visual_id == screen->root_visual || !found) found = v.data->visual_id;
        }
    }
    return found;
}

struct AtomName {
    xcb_atom_t X11Atoms::*slot;
    const char* name;
};
const AtomName kAtoms[] = {
    {&X11Atoms::wmProtocols, "WM_PROTOCOLS"},         {&X11Atoms::wmDeleteWindow, "WM_DELETE_WINDOW"},
    {&X11Atoms::netWmPing, "_NET_WM_PING"},           {&X11Atoms::netWmName, "_NET_WM_NAME"},
    {&X11Atoms::netWmPid, "_NET_WM_PID"},             {&X11Atoms::netWmIcon, "_NET_WM_ICON"},
    {&X11Atoms::netActiveWindow, "_NET_ACTIVE_WINDOW"}, {&X11Atoms::netWorkarea, "_NET_WORKAREA"},
    {&X11Atoms::utf8String, "UTF8_STRING"},           {&X11Atoms::text, "TEXT"},
    {&X11Atoms::clipboard, "CLIPBOARD"},              {&X11Atoms::targets, "TARGETS"},
    {&X11Atoms::incr, "INCR"},                        {&X11Atoms::pasteProperty, "PASTE_TARGET"},
};
constexpr std::size_t kAtomCount = sizeof kAtoms / sizeof kAtoms[0];

// All the names in one round trip.
bool InternAtoms(xcb_connection_t* c, X11Atoms* atoms)
{
    xcb_intern_atom_cookie_t cookies[kAtomCount];
    for (std::size_t i = 0; i < kAtomCount; ++i) {
        cookies[i] = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(kAtoms[i].name)), kAtoms[i].name);
    }
    bool ok = true;
    for (std::size_t i = 0; i < kAtomCount; ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookies[i], nullptr);
        if (!reply || reply->atom == XCB_NONE) ok = false;
        else atoms->*kAtoms[i].slot = reply->atom;
        Free(reply);
    }
    return ok;
}

// A property's value when it has the type and format asked for; empty otherwise.
template <class T> std::vector<T> PropertyValue(xcb_connection_t* c, xcb_get_property_cookie_t cookie, xcb_atom_t type)
{
    std::vector<T> values;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (reply && reply->type == type && reply->format == 8 * sizeof(T)) {
        int length = xcb_get_property_value_length(reply);
        auto* data = static_cast<const T*>(xcb_get_property_value(reply));
        if (length > 0) values.assign(data, data + std::size_t(length) / sizeof(T));
    }
    Free(reply);
    return values;
}

// The density: Xft.dpi where the desktop sets it, else the screen's physical size.
double ScreenDpi(xcb_connection_t* c, xcb_screen_t* screen, xcb_get_property_cookie_t resources)
{
    std::vector<char> text = PropertyValue<char>(c, resources, XCB_ATOM_STRING);
    double dpi = XftDpiFromResources(std::string_view(text.data(), text.size()));
    if (dpi > 0) return dpi;
    return std::max(DpiFromPhysicalSize(screen->width_in_pixels, screen->width_in_millimeters),
                    DpiFromPhysicalSize(screen->height_in_pixels, screen->height_in_millimeters));
}

// The first desktop's work area (x, y, width, height) where the window manager publishes one.
xcb_rectangle_t UsableArea(xcb_connection_t* c, xcb_screen_t* screen, xcb_get_property_cookie_t workarea)
{
    xcb_rectangle_t area{0, 0, screen->width_in_pixels, screen->height_in_pixels};
    std::vector<std::uint32_t> values = PropertyValue<std::uint32_t>(c, workarea, XCB_ATOM_CARDINAL);
    if (values.size() >= 4 && values[2] > 0 && values[3] > 0 && values[2] <= area.width && values[3] <= area.height &&
        values[0] < area.width && values[1] < area.height) {
        area = xcb_rectangle_t{std::int16_t(values[0]), std::int16_t(values[1]), std::uint16_t(values[2]),
                               std::uint16_t(values[3])};
    }
    return area;
}

void SetProperty(xcb_atom_t property, xcb_atom_t type, int format, std::size_t count, const void* data)
{
    xcb_change_property(g_link.connection, XCB_PROP_MODE_REPLACE, g_link.window, property, type,
                        static_cast<std::uint8_t>(format), static_cast<std::uint32_t>(count), data);
}

// What a window manager reads of the window before it is mapped.
void SetWindowManagerProperties()
{
    const X11Atoms& a = g_link.atoms;
    // WM_CLASS: instance and class, each with its terminating zero.
    std::string wmClass = std::string(ProgramName()) + '\0' + ProgramName() + '\0';
    SetProperty(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.size(), wmClass.data());
    const xcb_atom_t protocols[] = {a.wmDeleteWindow, a.netWmPing};
    SetProperty(a.wmProtocols, XCB_ATOM_ATOM, 32, 2, protocols);
    std::uint32_t pid = static_cast<std::uint32_t>(getpid());
    SetProperty(a.netWmPid, XCB_ATOM_CARDINAL, 32, 1, &pid);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) SetProperty(XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8, std::strlen(host), host);
    // WM_NORMAL_HINTS: program-given position, minimum and maximum size the same.
    std::uint32_t hints[18] = {};
    hints[0] = (1u << 2) | (1u << 4) | (1u << 5);  // PPosition, PMinSize, PMaxSize
    hints[5] = hints[7] = static_cast<std::uint32_t>(g_x.width);
    hints[6] = hints[8] = static_cast<std::uint32_t>(g_x.height);
    SetProperty(XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
    // WM_HINTS: takes the keyboard focus, starts in the normal state.
    const std::uint32_t wmHints[9] = {(1u << 0) | (1u << 1), 1, 1, 0, 0, 0, 0, 0, 0};
    SetProperty(XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, wmHints);
}

// The screen at `scale`, drawn from the start straight into a shared segment; false (and nothing
// kept) where the server cannot attach one, as on a remote display.
bool AttachSharedScreen(xcb_connection_t* c, bool serverHasShm, int scale)
{
    if (!serverHasShm) return false;
    const int width = kScreenWidth * scale, height = kScreenHeight * scale;
    std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return false;
    void* address = shmat(id, nullptr, 0);
    bool attached = false;
    if (address != reinterpret_cast<void*>(-1)) {
        // Every page is written before the first picture: one call takes them all, instead of a
        // page fault each (300 at scale 2). Kernels before 5.14 refuse it and fault them as before.
        madvise(address, bytes, MADV_POPULATE_WRITE);
        g_x.segment = xcb_generate_id(c);
        g_x.attach = xcb_shm_attach_checked(c, g_x.segment, std::uint32_t(id), 1);
        g_x.afterAttach = xcb_get_input_focus(c);
        g_x.attachUnanswered = attached = true;
    }
    // Goes when both sides have detached. Linux lets the server attach a segment so marked, and
    // not waiting for its answer here keeps a round trip out of the start.
    shmctl(id, IPC_RMID, nullptr);
    if (attached && SetScreenScaleInto(scale, static_cast<std::uint32_t*>(address), width)) {
        g_x.shared = address;
        return true;
    }
    if (address != reinterpret_cast<void*>(-1)) shmdt(address);
    g_x.segment = 0;
    return false;
}

// --- presenting --------------------------------------------------------------------------

// Whether the server took the segment: a server that could not attach it (a remote display
// that says it has MIT-SHM) gets the screen in plain PutImage requests instead.
void TakeAttachAnswer()
{
    if (!g_x.attachUnanswered) return;
    g_x.attachUnanswered = false;
    xcb_connection_t* c = g_link.connection;
    Free(xcb_get_input_focus_reply(c, g_x.afterAttach, nullptr));
    xcb_generic_error_t* error = xcb_request_check(c, g_x.attach);
    if (error) g_x.segment = 0;
    Free(error);
}

void UpdateTitle()
{
    std::string title;
    if (!DesktopTitle(&title) || title == g_x.title) return;
    g_x.title = title;
    SetProperty(g_link.atoms.netWmName, g_link.atoms.utf8String, 8, title.size(), title.data());
    std::string latin1 = Latin1FromUtf8(title);
    SetProperty(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, latin1.size(), latin1.data());
}

void SetIcon()
{
    const std::vector<IconImage>* images = DesktopIconImages();
    if (!images) return;
    std::vector<std::uint32_t> icon = NetWmIconFromImages(*images);
    if (!icon.empty()) SetProperty(g_link.atoms.netWmIcon, XCB_ATOM_CARDINAL, 32, icon.size(), icon.data());
}

// Rows of a rectangle in plain PutImage requests, as many rows each as the server takes; the
// sequence number of the last.
unsigned PutRows(const Surface& screen, const RECT& area)
{
    xcb_connection_t* c = g_link.connection;
    const int width = area.right - area.left;
    const std::size_t rowBytes = std::size_t(width) * 4;
    const std::size_t maxBytes = std::size_t(xcb_get_maximum_request_length(c)) * 4 - 64;  // less the header
    const int rowsPerRequest = std::max(1, int(std::min<std::size_t>(maxBytes / rowBytes, 1u << 14)));
    std::vector<std::uint32_t> rows;
    unsigned last = 0;
    for (int top = area.top; top < area.bottom; top += rowsPerRequest) {
        int count = std::min(rowsPerRequest, int(area.bottom - top));
        rows.resize(std::size_t(width) * std::size_t(count));
        for (int y = 0; y < count; ++y) {
            const std::uint32_t* from = screen.pixels + std::size_t(top + y) * std::size_t(screen.stride) + area.left;
            std::memcpy(&rows[std::size_t(y) * std::size_t(width)], from, rowBytes);
        }
        last = xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, g_link.window, g_x.gc, std::uint16_t(width),
                             std::uint16_t(count), std::int16_t(area.left), std::int16_t(top), 0, g_x.depth,
                             static_cast<std::uint32_t>(rows.size() * 4),
                             reinterpret_cast<const std::uint8_t*>(rows.data()))
                   .sequence;
    }
    return last;
}

// Shows a rectangle of window pixels.
void Show(const RECT& windowArea)
{
    const Surface& screen = ScreenSurface();
    RECT area = RectIntersect(windowArea, RECT{0, 0, std::min(g_x.width, screen.width), std::min(g_x.height, screen.height)});
    if (RectEmpty(area)) return;
    TakeAttachAnswer();
    unsigned sequence;
    if (g_x.segment && g_x.shared && screen.pixels == g_x.shared) {
        sequence = xcb_shm_put_image(g_link.connection, g_link.window, g_x.gc, std::uint16_t(screen.width),
                                     std::uint16_t(screen.height), std::uint16_t(area.left), std::uint16_t(area.top),
                                     std::uint16_t(area.right - area.left), std::uint16_t(area.bottom - area.top),
                                     std::int16_t(area.left), std::int16_t(area.top), g_x.depth,
                                     XCB_IMAGE_FORMAT_Z_PIXMAP, 0, g_x.segment, 0)
                       .sequence;
    } else {
        sequence = PutRows(screen, area);
    }
    if (area.left == 0 && area.top == 0 && area.right == g_x.width && area.bottom == g_x.height) {
        g_x.wholeShown = true;
        g_x.wholeShownSequence = sequence;
    }
}

void X11Present(const Surface&, const RECT& dirty)
{
    if (!g_link.window) return;
    RECT area = RectIntersect(dirty, RECT{0, 0, kScreenWidth, kScreenHeight});
    UpdateTitle();
    if (!g_x.mapped) {
        // Mapped with its first picture: a second start that only brings the first copy
        // forward never shows a window at all.
        SetIcon();
        xcb_map_window(g_link.connection, g_link.window);
        g_x.mapped = true;
        area = RECT{0, 0, kScreenWidth, kScreenHeight};
    }
    const int s = g_x.scale;
    if (!RectEmpty(area)) Show(RECT{area.left * s, area.top * s, area.right * s, area.bottom * s});
    xcb_flush(g_link.connection);
}

// --- events ------------------------------------------------------------------------------

POINT PenPoint(int x, int y)
{
    return DevicePointFromWindow(x, y, g_x.scale);
}

void QueuePen(DesktopInput::Kind kind, int x, int y, xcb_timestamp_t time)
{
    g_link.lastTime = time;
    DesktopInput in;
    in.kind = kind;
    in.point = PenPoint(x, y);
    QueueDesktopInput(in);
}

void OnClientMessage(const xcb_client_message_event_t& e)
{
    const X11Atoms& a = g_link.atoms;
    if (e.type != a.wmProtocols || e.format != 32) return;
    if (e.data.data32[0] == a.wmDeleteWindow) {
        CloseProgramWindows();
    } else if (e.data.data32[0] == a.netWmPing) {
        xcb_client_message_event_t pong = e;
        pong.window = g_link.root;
        xcb_send_event(g_link.connection, 0, g_link.root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&pong));
    }
}

// Whether the server made this event before it processed the request that last put the whole
// window (libxcb widens every event's sequence number to 32 bits).
bool MadeBeforeWholeShown(const xcb_generic_event_t& e)
{
    return g_x.wholeShown && static_cast<std::int32_t>(g_x.wholeShownSequence - e.full_sequence) > 0;
}

void OnExpose(const xcb_expose_event_t& e)
{
    RECT r{e.x, e.y, e.x + e.width, e.y + e.height};
    g_x.exposed = RectEmpty(g_x.exposed) ? r : RectUnion(g_x.exposed, r);
}

void Take(xcb_generic_event_t* event)
{
    // Events come in the order the server made them: once one made after that request has come,
    // no Expose from before it can follow, and the comparison is never left to age.
    if (event->response_type != 0 && !MadeBeforeWholeShown(*event)) g_x.wholeShown = false;
    switch (event->response_type & 0x7F) {
    case 0:  // an error: of a request whose failure changes nothing (a vanished requestor ...)
        break;
    case XCB_EXPOSE:
        if (!MadeBeforeWholeShown(*event)) OnExpose(*reinterpret_cast<xcb_expose_event_t*>(event));
        break;
    case XCB_BUTTON_PRESS: {
        auto* b = reinterpret_cast<xcb_button_press_event_t*>(event);
        if (b->detail == 1) QueuePen(DesktopInput::PenDown, b->event_x, b->event_y, b->time);
        break;
    }
    case XCB_BUTTON_RELEASE: {
        auto* b = reinterpret_cast<xcb_button_release_event_t*>(event);
        if (b->detail == 1) QueuePen(DesktopInput::PenUp, b->event_x, b->event_y, b->time);
        break;
    }
    case XCB_MOTION_NOTIFY: {
        auto* m = reinterpret_cast<xcb_motion_notify_event_t*>(event);
        QueuePen(DesktopInput::PenMove, m->event_x, m->event_y, m->time);
        break;
    }
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE: {
        auto* k = reinterpret_cast<xcb_key_press_event_t*>(event);
        g_link.lastTime = k->time;
        X11KeyEvent(g_link.connection, *k);
        break;
    }
    case XCB_FOCUS_OUT:
        X11KeyboardFocusLost();
        break;
    case XCB_MAPPING_NOTIFY:
        if (reinterpret_cast<xcb_mapping_notify_event_t*>(event)->request == XCB_MAPPING_KEYBOARD) {
            X11KeyboardMappingChanged();
        }
        break;
    case XCB_CLIENT_MESSAGE:
        OnClientMessage(*reinterpret_cast<xcb_client_message_event_t*>(event));
        break;
    case XCB_SELECTION_REQUEST:
        X11OnSelectionRequest(*reinterpret_cast<xcb_selection_request_event_t*>(event));
        break;
    case XCB_SELECTION_CLEAR:
        X11OnSelectionClear(*reinterpret_cast<xcb_selection_clear_event_t*>(event));
        break;
    case XCB_SELECTION_NOTIFY:
        X11OnLateSelectionNotify(*reinterpret_cast<xcb_selection_notify_event_t*>(event));
        break;
    }
    Free(event);
}

void TakeAll()
{
    while (!g_x.deferred.empty()) {
        xcb_generic_event_t* e = g_x.deferred.front();
        g_x.deferred.pop_front();
        Take(e);
    }
    while (xcb_generic_event_t* e = xcb_poll_for_event(g_link.connection)) Take(e);
    CheckX11Connection();
    if (!RectEmpty(g_x.exposed)) {
        Show(g_x.exposed);
        g_x.exposed = RECT{};
        xcb_flush(g_link.connection);
    }
}

void DrainWake()
{
    std::uint64_t count;
    if (read(g_wakeFd, &count, sizeof count) > 0) g_wakePending = false;
}

// --- the table ---------------------------------------------------------------------------

void ForgetConnection()
{
    if (g_link.connection) xcb_disconnect(g_link.connection);
    for (xcb_generic_event_t* e : g_x.deferred) Free(e);
    g_link = X11Link{};
    g_x = X11State{};
}

bool X11Open(int requestedScale)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    g_link.connection = c;
    if (xcb_connection_has_error(c)) {
        ForgetConnection();
        return false;
    }
    xcb_prefetch_extension_data(c, &xcb_shm_id);
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_t* screen = ScreenNumber(setup, screenNumber);
    xcb_visualid_t visual = screen ? FindVisual(screen) : 0;
    if (!visual || !ServerTakesOurPixels(setup, g_x.depth)) {
        ForgetConnection();
        return false;
    }
    g_link.root = screen->root;
    auto resources = xcb_get_property(c, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 16);
    if (!InternAtoms(c, &g_link.atoms)) {
        xcb_discard_reply(c, resources.sequence);
        ForgetConnection();
        return false;
    }
    auto workarea = xcb_get_property(c, 0, screen->root, g_link.atoms.netWorkarea, XCB_ATOM_CARDINAL, 0, 4);
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    double dpi = ScreenDpi(c, screen, resources);
    xcb_rectangle_t usable = UsableArea(c, screen, workarea);
    g_x.scale = ChooseWindowScaleLoudly(requestedScale, dpi, usable.width, usable.height);
    g_x.width = kScreenWidth * g_x.scale;
    g_x.height = kScreenHeight * g_x.scale;

    // No background: the server paints nothing before the first picture.
    g_link.window = xcb_generate_id(c);
    std::uint32_t colormap = screen->default_colormap;
    if (visual != screen->root_visual) {
        colormap = xcb_generate_id(c);
        xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, colormap, screen->root, visual);
    }
    const std::uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP;
    const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0,
                                    XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                        XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                        XCB_EVENT_MASK_BUTTON_1_MOTION | XCB_EVENT_MASK_FOCUS_CHANGE,
                                    colormap};
    const int x = usable.x + std::max(0, (usable.width - g_x.width) / 2);
    const int y = usable.y + std::max(0, (usable.height - g_x.height) / 2);
    xcb_create_window(c, g_x.depth, g_link.window, screen->root, std::int16_t(x), std::int16_t(y),
                      std::uint16_t(g_x.width), std::uint16_t(g_x.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual, mask,
                      values);
    g_x.gc = xcb_generate_id(c);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(c, g_x.gc, g_link.window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    SetWindowManagerProperties();
    // Before the program's first window is drawn.
    if (!AttachSharedScreen(c, shm && shm->present, g_x.scale)) SetScreenScale(g_x.scale);
    int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    xcb_flush(c);
    if (wake < 0 || xcb_connection_has_error(c)) {
        if (wake >= 0) close(wake);
        if (g_x.shared) {
            ReleaseScreenPixels();
            shmdt(g_x.shared);
        }
        ForgetConnection();
        return false;
    }
    std::lock_guard<std::mutex> lock(g_wakeLock);
    g_wakeFd = wake;
    return true;
}

// The segment stays attached until the process ends, as the screen may still be drawn into
// it; the server lets go of it and of the window when the connection closes.
void X11Close()
{
    {
        std::lock_guard<std::mutex> lock(g_wakeLock);
        if (g_wakeFd >= 0) close(g_wakeFd);
        g_wakeFd = -1;
    }
    if (!g_link.connection) return;
    CloseX11Keyboard();
    CloseX11Clipboard();
    ClearDesktopInput();
    void* shared = g_x.shared;
    ForgetConnection();
    g_x.shared = shared;
}

void X11Pump(int timeoutMs)
{
    if (CheckingDesktopInput() || !g_link.connection) return;
    TakeAll();
    if (timeoutMs != 0 && !DesktopInputReady()) {
        xcb_flush(g_link.connection);
        pollfd fds[2] = {{xcb_get_file_descriptor(g_link.connection), POLLIN, 0}, {g_wakeFd, POLLIN, 0}};
        if (poll(fds, 2, timeoutMs) > 0 && (fds[1].revents & POLLIN)) DrainWake();
        TakeAll();
    }
    RunDesktopInput();
}

void X11Wake()
{
    std::lock_guard<std::mutex> lock(g_wakeLock);
    if (g_wakeFd < 0 || g_wakePending.exchange(true)) return;  // one wake-up waiting is enough
    std::uint64_t one = 1;
    if (write(g_wakeFd, &one, sizeof one) != sizeof one) g_wakePending = false;
}

// Asks the window manager to activate the window; without one, raising it is ours to do.
void X11Raise()
{
    if (!g_link.window || !g_x.mapped) return;
    xcb_client_message_event_t activate{};
    activate.response_type = XCB_CLIENT_MESSAGE;
    activate.format = 32;
    activate.window = g_link.window;
    activate.type = g_link.atoms.netActiveWindow;
    activate.data.data32[0] = 1;  // from an application
    activate.data.data32[1] = g_link.lastTime;
    xcb_send_event(g_link.connection, 0, g_link.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&activate));
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(g_link.connection, g_link.window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_map_window(g_link.connection, g_link.window);  // out of the iconic state
    xcb_flush(g_link.connection);
}

const Backend kX11 = {"x11",      X11Open,    X11Close,        X11Pump,        X11Wake,
                      X11Present, X11Raise,   X11SetClipboard, X11GetClipboard};

}  // namespace

X11Link& X11()
{
    return g_link;
}

void DeferX11Event(xcb_generic_event_t* event)
{
    g_x.deferred.push_back(event);
}

void CheckX11Connection()
{
    if (g_link.connection && xcb_connection_has_error(g_link.connection)) EndWithoutDisplay();
}

const Backend& X11Backend()
{
    return kX11;
}
