// Other processes' windows as the window core sees them. The publishing room installs these
// operations when cross-process windows are enabled; until then no handle is remote and no
// window is published, and the core never links against the sockets behind them.
#pragma once
#include <atomic>
#include "platform/win_types.h"

struct RemoteWindowOps {
    // Makes a top-level window findable by other processes (again: updates its class and title).
    void (*publish)(HWND local, LPCWSTR className, LPCWSTR title);
    void (*withdraw)(HWND local);
    // Another process's window of this class and title, or null.
    HWND (*find)(LPCWSTR className, LPCWSTR title);
    bool (*isRemote)(HWND hwnd);
    BOOL (*setForeground)(HWND hwnd);
    LRESULT (*send)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The thread's queue ran dry: whatever this process publishes at start, it has published.
    void (*idle)();
};

// PostMessage for another thread that must know the message arrived: true once the UI thread has
// taken it from the queue within timeoutMs; otherwise it is taken back, never to be delivered
// late, and false. `stop`, when set (looked at every few milliseconds), ends the wait likewise.
bool PostMessageTaken(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, int timeoutMs,
                      const std::atomic<bool>* stop);

// Null turns cross-process windows off.
void SetRemoteWindowOps(const RemoteWindowOps* ops);
// Null while cross-process windows are off.
const RemoteWindowOps* RemoteWindows();

inline bool IsRemoteHandle(HWND hwnd)
{
    const RemoteWindowOps* remote = RemoteWindows();
    return hwnd && remote && remote->isRemote(hwnd);
}
