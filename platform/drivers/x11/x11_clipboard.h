// The CLIPBOARD selection of the X11 window: copying owns it and answers requests for it
// (UTF8_STRING, STRING, TEXT, TARGETS); pasting converts it, UTF8_STRING first, STRING
// second, giving up after kPasteTimeoutMs in all.
#pragma once
#include <cstddef>
#include <string>
#include <xcb/xcb.h>

constexpr int kPasteTimeoutMs = 200;

bool X11SetClipboard(const std::string& utf8);
bool X11GetClipboard(std::string* utf8, std::size_t limitBytes);
void X11OnSelectionRequest(const xcb_selection_request_event_t& request);
void X11OnSelectionClear(const xcb_selection_clear_event_t& clear);
// A conversion's answer that came after its paste gave up: its property is removed.
void X11OnLateSelectionNotify(const xcb_selection_notify_event_t& notify);
void CloseX11Clipboard();
