// The layer's own view of windows: the window table behind HWND values. Internal to platform/.
#pragma once
#include <atomic>
#include <string>
#include <vector>
#include "platform/gdi/surface.h"
#include "platform/user/rect.h"
#include "platform/windows.h"

struct WindowClassEntry {
    std::u16string name;
    WNDPROC proc = nullptr;
    UINT style = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HBRUSH background = nullptr;
    int windowExtra = 0;
};
// Win32's own limit on a class's extra bytes per window.
constexpr int kMaxWindowExtra = 40;

struct Window {
    HWND handle = nullptr;
    std::u16string className;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    UINT classStyle = 0;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    HWND parent = nullptr;  // child windows only
    HWND owner = nullptr;   // owned top-level windows (modal dialogs)
    std::vector<HWND> children;  // bottom to top: creation order
    RECT rect{};                 // in the parent's client coordinates (screen for top-level)
    std::u16string text;
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;  // the class's cbWndExtra bytes, zeroed at creation
    HFONT font = nullptr;
    bool destroying = false;
    bool created = false;  // WM_CREATE has returned
    bool modalEnded = false;  // EndModalLoop was called for it

    // Update region, kept as one bounding rectangle in client coordinates.
    bool invalid = false;
    bool erase = false;
    RECT invalidRect{};
    // Between BeginPaint and EndPaint: the screen area being painted.
    bool painting = false;
    RECT paintedArea{};
};

Window* FindWin(HWND hwnd);
std::vector<HWND> TopLevelWindows();  // bottom to top, a copy: safe while windows come and go
// The list itself, for loops that create and destroy no window (painting, look-ups).
const std::vector<HWND>& TopLevelWindowList();
bool IsDescendant(HWND ancestor, HWND hwnd);
// The icon of the window's class (null when it has none).
// Screen rectangle of the window's client area (same as its window rect but for the border).
RECT ClientRectOnScreen(const Window& w);
RECT WindowRectOnScreen(const Window& w);
// Visible and every ancestor visible.
bool IsReallyVisible(const Window& w);
// Screen area of the window's client that may be painted: cut by every ancestor's client area.
RECT VisibleClientOnScreen(const Window& w);
// Both at once, for painting: one walk up the parents.
void ClientAndVisibleOnScreen(const Window& w, RECT* client, RECT* visible);

// Invalidate a screen area in every visible window it touches (used when windows move or vanish).
void InvalidateScreenArea(const RECT& screenRect, HWND exclude);
bool HasPendingPaint(HWND* next);
// Makes the top-level windows above `hwnd`'s own repaint what they cover of `screenArea`.
void RepaintWindowsAbove(HWND hwnd, const RECT& screenArea);
void ScreenDirty(const RECT& screenRect);
bool TakeScreenDirty(RECT* dirty);
// Whether drawing is waiting to be handed to the backend.
bool ScreenIsDirty();




