// The CLIPBOARD selection (see x11_clipboard.h). Our own text is kept here and handed to any
// client that asks while we own the selection; pasting from ourselves needs no round trip.
// Waiting for another client's answer reads the connection alone, with a deadline: other events
// met meanwhile are kept for the pump, requests for our own selection are answered at once.
// Knowingly lacks: INCR transfers (owners use them for texts of hundreds of kilobytes; the
// program takes a few thousand characters at most).
#include "platform/drivers/x11/x11_clipboard.h"
#include <chrono>
#include <cstdlib>
#include <poll.h>
#include "platform/drivers/x11/x11_link.h"
#include "platform/drivers/x11/x11_props.h"

namespace {

struct Clipboard {
    std::string text;  // what we own, UTF-8
    bool owned = false;
};
Clipboard g_clip;

using Clock = std::chrono::steady_clock;

void Free(void* p)
{
    std::free(p);
}

bool OwnsSelection()
{
    X11Link& x = X11();
    auto cookie = xcb_get_selection_owner(x.connection, x.atoms.clipboard);
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(x.connection, cookie, nullptr);
    bool ours = reply && reply->owner == x.window;
    Free(reply);
    return ours;
}

void Answer(const xcb_selection_request_event_t& request, xcb_atom_t property)
{
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    // A requestor that has gone meanwhile gives an error event, which the pump ignores.
    xcb_send_event(X11().connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(X11().connection);
}

// Writes the target's value on the requestor's property; false for a target we do not offer.
bool Provide(const xcb_selection_request_event_t& request, xcb_atom_t property)
{
    X11Link& x = X11();
    const X11Atoms& a = x.atoms;
    if (request.target == a.targets) {
        const xcb_atom_t offered[] = {a.targets, a.utf8String, XCB_ATOM_STRING, a.text};
        xcb_change_property(x.connection, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32,
                            sizeof offered / sizeof offered[0], offered);
    } else if (request.target == a.utf8String || request.target == a.text) {
        xcb_change_property(x.connection, XCB_PROP_MODE_REPLACE, request.requestor, property, a.utf8String, 8,
                            static_cast<std::uint32_t>(g_clip.text.size()), g_clip.text.data());
    } else if (request.target == XCB_ATOM_STRING) {
        std::string latin1 = Latin1FromUtf8(g_clip.text);
        xcb_change_property(x.connection, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(latin1.size()), latin1.data());
    } else {
        return false;
    }
    return true;
}

// The answer to our conversion of `target`, or false at the deadline.
bool WaitForNotify(xcb_atom_t target, xcb_timestamp_t time, Clock::time_point deadline,
                   xcb_selection_notify_event_t* answer)
{
    X11Link& x = X11();
    for (;;) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(x.connection)) {
            std::uint8_t type = e->response_type & 0x7F;
            if (type == XCB_SELECTION_NOTIFY) {
                auto* n = reinterpret_cast<xcb_selection_notify_event_t*>(e);
                bool ours = n->requestor == x.window && n->selection == x.atoms.clipboard && n->target == target &&
                            n->time == time;
                if (ours) *answer = *n;
                else X11OnLateSelectionNotify(*n);
                Free(e);
                if (ours) return true;
            } else if (type == XCB_SELECTION_REQUEST) {
                X11OnSelectionRequest(*reinterpret_cast<xcb_selection_request_event_t*>(e));
                Free(e);
            } else {
                DeferX11Event(e);
            }
        }
        CheckX11Connection();
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd fd{xcb_get_file_descriptor(x.connection), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left));
    }
}

// The property our conversion was written to, read and removed; false for anything not text.
bool ReadPasted(std::size_t limitBytes, std::string* utf8)
{
    X11Link& x = X11();
    // One long more than the limit tells a text that is too long from one that just fits.
    std::uint32_t longs = static_cast<std::uint32_t>(limitBytes / 4 + 1);
    auto cookie = xcb_get_property(x.connection, 1, x.window, x.atoms.pasteProperty, XCB_GET_PROPERTY_TYPE_ANY, 0, longs);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(x.connection, cookie, nullptr);
    CheckX11Connection();
    if (!reply) return false;
    bool ok = false;
    if (reply->bytes_after == 0 && (reply->type == x.atoms.utf8String || reply->type == XCB_ATOM_STRING)) {
        int length = xcb_get_property_value_length(reply);
        auto* data = static_cast<const std::uint8_t*>(xcb_get_property_value(reply));
        SelectionEncoding encoding = reply->type == x.atoms.utf8String ? SelectionEncoding::Utf8 : SelectionEncoding::Latin1;
        ok = length >= 0 && SelectionTextToUtf8(encoding, reply->format, data, std::size_t(length), limitBytes, utf8);
    }
    // Too long, INCR or of another type: not deleted by the read above, so removed here.
    if (reply->bytes_after != 0 || !ok) xcb_delete_property(x.connection, x.window, x.atoms.pasteProperty);
    Free(reply);
    return ok;
}

}  // namespace

bool X11SetClipboard(const std::string& utf8)
{
    X11Link& x = X11();
    if (!x.connection) return false;
    g_clip.text = utf8;
    xcb_set_selection_owner(x.connection, x.window, x.atoms.clipboard, x.lastTime);
    g_clip.owned = OwnsSelection();
    CheckX11Connection();
    return g_clip.owned;
}

bool X11GetClipboard(std::string* utf8, std::size_t limitBytes)
{
    X11Link& x = X11();
    if (!x.connection || !utf8) return false;
    if (g_clip.owned) {
        if (g_clip.text.empty() || g_clip.text.size() > limitBytes) return false;
        *utf8 = g_clip.text;
        return true;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kPasteTimeoutMs);
    for (xcb_atom_t target : {x.atoms.utf8String, xcb_atom_t(XCB_ATOM_STRING)}) {
        xcb_convert_selection(x.connection, x.window, x.atoms.clipboard, target, x.atoms.pasteProperty, x.lastTime);
        xcb_flush(x.connection);
        xcb_selection_notify_event_t answer{};
        if (!WaitForNotify(target, x.lastTime, deadline, &answer)) return false;  // nobody answered in time
        if (answer.property == XCB_NONE) continue;  // refused: the next target
        return ReadPasted(limitBytes, utf8) && !utf8->empty();
    }
    return false;
}

void X11OnSelectionRequest(const xcb_selection_request_event_t& request)
{
    // Obsolete clients name no property: the target's name serves.
    xcb_atom_t property = request.property == XCB_NONE ? request.target : request.property;
    bool given = g_clip.owned && request.owner == X11().window && request.selection == X11().atoms.clipboard &&
                 Provide(request, property);
    Answer(request, given ? property : XCB_NONE);
}

void X11OnSelectionClear(const xcb_selection_clear_event_t& clear)
{
    if (clear.selection == X11().atoms.clipboard) g_clip.owned = false;
}

void X11OnLateSelectionNotify(const xcb_selection_notify_event_t& notify)
{
    X11Link& x = X11();
    if (notify.requestor == x.window && notify.property != XCB_NONE) {
        xcb_delete_property(x.connection, x.window, notify.property);
    }
}

void CloseX11Clipboard()
{
    g_clip = Clipboard{};
}
