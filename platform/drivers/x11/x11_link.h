// The X11 backend's connection and window, shared by its units (x11.cpp owns them). Private to
// drivers/x11.
#pragma once
#include <xcb/xcb.h>

struct X11Atoms {
    xcb_atom_t wmProtocols, wmDeleteWindow, netWmPing, netWmName, netWmPid, netWmIcon, netActiveWindow, netWorkarea,
        utf8String, text, clipboard, targets, incr, pasteProperty;
};

struct X11Link {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    xcb_window_t window = 0;
    X11Atoms atoms{};
    xcb_timestamp_t lastTime = XCB_CURRENT_TIME;  // of the latest input event: for selections
};

X11Link& X11();
// An event taken off the connection while waiting for another: handled by the next pump, in
// order. Takes ownership.
void DeferX11Event(xcb_generic_event_t* event);
// Ends the program in the one-line way when the connection has broken.
void CheckX11Connection();
