// The backend in use: headless until a desktop backend is set, and again once it is unset.
#include "platform/drivers/backend.h"

namespace {

const Backend* g_current = nullptr;

}  // namespace

void SetBackend(const Backend* backend)
{
    g_current = backend;
}

const Backend& CurrentBackend()
{
    return g_current ? *g_current : HeadlessBackend();
}

void BackendWake()
{
    CurrentBackend().wake();
}

ScreenKind CurrentScreenKind()
{
    if (!g_current) return ScreenKind::kNone;
    return g_current == &HeadlessBackend() ? ScreenKind::kOffScreen : ScreenKind::kDesktop;
}
