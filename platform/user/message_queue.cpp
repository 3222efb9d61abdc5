// The UI thread's message queue: posting (from any thread), fetching, dispatching and sending.
// WM_PAINT is never queued: it is made up when the queue is empty and a window needs painting.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include "platform/drivers/backend.h"
#include "platform/user/input.h"
#include "platform/user/message_hooks.h"
#include "platform/user/platform_messages.h"
#include "platform/user/queue_service.h"
#include "platform/user/window_internal.h"
#include "platform/user/modal_loop.h"
#include "platform/user/remote_windows.h"
#include "platform/shell/shell_windows.h"

namespace {

struct QueuedMessage {
    MSG msg;
    std::uint64_t ticket = 0;  // non-zero: another thread waits for it to be taken
};

std::mutex g_queueLock;
std::deque<QueuedMessage> g_queue;
std::condition_variable g_ticketTaken;
std::uint64_t g_lastTicket = 0;
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

bool IsKeyMessage(UINT msg)
{
    return msg >= WM_KEYDOWN && msg <= WM_SYSCHAR;
}

// While a top-level window that takes no activation holds the pen (an open drop-down menu), it
// takes the keyboard too, as a desktop's open menu does: typed keys and shortcuts never reach the
// windows under it.
HWND KeyboardTarget(HWND addressed)
{
    HWND capture = GetCapture();
    Window* c = FindWin(capture);
    return c && !c->parent && (c->exStyle & WS_EX_NOACTIVATE) ? capture : addressed;
}

// Takes (or peeks) the first queued message that matches; WM_QUIT when quit was posted and nothing
// else is queued; WM_PAINT for the first window that needs painting.
bool FetchOne(MSG* out, HWND hwnd, UINT lo, UINT hi, bool remove)
{
    {
        std::lock_guard<std::mutex> lock(g_queueLock);
        for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
            if (!Matches(it->msg, hwnd, lo, hi)) continue;
            *out = it->msg;
            if (remove) {
                if (it->ticket) g_ticketTaken.notify_all();
                g_queue.erase(it);
            }
            if (IsKeyMessage(out->message)) out->hwnd = KeyboardTarget(out->hwnd);
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

void CloseProgramWindows()
{
    for (HWND hwnd : TopLevelWindows()) {
        Window* w = FindWin(hwnd);
        if (w && !(w->exStyle & WS_EX_LAYER_PRIVATE)) {
            PostMessage(hwnd, WM_CLOSE, 0, 0);
            return;
        }
    }
    PostQuitMessage(0);
}

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
        g_queue.push_back({MSG{hwnd, msg, wParam, lParam, 0, {0, 0}}});
    }
    BackendWake();
    return TRUE;
}

bool PostMessageTaken(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, int timeoutMs, const std::atomic<bool>* stop)
{
    std::unique_lock<std::mutex> lock(g_queueLock);
    if (g_queue.size() >= 100000) return false;
    std::uint64_t ticket = ++g_lastTicket;
    g_queue.push_back({MSG{hwnd, msg, wParam, lParam, 0, {0, 0}}, ticket});
    auto queued = [ticket] {
        return std::find_if(g_queue.begin(), g_queue.end(), [ticket](const QueuedMessage& q) { return q.ticket == ticket; });
    };
    lock.unlock();
    BackendWake();
    lock.lock();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // Only the UI thread's fetch takes a ticketed message out, so gone means taken.
    while (queued() != g_queue.end()) {
        if (std::chrono::steady_clock::now() >= deadline || (stop && stop->load())) {
            g_queue.erase(queued());  // taken back: never delivered after the sender was told no
            return false;
        }
        g_ticketTaken.wait_for(lock, std::chrono::milliseconds(20));
    }
    return true;
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
        if (const RemoteWindowOps* remote = RemoteWindows()) remote->idle();
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
        if (msg->message == WM_PLATFORM_CLOSE_PROGRAM) CloseProgramWindows();
        else RunThreadMessageHook(*msg);
        return 0;
    }
    Window* w = FindWin(msg->hwnd);
    if (!w) return 0;
    // Straight to the window procedure: hooks on sent messages do not see queued ones.
    LRESULT result = w->proc ? w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
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
    RunSentMessageHooks(hwnd, msg, wParam, lParam);
    // The hook may have destroyed the window.
    w = FindWin(hwnd);
    return w && w->proc ? w->proc(hwnd, msg, wParam, lParam) : 0;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

void RunModalLoop(HWND window)
{
    // A pen still held elsewhere (an open drop-down) would take the box's first tap.
    if (GetCapture()) ReleaseCapture();
    MSG msg;
    for (;;) {
        Window* w = FindWin(window);
        if (!w || w->modalEnded) return;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Window* modal = FindWin(window);
        if (modal && modal->className == WC_DIALOG && IsDialogMessage(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

void EndModalLoop(HWND window)
{
    Window* w = FindWin(window);
    if (!w) return;
    w->modalEnded = true;
    PostMessage(nullptr, WM_NULL, 0, 0);
}

// Enter is the dialog's OK and Escape its Cancel, as on the handheld. Knowingly lacks: tab and
// arrow-key moves between controls, default push buttons other than IDOK.
BOOL IsDialogMessage(HWND dialog, MSG* msg)
{
    if (!msg || !FindWin(dialog) || msg->message != WM_KEYDOWN) return FALSE;
    if (msg->hwnd != dialog && !IsDescendant(dialog, msg->hwnd)) return FALSE;
    if (msg->wParam != VK_RETURN && msg->wParam != VK_ESCAPE) return FALSE;
    WORD command = msg->wParam == VK_RETURN ? IDOK : IDCANCEL;
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, command)));
    return TRUE;
}
