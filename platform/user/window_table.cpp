// Window classes and the window table: creation, destruction, properties, geometry and text.
// Handles are slot numbers with a generation, so a stale or made-up HWND is refused, never followed.
#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include "platform/user/input.h"
#include "platform/shell/shell_windows.h"
#include "platform/user/window_count.h"
#include "platform/user/window_internal.h"
#include "platform/user/window_observer.h"
#include "platform/user/remote_windows.h"

namespace {

struct Slot {
    std::unique_ptr<Window> window;
    std::uint16_t generation = 0;
};

std::vector<Slot> g_slots;
std::vector<WindowClassEntry> g_classes;
std::vector<HWND> g_topLevel;  // bottom to top
void (*g_titleObserver)(HWND) = nullptr;

HWND MakeHandle(std::size_t index, std::uint16_t generation)
{
    // Bit 0 stays clear: callers may set it (SetForegroundWindow's owned-window convention).
    std::uintptr_t value = ((static_cast<std::uintptr_t>(generation) << 16) | (index + 1)) << 2;
    return reinterpret_cast<HWND>(value);
}

bool SameName(const std::u16string& a, LPCWSTR b)
{
    std::size_t i = 0;
    for (; b[i]; ++i) {
        if (i >= a.size()) return false;
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z') x = x - u'a' + u'A';
        if (y >= u'a' && y <= u'z') y = y - u'a' + u'A';
        if (x != y) return false;
    }
    return i == a.size();
}

WindowClassEntry* FindClass(LPCWSTR name)
{
    if (!name || IS_INTRESOURCE(name)) return nullptr;
    for (auto& c : g_classes) {
        if (SameName(c.name, name)) return &c;
    }
    return nullptr;
}

std::u16string TextOf(LPCWSTR text)
{
    if (!text || IS_INTRESOURCE(text)) return std::u16string();
    return std::u16string(text);
}

void RemoveFrom(std::vector<HWND>& list, HWND hwnd)
{
    list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
}

// What a window no longer covers is repainted by what lies beneath: a child's parent (and the
// siblings there), or for a top-level window the windows below it.
void InvalidateUncovered(const Window& w, const RECT& screenArea)
{
    Window* parent = FindWin(w.parent);
    if (!parent) {
        InvalidateScreenArea(screenArea, w.handle);
        return;
    }
    RECT c = ClientRectOnScreen(*parent);
    RECT local = RectOffset(screenArea, -c.left, -c.top);
    InvalidateRect(parent->handle, &local, TRUE);
}

}  // namespace

Window* FindWin(HWND hwnd)
{
    auto value = reinterpret_cast<std::uintptr_t>(hwnd);
    if (value == 0 || (value & 3) != 0 || value >= (std::uintptr_t(1) << 34)) return nullptr;
    value >>= 2;
    std::size_t index = (value & 0xFFFF);
    if (index == 0 || index > g_slots.size()) return nullptr;
    Slot& slot = g_slots[index - 1];
    if (!slot.window || slot.generation != static_cast<std::uint16_t>(value >> 16)) return nullptr;
    return slot.window.get();
}

std::vector<HWND> TopLevelWindows()
{
    return g_topLevel;
}

const std::vector<HWND>& TopLevelWindowList()
{
    return g_topLevel;
}

bool IsDescendant(HWND ancestor, HWND hwnd)
{
    for (Window* w = FindWin(hwnd); w; w = FindWin(w->parent)) {
        if (w->parent == ancestor) return true;
    }
    return false;
}

ULONG_PTR GetClassLongPtr(HWND hwnd, int index)
{
    Window* w = FindWin(hwnd);
    WindowClassEntry* cls = w ? FindClass(w->className.c_str()) : nullptr;
    if (!cls || index != GCLP_HICON) return 0;
    return reinterpret_cast<ULONG_PTR>(cls->icon);
}

ATOM RegisterClass(const WNDCLASS* wc)
{
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName)) return 0;
    if (wc->lpszClassName[0] == 0 || FindClass(wc->lpszClassName)) return 0;
    if (wc->cbWndExtra < 0 || wc->cbWndExtra > kMaxWindowExtra) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowClassEntry entry;
    entry.name = wc->lpszClassName;
    entry.proc = wc->lpfnWndProc;
    entry.style = wc->style;
    entry.instance = wc->hInstance;
    entry.icon = wc->hIcon;
    entry.background = wc->hbrBackground;
    entry.windowExtra = wc->cbWndExtra;
    g_classes.push_back(entry);
    return static_cast<ATOM>(0xC000 + g_classes.size());
}

namespace {

// Reads or writes `size` bytes at `offset` of the window's extra bytes; a range outside them is
// ERROR_INVALID_INDEX and touches nothing.
void ExtraBytes(Window& w, int offset, std::size_t size, void* read, const void* write)
{
    if (offset < 0 || static_cast<std::size_t>(offset) + size > w.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return;
    }
    if (read) std::memcpy(read, w.extra.data() + offset, size);
    if (write) std::memcpy(w.extra.data() + offset, write, size);
}

}  // namespace

static RECT DefaultTopLevelRect()
{
    // A default-sized window fills the work area below the navigation bar.
    return RECT{0, kNavBarHeight, kScreenWidth, kScreenHeight};
}

HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    WindowClassEntry* cls = FindClass(className);
    if (!cls) {
        SetLastError(1407);  // ERROR_CANNOT_FIND_WND_CLASS
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !FindWin(parent)) {
        SetLastError(1406);  // ERROR_TLW_WITH_WSCHILD
        return nullptr;
    }
    if (!child && parent && !FindWin(parent)) return nullptr;

    std::size_t index = 0;
    while (index < g_slots.size() && g_slots[index].window) ++index;
    if (index >= 0xFFFF) return nullptr;
    if (index == g_slots.size()) g_slots.emplace_back();
    Slot& slot = g_slots[index];
    slot.generation = static_cast<std::uint16_t>(slot.generation + 1);
    slot.window = std::make_unique<Window>();
    Window& w = *slot.window;
    HWND hwnd = MakeHandle(index, slot.generation);
    w.handle = hwnd;
    w.className = cls->name;
    w.proc = cls->proc;
    w.background = cls->background;
    w.classStyle = cls->style;
    w.instance = instance;
    w.style = style & ~WS_VISIBLE;
    w.exStyle = exStyle;
    w.text = TextOf(windowName);
    w.extra.assign(static_cast<std::size_t>(cls->windowExtra), 0);
    if (child) {
        w.parent = parent;
        w.id = static_cast<int>(reinterpret_cast<std::uintptr_t>(menu) & 0xFFFF);
    } else {
        w.owner = parent;
    }
    RECT def = DefaultTopLevelRect();
    if (x == CW_USEDEFAULT) {
        x = child ? 0 : def.left;
        y = child ? 0 : def.top;
    }
    if (width == CW_USEDEFAULT) {
        width = child ? 0 : def.right - def.left;
        height = child ? 0 : def.bottom - def.top;
    }
    w.rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    if (child) {
        FindWin(parent)->children.push_back(hwnd);
    } else {
        g_topLevel.push_back(hwnd);
    }

    CREATESTRUCT cs{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style),
                    windowName, className, exStyle};
    LPARAM lp = reinterpret_cast<LPARAM>(&cs);
    if (!SendMessage(hwnd, WM_NCCREATE, 0, lp) || SendMessage(hwnd, WM_CREATE, 0, lp) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    Window* created = FindWin(hwnd);
    if (!created) return nullptr;  // destroyed itself during creation
    created->created = true;
    NotifyWindowChange(hwnd, WindowChange::Created);
    bool published = !child && !(exStyle & WS_EX_LAYER_PRIVATE);  // the layer's own windows stay private
    if (published && RemoteWindows()) RemoteWindows()->publish(hwnd, created->className.c_str(), created->text.c_str());
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    if (w->style & WS_VISIBLE) ShowWindow(hwnd, SW_HIDE);
    if (GetCapture() == hwnd) ReleaseCapture();
    // Owned windows go first, as in Win32.
    for (HWND other : TopLevelWindows()) {
        Window* o = FindWin(other);
        if (o && o->owner == hwnd) DestroyWindow(other);
    }
    SendMessage(hwnd, WM_DESTROY, 0, 0);
    w = FindWin(hwnd);
    if (!w) return TRUE;
    std::vector<HWND> kids = w->children;
    for (HWND kid : kids) DestroyWindow(kid);
    SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    w = FindWin(hwnd);
    if (!w) return TRUE;
    if (Window* p = FindWin(w->parent)) RemoveFrom(p->children, hwnd);
    RemoveFrom(g_topLevel, hwnd);
    if (!w->parent && !(w->exStyle & WS_EX_LAYER_PRIVATE) && RemoteWindows()) RemoteWindows()->withdraw(hwnd);
    if (GetFocus() == hwnd || IsDescendant(hwnd, GetFocus())) SetFocus(nullptr);
    if (GetActiveWindow() == hwnd) SetActiveWindow(nullptr);
    NotifyWindowChange(hwnd, WindowChange::Destroyed);
    auto value = reinterpret_cast<std::uintptr_t>(hwnd) >> 2;
    g_slots[(value & 0xFFFF) - 1].window.reset();
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    return FindWin(hwnd) || IsRemoteHandle(hwnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    return w && IsReallyVisible(*w) ? TRUE : FALSE;
}

bool IsReallyVisible(const Window& w)
{
    for (const Window* p = &w; p; p = FindWin(p->parent)) {
        if (!(p->style & WS_VISIBLE)) return false;
    }
    return true;
}

namespace {

RECT InsetByBorder(const Window& w, RECT r)
{
    if (w.style & WS_BORDER && (w.style & WS_CHILD)) {
        r.left += 1;
        r.top += 1;
        r.right -= 1;
        r.bottom -= 1;
        if (r.right < r.left) r.right = r.left;
        if (r.bottom < r.top) r.bottom = r.top;
    }
    return r;
}

struct ScreenGeometry {
    RECT window;   // the whole window on the screen
    RECT client;   // its client area on the screen
    RECT visible;  // the client area less what its ancestors' client areas cut off
};

// One walk up the parent chain gives all three (`visible` only when asked for: every paint
// asks for it, most look-ups do not).
ScreenGeometry GeometryOf(const Window& w, bool withVisible)
{
    ScreenGeometry g{};
    const Window* p = FindWin(w.parent);
    ScreenGeometry pg = p ? GeometryOf(*p, withVisible) : ScreenGeometry{};
    g.window = p ? RectOffset(w.rect, pg.client.left, pg.client.top) : w.rect;
    g.client = InsetByBorder(w, g.window);
    if (withVisible) g.visible = RectIntersect(g.client, p ? pg.visible : RECT{0, 0, kScreenWidth, kScreenHeight});
    return g;
}

}  // namespace

RECT WindowRectOnScreen(const Window& w)
{
    return GeometryOf(w, false).window;
}

RECT ClientRectOnScreen(const Window& w)
{
    return GeometryOf(w, false).client;
}

RECT VisibleClientOnScreen(const Window& w)
{
    return GeometryOf(w, true).visible;
}

void ClientAndVisibleOnScreen(const Window& w, RECT* client, RECT* visible)
{
    ScreenGeometry g = GeometryOf(w, true);
    *client = g.client;
    *visible = g.visible;
}

BOOL ShowWindow(HWND hwnd, int cmdShow)
{
    Window* w = FindWin(hwnd);
    if (!w) return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = cmdShow != SW_HIDE;
    if (show == wasVisible) return wasVisible;
    SendMessage(hwnd, WM_SHOWWINDOW, show, 0);
    w = FindWin(hwnd);
    if (!w) return wasVisible;
    if (show) {
        w->style |= WS_VISIBLE;
        InvalidateRect(hwnd, nullptr, TRUE);
        NotifyWindowChange(hwnd, WindowChange::Shown);
        if (!w->parent && cmdShow != SW_SHOWNA && cmdShow != SW_SHOWNOACTIVATE) SetActiveWindow(hwnd);
    } else {
        RECT area = WindowRectOnScreen(*w);
        bool wasShowing = IsReallyVisible(*w);
        w->style &= ~WS_VISIBLE;
        if (wasShowing) InvalidateUncovered(*w, area);
        NotifyWindowChange(hwnd, WindowChange::Hidden);
        if (GetActiveWindow() == hwnd) {
            // The next shown window takes over straight away: each hears which the other is.
            HWND next = nullptr;
            for (auto it = g_topLevel.rbegin(); it != g_topLevel.rend() && !next; ++it) {
                Window* o = FindWin(*it);
                if (o && *it != hwnd && (o->style & WS_VISIBLE) && !(o->exStyle & WS_EX_NOACTIVATE)) next = *it;
            }
            SetActiveWindow(next);
        }
    }
    return wasVisible;
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags)
{
    Window* w = FindWin(hwnd);
    if (!w) return FALSE;
    RECT old = WindowRectOnScreen(*w);
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) r = RectOffset(r, x - r.left, y - r.top);
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    bool sized = (r.right - r.left) != (w->rect.right - w->rect.left) ||
                 (r.bottom - r.top) != (w->rect.bottom - w->rect.top);
    bool moved = r.left != w->rect.left || r.top != w->rect.top;
    w->rect = r;
    if (moved) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
    if (sized) SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(r.right - r.left, r.bottom - r.top));
    w = FindWin(hwnd);
    if (w && IsReallyVisible(*w) && (moved || sized)) {
        InvalidateUncovered(*w, old);
        if (!(flags & SWP_NOREDRAW)) InvalidateRect(hwnd, nullptr, TRUE);
    }
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    Window* w = FindWin(hwnd);
    if (!w || !rect) return FALSE;
    *rect = WindowRectOnScreen(*w);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    Window* w = FindWin(hwnd);
    if (!w || !rect) return FALSE;
    RECT c = ClientRectOnScreen(*w);
    *rect = RECT{0, 0, c.right - c.left, c.bottom - c.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt)
{
    Window* w = FindWin(hwnd);
    if (!w || !pt) return FALSE;
    RECT c = ClientRectOnScreen(*w);
    pt->x += c.left;
    pt->y += c.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt)
{
    Window* w = FindWin(hwnd);
    if (!w || !pt) return FALSE;
    RECT c = ClientRectOnScreen(*w);
    pt->x -= c.left;
    pt->y -= c.top;
    return TRUE;
}

HWND GetParent(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    if (!w) return nullptr;
    return w->parent ? w->parent : w->owner;
}

HWND GetAncestor(HWND hwnd, UINT flags)
{
    Window* w = FindWin(hwnd);
    if (!w) return nullptr;
    if (flags == GA_PARENT) return w->parent;
    if (flags != GA_ROOT) return nullptr;
    while (Window* p = FindWin(w->parent)) w = p;
    return w->handle;
}

HWND GetWindow(HWND hwnd, UINT cmd)
{
    Window* w = FindWin(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (cmd == GW_OWNER) return w->owner;
    const std::vector<HWND>* siblings = &g_topLevel;
    if (Window* p = FindWin(w->parent)) siblings = &p->children;
    if (cmd == GW_HWNDFIRST) return siblings->empty() ? nullptr : siblings->front();
    auto it = std::find(siblings->begin(), siblings->end(), hwnd);
    if (it == siblings->end()) return nullptr;
    if (cmd == GW_HWNDNEXT) return ++it != siblings->end() ? *it : nullptr;
    if (cmd == GW_HWNDPREV) return it != siblings->begin() ? *--it : nullptr;
    return nullptr;
}

namespace {

// The face asks for the same keys by id on every paint, and a scan visits every sibling: answers
// are remembered. One stays right while the child lives under that parent with that id (children
// are only ever appended, so no sibling can come before it), except when some child takes a new
// id: then all are forgotten.
constexpr std::size_t kDlgItemMemoCap = 4096;
std::unordered_map<std::uint64_t, HWND> g_dlgItemMemo;

std::uint64_t DlgItemKey(HWND dialog, int id)
{
    return (std::uint64_t(reinterpret_cast<std::uintptr_t>(dialog)) << 16) | std::uint64_t(id & 0xFFFF);
}

}  // namespace

HWND GetDlgItem(HWND dialog, int id)
{
    Window* w = FindWin(dialog);
    if (!w) return nullptr;
    auto memo = g_dlgItemMemo.find(DlgItemKey(dialog, id));
    if (memo != g_dlgItemMemo.end()) {
        Window* k = FindWin(memo->second);
        if (k && k->parent == dialog && k->id == (id & 0xFFFF)) return memo->second;
        g_dlgItemMemo.erase(memo);
    }
    for (HWND kid : w->children) {
        Window* k = FindWin(kid);
        if (k && k->id == (id & 0xFFFF)) {
            if (g_dlgItemMemo.size() >= kDlgItemMemoCap) g_dlgItemMemo.clear();
            g_dlgItemMemo.emplace(DlgItemKey(dialog, id), kid);
            return kid;
        }
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    return w && w->parent ? w->id : 0;
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index)
{
    Window* w = FindWin(hwnd);
    if (!w) return 0;
    switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_ID: return w->id;
    case GWL_USERDATA: return w->userData;
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    }
    LONG_PTR value = 0;
    ExtraBytes(*w, index, sizeof value, &value, nullptr);
    return value;
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value)
{
    Window* w = FindWin(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
    case GWL_STYLE: w->style = static_cast<DWORD>(value); return old;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); return old;
    case GWL_ID:
        w->id = static_cast<int>(value & 0xFFFF);
        g_dlgItemMemo.clear();
        return old;
    case GWL_USERDATA: w->userData = value; return old;
    case GWL_WNDPROC:
        if (value) w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    }
    ExtraBytes(*w, index, sizeof value, nullptr, &value);
    return old;
}

LONG GetWindowLong(HWND hwnd, int index)
{
    Window* w = FindWin(hwnd);
    if (!w || index < 0) return static_cast<LONG>(GetWindowLongPtr(hwnd, index));
    LONG value = 0;
    ExtraBytes(*w, index, sizeof value, &value, nullptr);
    return value;
}

int GetClassName(HWND hwnd, LPWSTR buffer, int maxCount)
{
    Window* w = FindWin(hwnd);
    if (!w || !buffer || maxCount <= 0) return 0;
    int n = static_cast<int>(std::min<std::size_t>(w->className.size(), maxCount - 1));
    std::copy_n(w->className.data(), n, buffer);
    buffer[n] = 0;
    return n;
}

void SetWindowTitleObserver(void (*observer)(HWND))
{
    g_titleObserver = observer;
}

BOOL SetWindowText(HWND hwnd, LPCWSTR text)
{
    if (!FindWin(hwnd)) return FALSE;
    BOOL done = SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) ? TRUE : FALSE;
    Window* w = FindWin(hwnd);
    if (done && w && !w->parent && g_titleObserver) g_titleObserver(hwnd);  // the navigation bar shows it
    return done;
}

int GetWindowText(HWND hwnd, LPWSTR buffer, int maxCount)
{
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = 0;
    if (!FindWin(hwnd)) return 0;
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXT, maxCount, reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd)
{
    if (!FindWin(hwnd)) return 0;
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text)
{
    return SetWindowText(GetDlgItem(dialog, id), text);
}

UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int maxCount)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (buffer && maxCount > 0) buffer[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowText(item, buffer, maxCount));
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessage(item, msg, wParam, lParam) : 0;
}

HWND WindowFromPoint(POINT pt)
{
    // Topmost visible top-level window under the point, then its deepest visible child.
    for (auto it = g_topLevel.rbegin(); it != g_topLevel.rend(); ++it) {
        Window* w = FindWin(*it);
        if (!w || !(w->style & WS_VISIBLE) || !RectContains(WindowRectOnScreen(*w), pt)) continue;
        HWND found = *it;
        for (bool descended = true; descended;) {
            descended = false;
            Window* cur = FindWin(found);
            for (auto k = cur->children.rbegin(); k != cur->children.rend(); ++k) {
                Window* kid = FindWin(*k);
                if (kid && (kid->style & WS_VISIBLE) && RectContains(WindowRectOnScreen(*kid), pt)) {
                    found = *k;
                    descended = true;
                    break;
                }
            }
        }
        return found;
    }
    return nullptr;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    Window* w = FindWin(hwnd);
    if (!w) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (enable) w->style &= ~WS_DISABLED;
    else w->style |= WS_DISABLED;
    if (wasDisabled == (enable ? TRUE : FALSE)) {
        SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
        if (FindWin(hwnd)) NotifyWindowChange(hwnd, WindowChange::Enabled);
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

int LiveWindowCount()
{
    return static_cast<int>(std::count_if(g_slots.begin(), g_slots.end(), [](const Slot& s) { return s.window != nullptr; }));
}
