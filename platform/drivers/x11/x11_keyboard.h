// The X11 window's keyboard: key events through xkbcommon with the server's real layout, into
// desktop input (virtual keys, modifiers and typed text). libxkbcommon-x11 is loaded, and the
// keymap fetched, at the first key: a start that types nothing pays for neither.
#pragma once
#include <xcb/xcb.h>

void X11KeyEvent(xcb_connection_t* connection, const xcb_key_press_event_t& event);
// The server's keyboard mapping changed (MappingNotify): fetched again at the next key.
void X11KeyboardMappingChanged();
// The window lost the focus: keys still held will not come up here, so they come up now.
void X11KeyboardFocusLost();
void CloseX11Keyboard();
