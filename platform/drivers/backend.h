// The operations a display backend provides; `headless` and `sdl` implement the same table.
#pragma once
#include <cstddef>
#include <string>
#include "platform/gdi/surface.h"

struct Backend {
    const char* name;
    bool (*open)(int scale);           // create the screen; false when unavailable
    void (*close)();
    // Turn pending input into posted messages; wait up to `timeoutMs` (-1 forever) when none.
    void (*pumpEvents)(int timeoutMs);
    void (*wake)();                    // thread-safe: ends a wait in pumpEvents
    void (*present)(const Surface& screen, const RECT& dirty);
    void (*raise)();                   // bring the desktop window to the front
    // The clipboard's text in UTF-8. get: false when there is none or it exceeds `limitBytes`.
    bool (*setClipboardText)(const std::string& utf8);
    bool (*getClipboardText)(std::string* utf8, std::size_t limitBytes);
};

void SetBackend(const Backend* backend);
const Backend& CurrentBackend();
const Backend& HeadlessBackend();
// Thread-safe: ends the UI thread's wait for events.
void BackendWake();

// Which screen this process's windows are on, for other processes looking for them: none chosen
// yet (a tool such as quorix-send), the headless backend's off-screen one, or a desktop's.
enum class ScreenKind { kNone, kOffScreen, kDesktop };
ScreenKind CurrentScreenKind();

