// Finding out whether accessibility is on and where its bus is (see access_switch.h). The X root
// window is read through libxcb, which every X backend has loaded already; the session bus
// through libdbus, unloaded again when it says no. The asking waits on the X server and the
// session bus (and loads libdbus when there is a session bus): done in line it held the first
// frame back by 5 to 7 ms, and on a thread of its own beside the first drawing still 2 to 3 ms.
// So it is asked on a thread once the window has drawn everything, and a moment later: the X
// server is still putting that first picture on the screen, and a second connection of ours
// would be served before it. The UI thread starts the bridge when the answer is there.
#include "platform/access/access_switch.h"
#include <xcb/xcb.h>
#include <malloc.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>
#include <string>
#include "platform/access/atspi_bridge.h"
#include "platform/access/dbus_api.h"
#include "platform/drivers/backend.h"
#include "platform/kernel/host_dirs.h"
#include "platform/kernel/shared_library.h"
#include "platform/user/queue_service.h"
#include "platform/user/window_internal.h"

namespace {

constexpr int kSessionCallTimeoutMs = 1000;
constexpr std::uint32_t kAddressCap = 4096;  // in 32-bit units, as X counts

// The root window's AT_SPI_BUS property: the accessibility bus's address, or empty.
std::string RootWindowBusAddress()
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return std::string();
    LibraryLoader library("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
#define ACCESS_XCB(X)                                                                                  \
    X(xcb_connect) X(xcb_connection_has_error) X(xcb_get_setup) X(xcb_setup_roots_iterator)             \
    X(xcb_intern_atom) X(xcb_intern_atom_reply) X(xcb_get_property) X(xcb_get_property_reply)           \
    X(xcb_get_property_value) X(xcb_get_property_value_length) X(xcb_disconnect)
    struct {
        ACCESS_XCB(LIBRARY_FUNCTION_FIELD)
    } api;
    ACCESS_XCB(LIBRARY_FUNCTION_RESOLVE)
    std::string address;
    if (!library.Ok()) {
        if (library.handle) dlclose(library.handle);
        return address;
    }
    int screenNumber = 0;
    xcb_connection_t* c = api.xcb_connect(nullptr, &screenNumber);
    if (c && !api.xcb_connection_has_error(c)) {
        xcb_screen_iterator_t screens = api.xcb_setup_roots_iterator(api.xcb_get_setup(c));
        for (int i = 0; i < screenNumber && screens.rem; ++i) screens.data++, screens.rem--;
        const char* name = "AT_SPI_BUS";
        xcb_intern_atom_reply_t* atom =
            screens.rem ? api.xcb_intern_atom_reply(c, api.xcb_intern_atom(c, 1, std::strlen(name), name), nullptr) : nullptr;
        if (atom && atom->atom != XCB_ATOM_NONE) {
            xcb_get_property_reply_t* prop = api.xcb_get_property_reply(
                c, api.xcb_get_property(c, 0, screens.data->root, atom->atom, XCB_ATOM_STRING, 0, kAddressCap), nullptr);
            if (prop && prop->format == 8) {
                address.assign(static_cast<const char*>(api.xcb_get_property_value(prop)),
                               static_cast<std::size_t>(api.xcb_get_property_value_length(prop)));
            }
            std::free(prop);
        }
        std::free(atom);
    }
    if (c) api.xcb_disconnect(c);
    dlclose(library.handle);
    return address.find('\0') == std::string::npos ? address : std::string();
}

// Calls org.a11y.Bus on the session bus; the reply, or null. `autoStart` lets the bus start the
// accessibility bus's launcher for the call.
DBusMessage* CallA11yBus(const DbusApi& d, DBusConnection* session, DBusMessage* call, bool autoStart)
{
    if (!call) return nullptr;
    d.dbus_message_set_auto_start(call, autoStart ? TRUE : FALSE);
    DBusError error;
    d.dbus_error_init(&error);
    DBusMessage* reply = d.dbus_connection_send_with_reply_and_block(session, call, kSessionCallTimeoutMs, &error);
    d.dbus_error_free(&error);
    d.dbus_message_unref(call);
    return reply;
}

// org.a11y.Status.IsEnabled, asked without starting anything: a session without the
// accessibility bus running has it off.
bool SessionSaysEnabled(const DbusApi& d, DBusConnection* session)
{
    DBusMessage* call =
        d.dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Get");
    if (!call) return false;
    const char* interface = "org.a11y.Status";
    const char* property = "IsEnabled";
    d.dbus_message_append_args(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property, DBUS_TYPE_INVALID);
    DBusMessage* reply = CallA11yBus(d, session, call, false);
    if (!reply) return false;
    bool enabled = false;
    DBusMessageIter iter, variant;
    if (d.dbus_message_iter_init(reply, &iter) && d.dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_VARIANT) {
        d.dbus_message_iter_recurse(&iter, &variant);
        if (d.dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_BOOLEAN) {
            dbus_bool_t value = FALSE;
            d.dbus_message_iter_get_basic(&variant, &value);
            enabled = value != FALSE;
        }
    }
    d.dbus_message_unref(reply);
    return enabled;
}

std::string SessionBusAddress(const DbusApi& d, DBusConnection* session)
{
    DBusMessage* reply = CallA11yBus(
        d, session, d.dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"), true);
    if (!reply) return std::string();
    std::string address;
    DBusMessageIter iter;
    if (d.dbus_message_iter_init(reply, &iter) && d.dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_STRING) {
        const char* value = nullptr;
        d.dbus_message_iter_get_basic(&iter, &value);
        if (value) address = value;
    }
    d.dbus_message_unref(reply);
    return address;
}

// Asks the session bus; empty when accessibility is off there (or no session bus answers).
// `forced`: on whatever IsEnabled says.
std::string AskSessionBus(bool forced)
{
    // Only a bus that is there: with none named, libdbus would autolaunch one (forking a
    // dbus-launch) just to be told accessibility is off.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    bool userBus = runtime && *runtime && access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS") && !userBus) return std::string();
    const DbusApi* d = LoadDbusApi(nullptr);
    if (!d) return std::string();
    DBusError error;
    d->dbus_error_init(&error);
    DBusConnection* session = d->dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    d->dbus_error_free(&error);
    std::string address;
    if (session) {
        d->dbus_connection_set_exit_on_disconnect(session, FALSE);
        if (forced || SessionSaysEnabled(*d, session)) address = SessionBusAddress(*d, session);
        d->dbus_connection_close(session);
        d->dbus_connection_unref(session);
    }
    if (address.empty()) UnloadDbusApi();
    return address;
}

std::string FindBusAddress(bool on)
{
    std::string address;
    if (const char* named = std::getenv("AT_SPI_BUS_ADDRESS"); named && *named && on) address = named;
    if (address.empty()) address = RootWindowBusAddress();
    if (address.empty()) address = AskSessionBus(on);
    return address;
}

// The asking thread's stack is the program's own, unmapped when it ends: a stack the C library
// keeps for the next thread would stay resident for nothing.
constexpr std::size_t kAskingStackBytes = 256 * 1024;
// How long after the first frame the asking begins: far more than the X server takes to show it,
// far less than anyone starting a screen reader's session would notice.
constexpr auto kAskingDelay = std::chrono::milliseconds(50);

// The question being asked on its own thread. Allocated, never a static object: nothing of it
// runs before main or at exit.
struct Asking {
    pthread_t thread{};
    bool started = false;
    void* stack = MAP_FAILED;
    std::mutex lock;
    std::condition_variable stop;  // cuts the delay short when the program ends first
    bool stopping = false;
    bool answered = false;
    bool on = false;
    std::string address;
};
Asking* g_asking = nullptr;

void Ask(Asking* a)
{
    std::string address = FindBusAddress(a->on);
    {
        std::lock_guard<std::mutex> lock(a->lock);
        a->address = std::move(address);
        a->answered = true;
    }
    BackendWake();
}

// Starts the thread on a stack of its own; false when there is none to be had.
bool StartAskingThread(Asking* a)
{
    // Its allocations (libdbus's) come from the one arena the UI thread uses, and go back with
    // malloc_trim; an arena of its own would stay behind, partly resident, for nothing. The
    // program's few other threads allocate next to nothing.
    mallopt(M_ARENA_MAX, 1);
    a->stack = mmap(nullptr, kAskingStackBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (a->stack == MAP_FAILED) return false;
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) return false;
    bool started = pthread_attr_setstack(&attr, a->stack, kAskingStackBytes) == 0 &&
                   pthread_create(&a->thread, &attr, [](void* arg) -> void* {
                       auto* asking = static_cast<Asking*>(arg);
                       {
                           std::unique_lock<std::mutex> lock(asking->lock);
                           if (asking->stop.wait_for(lock, kAskingDelay, [asking] { return asking->stopping; })) {
                               return nullptr;  // ending before the question went out: no answer needed
                           }
                       }
                       Ask(asking);
                       return nullptr;
                   }, a) == 0;
    pthread_attr_destroy(&attr);
    a->started = started;
    return started;
}

// Ends the asking (waiting for its thread); the bus address it found.
std::string FinishAsking()
{
    Asking* a = g_asking;
    g_asking = nullptr;
    {
        std::lock_guard<std::mutex> lock(a->lock);
        a->stopping = true;
    }
    a->stop.notify_one();
    if (a->started) pthread_join(a->thread, nullptr);
    if (a->stack != MAP_FAILED) munmap(a->stack, kAskingStackBytes);
    std::string address = std::move(a->address);
    bool toldOn = a->on && a->answered;  // asked, with accessibility asked for
    delete a;
    if (address.empty()) {
        if (toldOn) std::fprintf(stderr, "%s: no accessibility bus found; screen readers are not served\n",
                                 program_invocation_short_name);
        // What libdbus took goes back to the system.
        malloc_trim(0);
    }
    return address;
}

// The queue service while the answer is awaited: starts the bridge once it is there.
void TakeAnswer()
{
    {
        std::lock_guard<std::mutex> lock(g_asking->lock);
        if (!g_asking->answered) return;
    }
    SetQueueService(nullptr);
    std::string address = FinishAsking();
    if (!address.empty()) StartAtspiBridge(address);
}

// The queue service until the window has nothing left to paint: then the question goes out.
void AskWhenDrawn()
{
    HWND unpainted = nullptr;
    if (HasPendingPaint(&unpainted)) return;
    // The drawing is handed to the window just after this: the thread is started on the next
    // round, once the picture has gone, and the wake-up makes sure there is one.
    if (ScreenIsDirty()) {
        BackendWake();
        return;
    }
    SetQueueService(TakeAnswer);
    // No thread to be had: asked in line, as the answer is needed all the same.
    if (!StartAskingThread(g_asking)) Ask(g_asking);
}

}  // namespace

void StartAccessibility()
{
    const char* forced = ProgramVariable("ACCESSIBILITY");
    if (forced && std::strcmp(forced, "0") == 0) return;
    if (g_asking) return;
    g_asking = new Asking;
    g_asking->on = forced && std::strcmp(forced, "1") == 0;
    SetQueueService(AskWhenDrawn);
}

void StopAccessibility()
{
    if (g_asking) {
        SetQueueService(nullptr);
        FinishAsking();
    }
    StopAtspiBridge();
    UnloadDbusApi();
}
