// The UI thread's message queue: posting (from any thread), fetching, dispatching and sending.
// WM_PAINT is never queued: it is made up when the queue is empty and a window needs painting.
#include <deque>
#include <mutex>
#include "platform/drivers/backend.h"
#include "platform/user/input.h"
#include "platform/user/platform_messages.h"
#include "platform/user/queue_service.h"
#include "platform/user/window_internal.h"
#include "platform/user/remote_windows.h"

namespace {

std::mutex g_queueLock;
std::deque<MSG> g_queue;
bool g_quitPosted = false;
int g_quitCode = 0;
void (*g_service)() = nullptr;
bool g_inService = false;

void RunQueueService()
{
    if (!g_service || g_inService) return;
    g_inService = true;
    g_service();
    g_inService = false;
}

bool Matches(const MSG& m, HWND hwnd, UINT lo, UINT hi)
{
    if (hwnd && m.hwnd != hwnd && !IsDescendant(hwnd, m.hwnd)) return false;
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

// Takes (or peeks) the first queued message that matches; WM_QUIT when quit was posted and nothing
// else is queued; WM_PAINT for the first window that needs painting.
bool FetchOne(MSG* out, HWND hwnd, UINT lo, UINT hi, bool remove)
{
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
            if (!Matches(*it, hwnd, lo, hi)) continue;
            *out = *it;
            if (remove) g_queue.erase(it);
            return true;
        }
        if (g_quitPosted && (lo == 0 && hi == 0)) {
            *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0, 0, {0, 0}};
            if (remove) g_quitPosted = false;
            return true;
        }
    }
    HWND paint = nullptr;
    if ((lo == 0 && hi == 0) || (WM_PAINT >= lo && WM_PAINT <= hi)) {
        if (HasPendingPaint(&paint) && (!hwnd || paint == hwnd || IsDescendant(hwnd, paint))) {
            *out = MSG{paint, WM_PAINT, 0, 0, 0, {0, 0}};
            return true;
        }
    }
    return false;
}

void PresentIfDirty()
{
    RECT dirty;
    if (TakeScreenDirty(&dirty)) CurrentBackend().present(ScreenSurface(), dirty);
}

}  // namespace

void SetQueueService(void (*service)())
{
    g_service = service;
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (IsRemoteHandle(hwnd)) {
        // The other process answers through the last error: ERROR_SUCCESS once it has queued it.
        RemoteWindows()->send(hwnd, msg, wParam, lParam);
        return GetLastError() == ERROR_SUCCESS ? TRUE : FALSE;
    }
    // The window table belongs to the UI thread: other threads post only to handles they were
    // given, and the handle is checked again when the message is dispatched.
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        if (g_queue.size() >= 100000) return FALSE;  // a runaway poster must not eat the memory
        g_queue.push_back(MSG{hwnd, msg, wParam, lParam, 0, {0, 0}});
    }
    BackendWake();
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        g_quitPosted = true;
        g_quitCode = exitCode;
    }
    BackendWake();
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg) return FALSE;
    CurrentBackend().pumpEvents(0);
    RunQueueService();
    if (FetchOne(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)) return TRUE;
    PresentIfDirty();
    return FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg) return -1;
    if (hwnd && !FindWin(hwnd)) return -1;
    for (;;) {
        CurrentBackend().pumpEvents(0);
        RunQueueService();
        if (FetchOne(msg, hwnd, filterMin, filterMax, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
        PresentIfDirty();
        CurrentBackend().pumpEvents(-1);
    }
}

BOOL TranslateMessage(const MSG* msg)
{
    // Key strokes become WM_CHAR in the backends already, where the text input is known.
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN);
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg) return 0;
    if (!msg->hwnd) {
        RunThreadMessageHook(*msg);
        return 0;
    }
    Window* w = FindWin(msg->hwnd);
    if (!w) return 0;
    LRESULT result = SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        // A window procedure that did not paint must not be asked again and again.
        if (Window* still = FindWin(msg->hwnd)) still->invalid = false;
    }
    return result;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (IsRemoteHandle(hwnd)) return RemoteWindows()->send(hwnd, msg, wParam, lParam);
    Window* w = FindWin(hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(hwnd, msg, wParam, lParam);
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}
