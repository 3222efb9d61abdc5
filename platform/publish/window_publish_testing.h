// Seams of the window publishing for tests: where served requests go, and whose connections
// are accepted.
#pragma once
#include <sys/types.h>
#include "platform/win_types.h"

// Receives each request served for a published window instead of PostMessage (msg is
// WM_COMMAND or WM_PLATFORM_RAISE). Null restores posting.
using RemoteRequestHook = BOOL (*)(HWND local, UINT msg, WPARAM wParam);
void SetRemoteRequestHook(RemoteRequestHook hook);
// The user a peer must run as; by default our own effective user.
void SetRequiredPeerUid(uid_t uid);
