// The AT-SPI2 bridge (see atspi_bridge.h). Events come from comparing what clients were told
// with the tree as it is now, after each batch of window changes: every registered object's
// states, name and text, and the children of every container a client has listed.
#include "platform/access/atspi_bridge.h"
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <atomic>
#include <condition_variable>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include "platform/access/access_tree.h"
#include "platform/access/atspi_answers.h"
#include "platform/access/atspi_constants.h"
#include "platform/access/atspi_request.h"
#include "platform/access/painted_text.h"
#include "platform/drivers/backend.h"
#include "platform/kernel/text_utf16.h"
#include "platform/user/queue_service.h"
#include "platform/user/window_observer.h"

namespace {

// Past this much unsent, events are dropped rather than held: a client that stopped reading
// must not make the program grow.
constexpr long kOutgoingCap = 4 * 1024 * 1024;
constexpr int kBatchCap = 64;

// What clients were last told of an object.
struct Told {
    AccessNode node;
    bool childrenKnown = false;
    std::vector<AccessRef> children;
};

// Waits for the bus on its own thread, so that any backend's event wait serves it: the thread
// wakes the UI thread and waits until the UI thread has read what came.
class BusWatcher {
public:
    bool Start(int busFd)
    {
        m_busFd = busFd;
        m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wakeFd < 0) return false;
        m_stop = false;
        m_armed = true;
        m_thread = std::thread([this] { Run(); });
        return true;
    }
    void Stop()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_stop = true;
        }
        m_cv.notify_all();
        Poke();
        if (m_thread.joinable()) m_thread.join();
        if (m_wakeFd >= 0) close(m_wakeFd);
        m_wakeFd = -1;
    }
    // The UI thread took what was ready: watch again, for writing too when `write`.
    void Arm(bool write)
    {
        m_write = write;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_armed = true;
        }
        m_cv.notify_all();
        Poke();
    }
    bool TakeReady() { return m_ready.exchange(false); }
    // Messages wait inside libdbus: serve again without waiting for the socket.
    void Again()
    {
        m_ready = true;
        BackendWake();
    }

private:
    void Poke()
    {
        std::uint64_t one = 1;
        if (m_wakeFd >= 0) (void)!write(m_wakeFd, &one, sizeof one);
    }
    void Run()
    {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(m_lock);
                m_cv.wait(lock, [this] { return m_armed || m_stop; });
                if (m_stop) return;
            }
            pollfd fds[2] = {{m_busFd, short(POLLIN | (m_write ? POLLOUT : 0)), 0}, {m_wakeFd, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) continue;
            if (fds[1].revents) {
                std::uint64_t count;
                while (read(m_wakeFd, &count, sizeof count) > 0) {
                }
            }
            if (fds[0].revents) {
                {
                    std::lock_guard<std::mutex> lock(m_lock);
                    m_armed = false;
                }
                m_ready = true;
                BackendWake();
            }
        }
    }

    int m_busFd = -1;
    int m_wakeFd = -1;
    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_stop = false;
    bool m_armed = false;
    std::atomic<bool> m_write{false};
    std::atomic<bool> m_ready{false};
};

struct Bridge {
    const DbusApi* dbus = nullptr;
    DBusConnection* connection = nullptr;
    AccessObjects objects;
    AtspiContext context;
    std::vector<AccessRef> actions;
    std::map<std::uint32_t, Told> told;
    BusWatcher watcher;
    dbus_uint32_t embedSerial = 0;
    bool changed = false;  // the window tree changed since the last comparison
};

Bridge* g_bridge = nullptr;

std::string Utf8(const std::u16string& text)
{
    std::string out = Utf16ToUtf8(text.data(), text.size());
    out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
    return out;
}

// ---- Events ---------------------------------------------------------------------------------

enum class Any { Zero, Text, Ref };

void Emit(Bridge& b, const char* interface, const char* member, std::uint32_t object, const char* detail,
          std::int32_t detail1, std::int32_t detail2, Any kind = Any::Zero, const std::string& text = "",
          std::uint32_t refObject = 0)
{
    const DbusApi& d = *b.dbus;
    if (d.dbus_connection_get_outgoing_size(b.connection) > kOutgoingCap) return;
    std::string path = AtspiPath(object);
    DBusMessage* signal = d.dbus_message_new_signal(path.c_str(), interface, member);
    if (!signal) return;
    DBusMessageIter iter, variant, dict;
    d.dbus_message_iter_init_append(signal, &iter);
    d.dbus_message_iter_append_basic(&iter, DBUS_TYPE_STRING, &detail);
    d.dbus_message_iter_append_basic(&iter, DBUS_TYPE_INT32, &detail1);
    d.dbus_message_iter_append_basic(&iter, DBUS_TYPE_INT32, &detail2);
    const char* signature = kind == Any::Text ? "s" : kind == Any::Ref ? "(so)" : "i";
    d.dbus_message_iter_open_container(&iter, DBUS_TYPE_VARIANT, signature, &variant);
    if (kind == Any::Text) {
        const char* s = text.c_str();
        d.dbus_message_iter_append_basic(&variant, DBUS_TYPE_STRING, &s);
    } else if (kind == Any::Ref) {
        DBusMessageIter ref;
        std::string refPath = AtspiPath(refObject);
        const char* name = b.context.busName.c_str();
        const char* p = refPath.c_str();
        d.dbus_message_iter_open_container(&variant, DBUS_TYPE_STRUCT, nullptr, &ref);
        d.dbus_message_iter_append_basic(&ref, DBUS_TYPE_STRING, &name);
        d.dbus_message_iter_append_basic(&ref, DBUS_TYPE_OBJECT_PATH, &p);
        d.dbus_message_iter_close_container(&variant, &ref);
    } else {
        std::int32_t zero = 0;
        d.dbus_message_iter_append_basic(&variant, DBUS_TYPE_INT32, &zero);
    }
    d.dbus_message_iter_close_container(&iter, &variant);
    d.dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "{sv}", &dict);
    d.dbus_message_iter_close_container(&iter, &dict);
    d.dbus_connection_send(b.connection, signal, nullptr);
    d.dbus_message_unref(signal);
}

struct StateName {
    atspi::State state;
    const char* name;
};
const StateName kReportedStates[] = {
    {atspi::STATE_ACTIVE, "active"},     {atspi::STATE_CHECKED, "checked"},   {atspi::STATE_ENABLED, "enabled"},
    {atspi::STATE_EXPANDED, "expanded"}, {atspi::STATE_FOCUSED, "focused"},   {atspi::STATE_PRESSED, "pressed"},
    {atspi::STATE_SENSITIVE, "sensitive"}, {atspi::STATE_SHOWING, "showing"}, {atspi::STATE_VISIBLE, "visible"},
};

std::uint32_t IdFor(Bridge& b, const AccessRef& ref)
{
    return ref.kind == AccessKind::Application ? 0 : b.objects.IdOf(ref);
}

void TellText(Bridge& b, std::uint32_t id, const std::u16string& before, const std::u16string& now)
{
    std::int32_t oldCount = static_cast<std::int32_t>(DecodeUtf16(before.data(), before.size()).size());
    std::int32_t newCount = static_cast<std::int32_t>(DecodeUtf16(now.data(), now.size()).size());
    if (oldCount > 0) Emit(b, atspi::kEventObject, "TextChanged", id, "delete", 0, oldCount, Any::Text, Utf8(before));
    if (newCount > 0) Emit(b, atspi::kEventObject, "TextChanged", id, "insert", 0, newCount, Any::Text, Utf8(now));
}

void TellStates(Bridge& b, std::uint32_t id, const AccessRef& ref, std::uint64_t before, std::uint64_t now)
{
    for (const StateName& s : kReportedStates) {
        std::uint64_t bit = atspi::StateBit(s.state);
        if ((before & bit) == (now & bit)) continue;
        bool on = (now & bit) != 0;
        Emit(b, atspi::kEventObject, "StateChanged", id, s.name, on ? 1 : 0, 0);
        if (s.state == atspi::STATE_FOCUSED && on) Emit(b, atspi::kEventFocus, "Focus", id, "", 0, 0);
        if (s.state == atspi::STATE_ACTIVE && ref.kind == AccessKind::Window) {
            Emit(b, atspi::kEventWindow, on ? "Activate" : "Deactivate", id, "", 0, 0);
        }
    }
}

void TellChildren(Bridge& b, std::uint32_t parent, Told& told, const std::vector<AccessRef>& now)
{
    const std::vector<AccessRef>& before = told.children;
    for (int i = static_cast<int>(before.size()) - 1; i >= 0; --i) {
        if (std::find(now.begin(), now.end(), before[std::size_t(i)]) != now.end()) continue;
        Emit(b, atspi::kEventObject, "ChildrenChanged", parent, "remove", i, 0, Any::Ref, "",
             IdFor(b, before[std::size_t(i)]));
    }
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (std::find(before.begin(), before.end(), now[i]) != before.end()) continue;
        std::uint32_t child = IdFor(b, now[i]);
        Emit(b, atspi::kEventObject, "ChildrenChanged", parent, "add", static_cast<std::int32_t>(i), 0, Any::Ref, "",
             child);
        AccessNode node;
        if (child && !b.told.count(child) && DescribeAccess(now[i], &node)) b.told[child].node = node;
    }
    told.children = now;
}

// Compares every object clients know with the tree as it is, and tells them what changed.
void CompareAndTell(Bridge& b)
{
    b.changed = false;
    // The focus is told even on an object no client has asked about yet.
    if (HWND focus = GetFocus()) {
        AccessRef ref = WindowRef(focus);
        AccessNode node;
        std::uint32_t id = b.objects.IdOf(ref);
        if (!b.told.count(id) && AccessIncluded(ref) && DescribeAccess(ref, &node)) {
            node.states &= ~atspi::StateBit(atspi::STATE_FOCUSED);
            b.told[id].node = node;
        }
    }
    for (std::uint32_t id : b.objects.Ids()) {
        auto told = b.told.find(id);
        if (told == b.told.end()) continue;
        AccessRef ref;
        AccessNode now;
        if (!b.objects.Find(id, &ref) || !DescribeAccess(ref, &now)) {
            Emit(b, atspi::kEventObject, "StateChanged", id, "defunct", 1, 0);
            b.told.erase(told);
            b.objects.Forget(id);
            continue;
        }
        Told& t = told->second;
        if (t.node.name != now.name) {
            Emit(b, atspi::kEventObject, "PropertyChange", id, "accessible-name", 0, 0, Any::Text, Utf8(now.name));
        }
        if (t.node.text != now.text && (now.interfaces & ACCESS_TEXT)) TellText(b, id, t.node.text, now.text);
        TellStates(b, id, ref, t.node.states, now.states);
        t.node = now;
    }
    for (auto& [id, t] : b.told) {
        if (!t.childrenKnown) continue;
        AccessRef ref;
        if (id == 0 || b.objects.Find(id, &ref)) TellChildren(b, id, t, AccessChildren(ref));
    }
}

void OnChildrenGiven(std::uint32_t id, const std::vector<AccessRef>& children)
{
    if (!g_bridge) return;
    Told& t = g_bridge->told[id];
    t.childrenKnown = true;
    t.children = children;
    AccessRef ref;
    if (id == 0 || g_bridge->objects.Find(id, &ref)) DescribeAccess(ref, &t.node);
}

// ---- The window core's notices ----------------------------------------------------------------

void OnWindowChanged(HWND hwnd, WindowChange change)
{
    if (!g_bridge) return;
    g_bridge->changed = true;
    if (change == WindowChange::Destroyed) ForgetPaintedText(hwnd);
    if (change == WindowChange::Destroyed || change == WindowChange::Hidden) {
        // An action queued for it must not run on whatever takes its place.
        auto& actions = g_bridge->actions;
        actions.erase(std::remove_if(actions.begin(), actions.end(), [hwnd](const AccessRef& r) { return r.hwnd == hwnd; }),
                      actions.end());
    }
}

void OnPainting(HWND hwnd, HDC hdc, const RECT& area, bool begins)
{
    if (!g_bridge) return;
    if (begins) {
        PaintedTextBegin(hwnd, hdc, area);
    } else if (PaintedTextEnd(hwnd)) {
        g_bridge->changed = true;
    }
}

const WindowObserver kObserver = {OnWindowChanged, OnPainting};

// ---- The bus --------------------------------------------------------------------------------

void Flush(Bridge& b)
{
    const DbusApi& d = *b.dbus;
    d.dbus_connection_read_write(b.connection, 0);
}

DBusHandlerResult HandleMessage(DBusConnection*, DBusMessage* message, void*)
{
    if (!g_bridge) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    Bridge& b = *g_bridge;
    const DbusApi& d = *b.dbus;
    int type = d.dbus_message_get_type(message);
    if (type == DBUS_MESSAGE_TYPE_METHOD_RETURN && b.embedSerial &&
        d.dbus_message_get_reply_serial(message) == b.embedSerial) {
        DBusMessageIter iter, ref;
        if (d.dbus_message_iter_init(message, &iter) && d.dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_STRUCT) {
            d.dbus_message_iter_recurse(&iter, &ref);
            const char* name = nullptr;
            const char* path = nullptr;
            if (d.dbus_message_iter_get_arg_type(&ref) == DBUS_TYPE_STRING) d.dbus_message_iter_get_basic(&ref, &name);
            d.dbus_message_iter_next(&ref);
            if (d.dbus_message_iter_get_arg_type(&ref) == DBUS_TYPE_OBJECT_PATH) d.dbus_message_iter_get_basic(&ref, &path);
            if (name && path) {
                b.context.desktopName = name;
                b.context.desktopPath = path;
            }
        }
        b.embedSerial = 0;
        return DBUS_HANDLER_RESULT_HANDLED;
    }
    if (type != DBUS_MESSAGE_TYPE_METHOD_CALL) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    if (const char* interface = d.dbus_message_get_interface(message);
        interface && std::strcmp(interface, "org.freedesktop.DBus.Peer") == 0) {
        return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;  // libdbus answers pings
    }
    DBusMessage* reply = AnswerAtspiCall(b.context, message);
    if (reply) {
        if (d.dbus_connection_get_outgoing_size(b.connection) <= kOutgoingCap) d.dbus_connection_send(b.connection, reply, nullptr);
        d.dbus_message_unref(reply);
    }
    return DBUS_HANDLER_RESULT_HANDLED;
}

// The queue service: reads the bus when the watcher saw something, answers, runs the actions
// asked for, and tells what changed.
void Service()
{
    Bridge* b = g_bridge;
    if (!b) return;
    const DbusApi& d = *b->dbus;
    bool ready = b->watcher.TakeReady();
    bool more = false;
    if (ready) {
        d.dbus_connection_read_write(b->connection, 0);
        // A bounded batch: a flood of calls must not starve the window. Each message goes
        // through the filter (HandleMessage); libdbus answers the peer pings itself.
        for (int i = 0; i < kBatchCap && g_bridge == b; ++i) {
            if (d.dbus_connection_dispatch(b->connection) != DBUS_DISPATCH_DATA_REMAINS) break;
        }
        if (g_bridge != b) return;
        if (!d.dbus_connection_get_is_connected(b->connection)) {
            std::fprintf(stderr, "%s: the accessibility bus went away; screen readers are no longer served\n",
                         program_invocation_short_name);
            StopAtspiBridge();
            return;
        }
    }
    std::vector<AccessRef> actions;
    actions.swap(b->actions);
    for (const AccessRef& ref : actions) PerformAccessAction(ref);
    if (g_bridge != b) return;
    if (b->changed) CompareAndTell(*b);
    // Writing reads as well: what came meanwhile is inside libdbus now, and the socket is quiet.
    Flush(*b);
    more = d.dbus_connection_get_dispatch_status(b->connection) == DBUS_DISPATCH_DATA_REMAINS;
    if (more) {
        b->watcher.Again();  // the rest of the batch, after the window has had its turn
    } else if (ready) {
        b->watcher.Arm(d.dbus_connection_has_messages_to_send(b->connection));
    } else if (d.dbus_connection_has_messages_to_send(b->connection)) {
        b->watcher.Arm(true);
    }
}

bool Embed(Bridge& b)
{
    const DbusApi& d = *b.dbus;
    DBusMessage* call = d.dbus_message_new_method_call(atspi::kRegistryName, atspi::kRootPath, atspi::kSocket, "Embed");
    if (!call) return false;
    DBusMessageIter iter, ref;
    d.dbus_message_iter_init_append(call, &iter);
    const char* name = b.context.busName.c_str();
    const char* path = atspi::kRootPath;
    d.dbus_message_iter_open_container(&iter, DBUS_TYPE_STRUCT, nullptr, &ref);
    d.dbus_message_iter_append_basic(&ref, DBUS_TYPE_STRING, &name);
    d.dbus_message_iter_append_basic(&ref, DBUS_TYPE_OBJECT_PATH, &path);
    d.dbus_message_iter_close_container(&iter, &ref);
    bool sent = d.dbus_connection_send(b.connection, call, &b.embedSerial);
    d.dbus_message_unref(call);
    return sent;
}

void CloseConnection(const DbusApi& d, DBusConnection* connection)
{
    d.dbus_connection_close(connection);
    d.dbus_connection_unref(connection);
}

}  // namespace

bool StartAtspiBridge(const std::string& busAddress)
{
    if (g_bridge) return true;
    std::string why;
    const DbusApi* dbus = LoadDbusApi(&why);
    if (!dbus) {
        std::fprintf(stderr, "%s: no screen reader support: %s\n", program_invocation_short_name, why.c_str());
        return false;
    }
    DBusError error;
    dbus->dbus_error_init(&error);
    DBusConnection* connection = dbus->dbus_connection_open_private(busAddress.c_str(), &error);
    if (connection) {
        dbus->dbus_connection_set_exit_on_disconnect(connection, FALSE);
        if (!dbus->dbus_bus_register(connection, &error)) {
            CloseConnection(*dbus, connection);
            connection = nullptr;
        }
    }
    int fd = -1;
    if (!connection || !dbus->dbus_connection_get_unix_fd(connection, &fd)) {
        std::fprintf(stderr, "%s: no screen reader support: cannot reach the accessibility bus (%s)\n",
                     program_invocation_short_name, dbus->dbus_error_is_set(&error) ? error.message : "no socket");
        dbus->dbus_error_free(&error);
        if (connection) CloseConnection(*dbus, connection);
        return false;
    }
    auto* b = new Bridge;
    b->dbus = dbus;
    b->connection = connection;
    b->context.dbus = dbus;
    b->context.busName = dbus->dbus_bus_get_unique_name(connection);
    b->context.objects = &b->objects;
    b->context.actions = &b->actions;
    b->context.childrenGiven = OnChildrenGiven;
    if (!dbus->dbus_connection_add_filter(connection, HandleMessage, nullptr, nullptr) || !b->watcher.Start(fd) ||
        !Embed(*b)) {
        b->watcher.Stop();
        CloseConnection(*dbus, connection);
        delete b;
        return false;
    }
    g_bridge = b;
    StartPaintedText();
    SetWindowObserver(&kObserver);
    SetQueueService(Service);
    // Everything on the screen was painted before anyone listened: paint it again to read it.
    InvalidateRect(nullptr, nullptr, FALSE);
    Flush(*b);
    b->watcher.Arm(dbus->dbus_connection_has_messages_to_send(connection));
    return true;
}

void StopAtspiBridge()
{
    Bridge* b = g_bridge;
    if (!b) return;
    g_bridge = nullptr;
    SetQueueService(nullptr);
    SetWindowObserver(nullptr);
    StopPaintedText();
    b->watcher.Stop();
    CloseConnection(*b->dbus, b->connection);
    delete b;
}

bool AtspiBridgeRunning()
{
    return g_bridge != nullptr;
}
