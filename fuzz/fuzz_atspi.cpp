// Fuzz target: the accessibility bridge's side of the bus. The bytes are one D-Bus message on
// the wire, taken apart by libdbus as it would be off the socket; whatever it accepts is decoded
// and answered from the live tree of the headless program (its keys, display, menu bar), and a
// click asked for is performed. Decoding must agree with the message, and answering must never
// crash, hang or trip libdbus's own argument checks (which abort).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "app/app.h"
#include "engine/calc_state.h"
#include "fuzz/fuzz_input.h"
#include "platform/access/access_tree.h"
#include "platform/access/atspi_answers.h"
#include "platform/access/atspi_request.h"
#include "platform/access/painted_text.h"
#include "platform/extras.h"
#include "platform/user/window_observer.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

const DbusApi* g_dbus = nullptr;
AccessObjects g_objects;
std::vector<AccessRef> g_actions;

void OnPainting(HWND hwnd, HDC hdc, const RECT& area, bool begins)
{
    if (begins) PaintedTextBegin(hwnd, hdc, area);
    else PaintedTextEnd(hwnd);
}
const WindowObserver kObserver = {nullptr, OnPainting};

// Numbers for the whole tree, as a client walking it would have them: paths the corpus names
// reach real objects.
void Walk(const AccessRef& ref)
{
    for (const AccessRef& child : AccessChildren(ref)) {
        g_objects.IdOf(child);
        Walk(child);
    }
}

// Posted commands are dropped, not dispatched: the About box's modal loop would wait for input.
void DropPosted()
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT) DispatchMessage(&msg);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetProgramName(PROGRAM_NAME);
    setenv("XDG_RUNTIME_DIR", "/nonexistent-quorix-fuzz", 1);
    std::string why;
    g_dbus = LoadDbusApi(&why);
    if (!g_dbus) FuzzFail("libdbus-1 cannot be loaded");
    StartPaintedText();
    SetWindowObserver(&kObserver);
    EnableCrossProcessWindows(false);
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    if (!InitMainWindow(instance, SW_SHOW)) FuzzFail("the program did not start");
    UpdateWindow(GetParent(g_hwndCalc));
    Walk(AccessRef{});
    // The program ends as it does when closed, so that what it still holds is not taken for a leak.
    std::atexit([] {
        if (HWND main = GetParent(g_hwndCalc)) DestroyWindow(main);
        DropPosted();
        SetWindowObserver(nullptr);
        StopPaintedText();
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DBusError error;
    g_dbus->dbus_error_init(&error);
    DBusMessage* message = g_dbus->dbus_message_demarshal(reinterpret_cast<const char*>(data), static_cast<int>(size), &error);
    g_dbus->dbus_error_free(&error);
    if (!message) return 0;

    AtspiRequest request;
    if (DecodeAtspiCall(*g_dbus, message, &request) == DecodeResult::Ok) {
        const char* path = g_dbus->dbus_message_get_path(message);
        FUZZ_CHECK(path && AtspiPath(request.object) == path);
        FUZZ_CHECK(request.object <= 0x7FFFFFFF);
    }
    AtspiContext context;
    context.dbus = g_dbus;
    context.busName = ":1.7";
    context.objects = &g_objects;
    context.actions = &g_actions;
    DBusMessage* reply = AnswerAtspiCall(context, message);
    if (reply) {
        // The answer goes on the wire whole: it must marshal.
        char* bytes = nullptr;
        int length = 0;
        FUZZ_CHECK(g_dbus->dbus_message_marshal(reply, &bytes, &length));
        g_dbus->dbus_free(bytes);
        g_dbus->dbus_message_unref(reply);
    }
    g_dbus->dbus_message_unref(message);
    for (const AccessRef& ref : g_actions) PerformAccessAction(ref);
    g_actions.clear();
    DropPosted();
    if (!IsWindow(g_hwndCalc)) FuzzFail("an answered call ended the program");
    return 0;
}
