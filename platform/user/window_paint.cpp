// Update regions and painting, in Win32's order: a window paints before the children it covers,
// and a parent without WS_CLIPCHILDREN takes its children along when it is invalidated.
// The update region is kept as one bounding rectangle: enough for a face that always paints whole.
#include <algorithm>
#include "platform/user/window_internal.h"
#include "platform/user/window_observer.h"

namespace {

bool g_screenDirty = false;
RECT g_dirtyRect{};

RECT ClientBounds(const RECT& clientOnScreen)
{
    return RECT{0, 0, clientOnScreen.right - clientOnScreen.left, clientOnScreen.bottom - clientOnScreen.top};
}

// `clientOnScreen` is the window's client area on the screen, worked out once by the caller.
void AddInvalid(Window& w, const RECT& clientOnScreen, const RECT& clientRect, bool erase)
{
    RECT r = RectIntersect(clientRect, ClientBounds(clientOnScreen));
    if (RectEmpty(r)) return;
    w.invalidRect = w.invalid ? RectUnion(w.invalidRect, r) : r;
    w.invalid = true;
    if (erase) w.erase = true;
}

// Invalidates `screenRect` in `w` and, unless it clips its children, in the children it covers.
void InvalidateTree(Window& w, const RECT& screenRect, bool erase)
{
    if (!(w.style & WS_VISIBLE)) return;
    RECT c = ClientRectOnScreen(w);
    AddInvalid(w, c, RectOffset(screenRect, -c.left, -c.top), erase);
    if (w.style & WS_CLIPCHILDREN) return;
    for (HWND kid : w.children) {
        Window* k = FindWin(kid);
        if (!k || !(k->style & WS_VISIBLE)) continue;
        // A child's rectangle is kept in this window's client coordinates.
        RECT area = RectIntersect(screenRect, RectOffset(k->rect, c.left, c.top));
        if (!RectEmpty(area)) InvalidateTree(*k, area, erase);
    }
}

bool FindPendingIn(HWND hwnd, HWND* next)
{
    Window* w = FindWin(hwnd);
    if (!w || !(w->style & WS_VISIBLE)) return false;
    if (w->invalid) {
        *next = hwnd;
        return true;
    }
    for (HWND kid : w->children) {
        if (FindPendingIn(kid, next)) return true;
    }
    return false;
}

// Paints `hwnd` if it needs it, then its children; the caller has seen its parent is showing.
void UpdateTree(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    if (!w || !(w->style & WS_VISIBLE)) return;
    if (w->invalid) {
        SendMessage(hwnd, WM_PAINT, 0, 0);
        w = FindWin(hwnd);
        if (!w) return;
        w->invalid = false;  // painted, or declined to paint: either way it is done
    }
    // By position, not by a copy: a paint may add or remove children, and each is looked up again.
    for (std::size_t i = 0; i < w->children.size(); ++i) {
        UpdateTree(w->children[i]);
        w = FindWin(hwnd);
        if (!w) return;
    }
}

}  // namespace

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    Window* w = FindWin(hwnd);
    if (!w) {
        // A null window means the whole screen, as on the desktop.
        if (hwnd) return FALSE;
        InvalidateScreenArea(RECT{0, 0, kScreenWidth, kScreenHeight}, nullptr);
        return TRUE;
    }
    RECT c = ClientRectOnScreen(*w);
    RECT screen = rect ? RectOffset(*rect, c.left, c.top) : c;
    if (w->style & WS_VISIBLE) {
        InvalidateTree(*w, screen, erase != FALSE);
    } else {
        AddInvalid(*w, c, RectOffset(screen, -c.left, -c.top), erase != FALSE);
    }
    return TRUE;
}

void InvalidateScreenArea(const RECT& screenRect, HWND exclude)
{
    for (HWND top : TopLevelWindowList()) {
        Window* w = FindWin(top);
        if (!w || top == exclude || !(w->style & WS_VISIBLE)) continue;
        RECT area = RectIntersect(screenRect, WindowRectOnScreen(*w));
        if (!RectEmpty(area)) InvalidateTree(*w, area, true);
    }
    // Whatever no window covers any more shows the desktop; the screen owner repaints it.
    ScreenDirty(screenRect);
}

bool HasPendingPaint(HWND* next)
{
    for (HWND top : TopLevelWindowList()) {
        if (FindPendingIn(top, next)) return true;
    }
    return false;
}

BOOL UpdateWindow(HWND hwnd)
{
    if (!FindWin(hwnd)) return FALSE;
    if (!IsReallyVisible(*FindWin(hwnd))) return TRUE;
    UpdateTree(hwnd);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps)
{
    Window* w = FindWin(hwnd);
    if (!w || !ps) return nullptr;
    RECT c, visible;
    ClientAndVisibleOnScreen(*w, &c, &visible);
    RECT update = w->invalid ? w->invalidRect : RECT{0, 0, 0, 0};
    bool erase = w->erase;
    w->invalid = false;
    w->erase = false;
    RECT clip = RectIntersect(RectOffset(update, c.left, c.top), visible);
    w->paintedArea = clip;
    w->painting = true;
    HDC hdc = CreateWindowDC(POINT{c.left, c.top}, clip);
    *ps = PAINTSTRUCT{};
    ps->hdc = hdc;
    ps->rcPaint = update;
    // fErase tells the procedure that the background still needs erasing.
    if (erase && hdc) ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
    ScreenDirty(clip);
    if (hdc) NotifyPainting(hwnd, hdc, update, true);
    return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    if (!ps) return FALSE;
    if (ps->hdc) NotifyPainting(hwnd, ps->hdc, ps->rcPaint, false);
    if (ps->hdc) ReleaseWindowDC(ps->hdc);
    Window* w = FindWin(hwnd);
    if (!w) return FALSE;
    RECT painted = w->paintedArea;
    if (!w->painting) {  // no BeginPaint before: the area the caller says it painted
        RECT c, visible;
        ClientAndVisibleOnScreen(*w, &c, &visible);
        painted = RectIntersect(RectOffset(ps->rcPaint, c.left, c.top), visible);
    }
    w->painting = false;
    RepaintWindowsAbove(hwnd, painted);
    return TRUE;
}

void RepaintWindowsAbove(HWND hwnd, const RECT& screenArea)
{
    // Top-level windows do not clip one another: whatever lies above the painted area (an open
    // About box, a message box, a menu) paints again after it, so it stays on top.
    if (RectEmpty(screenArea)) return;
    HWND top = hwnd;
    while (Window* w = FindWin(top)) {
        if (!w->parent) break;
        top = w->parent;
    }
    bool above = false;
    for (HWND other : TopLevelWindowList()) {
        if (other == top) {
            above = true;
            continue;
        }
        Window* o = FindWin(other);
        if (!above || !o || !(o->style & WS_VISIBLE)) continue;
        RECT area = RectIntersect(screenArea, WindowRectOnScreen(*o));
        if (!RectEmpty(area)) InvalidateTree(*o, area, true);
    }
}

HDC GetDC(HWND hwnd)
{
    if (!hwnd) return CreateWindowDC(POINT{0, 0}, RECT{0, 0, kScreenWidth, kScreenHeight});
    Window* w = FindWin(hwnd);
    if (!w) return nullptr;
    RECT c = ClientRectOnScreen(*w);
    RECT clip = VisibleClientOnScreen(*w);
    ScreenDirty(clip);
    return CreateWindowDC(POINT{c.left, c.top}, clip);
}

int ReleaseDC(HWND, HDC hdc)
{
    if (!hdc) return 0;
    ReleaseWindowDC(hdc);
    return 1;
}

void ScreenDirty(const RECT& screenRect)
{
    RECT r = RectIntersect(screenRect, RECT{0, 0, kScreenWidth, kScreenHeight});
    if (RectEmpty(r)) return;
    g_dirtyRect = g_screenDirty ? RectUnion(g_dirtyRect, r) : r;
    g_screenDirty = true;
}

bool ScreenIsDirty()
{
    return g_screenDirty;
}

bool TakeScreenDirty(RECT* dirty)
{
    if (!g_screenDirty) return false;
    *dirty = g_dirtyRect;
    g_screenDirty = false;
    return true;
}
