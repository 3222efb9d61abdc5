// Modal loops (dialog boxes, message boxes): RunModalLoop runs the thread's messages until the
// window is gone or EndModalLoop was called for it; a quit message ends it too and is posted again
// for the outer loop. EndModalLoop also wakes the loop, for the end may come from inside the wait
// for events (a desktop's pen tap), where no message would otherwise follow.
#pragma once
#include "platform/win_types.h"

void RunModalLoop(HWND window);
void EndModalLoop(HWND window);
