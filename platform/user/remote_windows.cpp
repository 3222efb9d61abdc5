// The operations on other processes' windows in use, if any.
#include "platform/user/remote_windows.h"

namespace {

const RemoteWindowOps* g_remote = nullptr;

}  // namespace

void SetRemoteWindowOps(const RemoteWindowOps* ops)
{
    g_remote = ops;
}

const RemoteWindowOps* RemoteWindows()
{
    return g_remote;
}
