// The window core's side of WH_CALLWNDPROC hooks. Internal to platform/.
#pragma once
#include "platform/windows.h"

// Hands a message being sent to the thread's hooks, if any.
void RunSentMessageHooks(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
