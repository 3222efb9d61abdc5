// BUTTON: owner-drawn push buttons and push-like automatic radio buttons, pressed with the pen.
// A tap draws the pressed state, then the released state, then tells the parent BN_CLICKED.
#include "platform/user/window_internal.h"

namespace {

DWORD TypeOf(const Window& w)
{
    return w.style & BS_TYPEMASK;
}

bool HasCheckState(const Window& w)
{
    DWORD t = TypeOf(w);
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

void RedrawNow(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void SetPushed(HWND hwnd, bool pushed)
{
    Window* w = FindWin(hwnd);
    if (!w || w->pushed == pushed) return;
    w->pushed = pushed;
    RedrawNow(hwnd);
}

// Checks this automatic radio button and unchecks the others of its WS_GROUP group.
void CheckInGroup(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    Window* parent = w ? FindWin(w->parent) : nullptr;
    if (!parent) return;
    const std::vector<HWND>& kids = parent->children;
    std::size_t self = 0;
    while (self < kids.size() && kids[self] != hwnd) ++self;
    std::size_t first = self;
    while (first > 0) {
        Window* k = FindWin(kids[first]);
        if (k && (k->style & WS_GROUP)) break;
        --first;
    }
    for (std::size_t i = first; i < kids.size(); ++i) {
        Window* k = FindWin(kids[i]);
        if (!k) continue;
        if (i > first && (k->style & WS_GROUP)) break;
        if (k->className == u"BUTTON" && TypeOf(*k) == BS_AUTORADIOBUTTON) {
            SendMessage(kids[i], BM_SETCHECK, kids[i] == hwnd ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void Click(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    if (!w) return;
    if (TypeOf(*w) == BS_AUTORADIOBUTTON) CheckInGroup(hwnd);
    if (TypeOf(*w) == BS_AUTOCHECKBOX) SendMessage(hwnd, BM_SETCHECK, w->checkState ? 0 : 1, 0);
    w = FindWin(hwnd);
    if (!w) return;
    SendMessage(w->parent, WM_COMMAND, MAKEWPARAM(w->id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

void OnPenDown(HWND hwnd)
{
    Window* w = FindWin(hwnd);
    if (!w || (w->style & WS_DISABLED)) return;
    SetCapture(hwnd);
    w->tracking = true;
    SetPushed(hwnd, true);
}

void OnPenMove(HWND hwnd, LPARAM lParam)
{
    Window* w = FindWin(hwnd);
    if (!w || !w->tracking) return;
    RECT r;
    GetClientRect(hwnd, &r);
    SetPushed(hwnd, RectContains(r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
}

void OnPenUp(HWND hwnd, LPARAM lParam)
{
    Window* w = FindWin(hwnd);
    if (!w || !w->tracking) return;
    w->tracking = false;
    RECT r;
    GetClientRect(hwnd, &r);
    bool inside = RectContains(r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    bool wasPushed = w->pushed;
    SetPushed(hwnd, false);
    if (GetCapture() == hwnd) ReleaseCapture();
    if (wasPushed && inside) Click(hwnd);
}

void DrawOwnerButton(HWND hwnd, const Window& w, HDC hdc)
{
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(w.id);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (w.pushed ? ODS_SELECTED : 0) | (GetFocus() == hwnd ? ODS_FOCUS : 0);
    dis.hwndItem = hwnd;
    dis.hDC = hdc;
    GetClientRect(hwnd, &dis.rcItem);
    SendMessage(w.parent, WM_DRAWITEM, static_cast<WPARAM>(w.id), reinterpret_cast<LPARAM>(&dis));
}

// Push-like buttons: a framed white key that shows inverted while it is down or checked.
void DrawPushLike(HWND hwnd, const Window& w, HDC hdc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    bool down = w.pushed || w.checkState == BST_CHECKED;
    HBRUSH face = CreateSolidBrush(down ? RGB(0, 0, 0) : RGB(255, 255, 255));
    HPEN frame = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(hdc, face);
    HGDIOBJ oldPen = SelectObject(hdc, frame);
    Rectangle(hdc, r.left, r.top, r.right, r.bottom);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(frame);
    DeleteObject(face);

    HGDIOBJ oldFont = w.font ? SelectObject(hdc, w.font) : nullptr;
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(hdc, down ? RGB(255, 255, 255) : RGB(0, 0, 0));
    DrawText(hdc, w.text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
    if (oldFont) SelectObject(hdc, oldFont);
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    Window* w = FindWin(hwnd);
    if (hdc && w) {
        if (TypeOf(*w) == BS_OWNERDRAW) {
            DrawOwnerButton(hwnd, *w, hdc);
        } else {
            DrawPushLike(hwnd, *w, hdc);
        }
    }
    EndPaint(hwnd, &ps);
}

LRESULT OnSetCheck(HWND hwnd, Window& w, WPARAM state)
{
    if (!HasCheckState(w)) return 0;
    int wanted = static_cast<int>(state & 3);
    if (w.checkState != wanted) {
        w.checkState = wanted;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    return 0;
}

}  // namespace

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = FindWin(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;  // the button paints all of itself
    case WM_LBUTTONDOWN: OnPenDown(hwnd); return 0;
    case WM_MOUSEMOVE: OnPenMove(hwnd, lParam); return 0;
    case WM_LBUTTONUP: OnPenUp(hwnd, lParam); return 0;
    case WM_CAPTURECHANGED:
        if (w->tracking) {
            w->tracking = false;
            SetPushed(hwnd, false);
        }
        return 0;
    case BM_GETCHECK: return HasCheckState(*w) ? w->checkState : 0;
    case BM_SETCHECK: return OnSetCheck(hwnd, *w, wParam);
    case BM_GETSTATE:
        return (HasCheckState(*w) ? w->checkState : 0) | (w->pushed ? BST_PUSHED : 0) |
               (GetFocus() == hwnd ? BST_FOCUS : 0);
    case BM_SETSTATE: SetPushed(hwnd, wParam != 0); return 0;
    case BM_CLICK:
        SetPushed(hwnd, true);
        SetPushed(hwnd, false);
        Click(hwnd);
        return 0;
    case WM_GETDLGCODE: return DLGC_BUTTON;
    case WM_SETTEXT: {
        LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return r;
    }
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}
