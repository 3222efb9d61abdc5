// The headless backend: the device screen stays in memory; waiting for events is waiting to be
// woken by a posted message (from this thread or another process's request). Its clipboard is
// a string in memory, private to the process.
#include <condition_variable>
#include <mutex>
#include <string>
#include "platform/drivers/backend.h"

namespace {

std::mutex g_lock;
std::condition_variable g_wakeup;
bool g_woken = false;

bool HeadlessOpen(int)
{
    return true;
}

void HeadlessClose() {}

void HeadlessPump(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(g_lock);
    if (timeoutMs < 0) {
        g_wakeup.wait(lock, [] { return g_woken; });
    } else if (timeoutMs > 0) {
        g_wakeup.wait_for(lock, std::chrono::milliseconds(timeoutMs), [] { return g_woken; });
    }
    g_woken = false;
}

void HeadlessWake()
{
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_woken = true;
    }
    g_wakeup.notify_one();
}

void HeadlessPresent(const Surface&, const RECT&) {}
void HeadlessRaise() {}

std::string g_clipboard;  // empty: no text, as on a desktop where nothing was copied
bool HeadlessSetClipboard(const std::string& utf8)
{
    g_clipboard = utf8;
    return true;
}

bool HeadlessGetClipboard(std::string* utf8, std::size_t limitBytes)
{
    if (!utf8 || g_clipboard.empty() || g_clipboard.size() > limitBytes) return false;
    *utf8 = g_clipboard;
    return true;
}

const Backend kHeadless = {"headless",   HeadlessOpen,    HeadlessClose,        HeadlessPump,
                           HeadlessWake, HeadlessPresent, HeadlessRaise,        HeadlessSetClipboard,
                           HeadlessGetClipboard};

const Backend* g_current = &kHeadless;
bool g_chosen = false;

}  // namespace

const Backend& HeadlessBackend()
{
    return kHeadless;
}

void SetBackend(const Backend* backend)
{
    g_current = backend ? backend : &kHeadless;
    g_chosen = backend != nullptr;
}

ScreenKind CurrentScreenKind()
{
    if (!g_chosen) return ScreenKind::kNone;
    return g_current == &kHeadless ? ScreenKind::kOffScreen : ScreenKind::kDesktop;
}

const Backend& CurrentBackend()
{
    return *g_current;
}

void BackendWake()
{
    g_current->wake();
}
