// The layer's own view of windows: the window table behind HWND values. Internal to platform/.
#pragma once
#include <string>
#include <vector>
#include "platform/gdi/surface.h"
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
    HFONT font = nullptr;
    HFONT ownedFont = nullptr;  // dialogs: the font made from the template
    bool destroying = false;
    bool created = false;  // WM_CREATE has returned

    // Update region, kept as one bounding rectangle in client coordinates.
    bool invalid = false;
    bool erase = false;
    RECT invalidRect{};
    // Between BeginPaint and EndPaint: the screen area being painted.
    bool painting = false;
    RECT paintedArea{};

    // Dialogs
    bool isDialog = false;
    DLGPROC dlgProc = nullptr;
    LONG_PTR dlgMsgResult = 0;
    LONG_PTR dlgUser = 0;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;

    // Controls
    int checkState = 0;
    bool pushed = false;
    bool tracking = false;  // pen went down on this button
    int textLimit = 0;      // EDIT: 0 means the default
    HICON icon = nullptr;   // STATIC with SS_ICON
};

Window* FindWin(HWND hwnd);
std::vector<HWND> TopLevelWindows();  // bottom to top, a copy: safe while windows come and go
// The list itself, for loops that create and destroy no window (painting, look-ups).
const std::vector<HWND>& TopLevelWindowList();
bool IsDescendant(HWND ancestor, HWND hwnd);
// The icon of the window's class (null when it has none).
HICON WindowClassIcon(HWND hwnd);
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

// Rect helpers
bool RectEmpty(const RECT& r);
RECT RectIntersect(const RECT& a, const RECT& b);
RECT RectUnion(const RECT& a, const RECT& b);
RECT RectOffset(const RECT& r, int dx, int dy);
bool RectContains(const RECT& r, POINT p);

// Dialog units to pixels for a dialog's font.
void DialogBaseUnits(int* bx, int* by);

// Control classes, registered by the layer itself.
void RegisterControlClasses();
LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// White background, the window's font, black text drawn with `format`.
void PaintControlText(HWND hwnd, const Window& w, UINT format);
LRESULT CALLBACK DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
extern const WCHAR kDialogClassName[];

// Keyboard state that the backends keep (for accelerators).
void SetModifierState(bool ctrl, bool shift, bool alt);
