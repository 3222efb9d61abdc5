// Top-level windows seen from other processes of the same user: the window core publishes its
// top-level windows here, and finds, raises and commands other processes' windows through here.
// A remote window is a proxy handle with bit 40 set and bit 0 clear, so it never equals a local
// HWND (a small number shifted left by 2).
#pragma once
#include "platform/extras.h"

// Withdraws every window this process published (when it must end at once).
void WithdrawAllWindows();

// Makes the window findable by other processes of this user (publishing it again updates its
// class and title). Class names and titles longer than 256 characters are published cut.
void PublishWindow(HWND local, LPCWSTR className, LPCWSTR title);
void WithdrawWindow(HWND local);

// Another process's window of this class and title (each compared exactly; null matches any),
// or null. Windows of this process are never returned. A process on a desktop finds windows on a
// desktop, a headless one those of headless processes, and a tool (no screen chosen) both,
// desktop ones first. A search that finds nothing holds the start lock of this user's runtime
// folder until this process publishes a window, waits for messages or ends: a second start
// searching meanwhile waits for that window, so two starts at once open one window.
HWND FindRemoteWindow(LPCWSTR className, LPCWSTR title);
// Lets a start waiting on this process's search go on (nothing is published after all).
void EndStartSearch();
bool IsRemoteWindow(HWND hwnd);
// Asks the window's process to bring it to the front; FALSE when it cannot be reached.
BOOL RemoteSetForegroundWindow(HWND hwnd);
// Only WM_COMMAND with lParam 0 and a 32-bit wParam is carried; it is posted to the remote window
// and the call returns 0 once the other process has queued it. The last error tells the outcome:
// ERROR_SUCCESS when queued, ERROR_INVALID_WINDOW_HANDLE when the window cannot be reached,
// ERROR_ACCESS_DENIED for any other message.
LRESULT RemoteSendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
