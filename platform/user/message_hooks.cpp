// WH_CALLWNDPROC hooks: each sent message goes to the thread's hooks, newest first, before its
// window procedure. The layer's windows all live on one thread, so a hook names that thread.
#include <algorithm>
#include <vector>
#include "platform/user/message_hooks.h"

namespace {

struct Hook {
    HHOOK handle;
    HOOKPROC proc;
    DWORD thread;
};

std::vector<Hook>& Hooks()
{
    static std::vector<Hook> hooks;  // oldest first
    return hooks;
}

UINT_PTR g_lastHook = 0;

// The hook after `hook` in calling order (newer ones first), or none.
const Hook* NextHook(HHOOK hook)
{
    std::vector<Hook>& hooks = Hooks();
    auto it = std::find_if(hooks.begin(), hooks.end(), [hook](const Hook& h) { return h.handle == hook; });
    return it == hooks.end() || it == hooks.begin() ? nullptr : &*(it - 1);
}

}  // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId)
{
    if (idHook != WH_CALLWNDPROC || !proc || threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HHOOK handle = reinterpret_cast<HHOOK>(++g_lastHook);
    Hooks().push_back({handle, proc, threadId});
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
    std::vector<Hook>& hooks = Hooks();
    auto it = std::find_if(hooks.begin(), hooks.end(), [hook](const Hook& h) { return h.handle == hook; });
    if (it == hooks.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    hooks.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam)
{
    const Hook* next = NextHook(hook);
    return next ? next->proc(code, wParam, lParam) : 0;
}

void RunSentMessageHooks(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    std::vector<Hook>& hooks = Hooks();
    if (hooks.empty() || hooks.back().thread != GetCurrentThreadId()) return;
    CWPSTRUCT sent{lParam, wParam, msg, hwnd};
    hooks.back().proc(HC_ACTION, TRUE, reinterpret_cast<LPARAM>(&sent));
}
