// BUTTON: owner-drawn push buttons and push-like automatic radio buttons, pressed with the pen.
// A tap draws the pressed state, then the released state, then tells the parent BN_CLICKED.
// Its state lives in the window's extra bytes, as the class's own data.
#include <string_view>
#include "platform/controls/controls.h"
#include "platform/user/key_taps.h"
#include "platform/user/window_observer.h"

namespace {

// The extra bytes: one LONG_PTR of state bits.
enum : LONG_PTR {
    STATE_CHECK = 3,       // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
    STATE_PUSHED = 4,      // shown pressed
    STATE_TRACKING = 8,    // the pen went down on this button and has not come up
};

LONG_PTR StateOf(HWND hwnd)
{
    return GetWindowLongPtr(hwnd, 0);
}

void SetStateBits(HWND hwnd, LONG_PTR bits, bool on)
{
    LONG_PTR state = StateOf(hwnd);
    SetWindowLongPtr(hwnd, 0, on ? state | bits : state & ~bits);
}

DWORD TypeOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & BS_TYPEMASK;
}

bool HasCheckState(HWND hwnd)
{
    DWORD t = TypeOf(hwnd);
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

int CheckOf(HWND hwnd)
{
    return HasCheckState(hwnd) ? static_cast<int>(StateOf(hwnd) & STATE_CHECK) : 0;
}

bool IsPushed(HWND hwnd)
{
    return (StateOf(hwnd) & STATE_PUSHED) != 0;
}

void RedrawNow(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void SetPushed(HWND hwnd, bool pushed)
{
    if (!IsWindow(hwnd) || IsPushed(hwnd) == pushed) return;
    SetStateBits(hwnd, STATE_PUSHED, pushed);
    NotifyWindowChange(hwnd, WindowChange::State);
    RedrawNow(hwnd);
}

bool StartsGroup(HWND hwnd)
{
    return (GetWindowLong(hwnd, GWL_STYLE) & WS_GROUP) != 0;
}

bool IsAutoRadio(HWND hwnd)
{
    WCHAR name[8];
    return GetClassName(hwnd, name, 8) == 6 && std::u16string_view(name) == u"BUTTON" && TypeOf(hwnd) == BS_AUTORADIOBUTTON;
}

// Checks this automatic radio button and unchecks the others of its WS_GROUP group.
void CheckInGroup(HWND hwnd)
{
    HWND first = hwnd;
    while (!StartsGroup(first)) {
        HWND previous = GetWindow(first, GW_HWNDPREV);
        if (!previous) break;
        first = previous;
    }
    for (HWND k = first; k; k = GetWindow(k, GW_HWNDNEXT)) {
        if (k != first && StartsGroup(k)) break;
        if (IsAutoRadio(k)) SendMessage(k, BM_SETCHECK, k == hwnd ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void Click(HWND hwnd)
{
    if (!IsWindow(hwnd)) return;
    if (TypeOf(hwnd) == BS_AUTORADIOBUTTON) CheckInGroup(hwnd);
    if (TypeOf(hwnd) == BS_AUTOCHECKBOX) SendMessage(hwnd, BM_SETCHECK, CheckOf(hwnd) ? 0 : 1, 0);
    if (!IsWindow(hwnd)) return;
    SendMessage(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

bool InClient(HWND hwnd, LPARAM lParam)
{
    RECT r;
    GetClientRect(hwnd, &r);
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void OnPenDown(HWND hwnd)
{
    if (GetWindowLong(hwnd, GWL_STYLE) & WS_DISABLED) return;
    SetCapture(hwnd);
    SetStateBits(hwnd, STATE_TRACKING, true);
    SetPushed(hwnd, true);
}

void OnPenMove(HWND hwnd, LPARAM lParam)
{
    if (StateOf(hwnd) & STATE_TRACKING) SetPushed(hwnd, InClient(hwnd, lParam));
}

void OnPenUp(HWND hwnd, LPARAM lParam)
{
    if (!(StateOf(hwnd) & STATE_TRACKING)) return;
    SetStateBits(hwnd, STATE_TRACKING, false);
    bool inside = InClient(hwnd, lParam);
    bool wasPushed = IsPushed(hwnd);
    SetPushed(hwnd, false);
    if (GetCapture() == hwnd) ReleaseCapture();
    if (wasPushed && inside) Click(hwnd);
}

void OnCaptureChanged(HWND hwnd)
{
    if (!(StateOf(hwnd) & STATE_TRACKING)) return;
    SetStateBits(hwnd, STATE_TRACKING, false);
    SetPushed(hwnd, false);
}

// As Win32 paints an owner-drawn button: its background first, with the brush its parent answers
// WM_CTLCOLORBTN with, else the system's button face; then the owner draws on it.
void EraseOwnerButton(HWND hwnd, HDC hdc)
{
    LRESULT answer = SendMessage(GetParent(hwnd), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc),
                                 reinterpret_cast<LPARAM>(hwnd));
    HBRUSH brush = answer ? reinterpret_cast<HBRUSH>(answer) : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(hdc, &r, brush);
}

void DrawOwnerButton(HWND hwnd, HDC hdc)
{
    EraseOwnerButton(hwnd, hdc);
    int id = GetDlgCtrlID(hwnd);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(id);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (IsPushed(hwnd) ? ODS_SELECTED : 0) | (GetFocus() == hwnd ? ODS_FOCUS : 0);
    dis.hwndItem = hwnd;
    dis.hDC = hdc;
    GetClientRect(hwnd, &dis.rcItem);
    SendMessage(GetParent(hwnd), WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&dis));
}

// Push-like buttons: a framed white key that shows inverted while it is down or checked.
void DrawPushLike(HWND hwnd, HDC hdc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    bool down = IsPushed(hwnd) || CheckOf(hwnd) == BST_CHECKED;
    HBRUSH face = CreateSolidBrush(down ? RGB(0, 0, 0) : RGB(255, 255, 255));
    HPEN frame = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(hdc, face);
    HGDIOBJ oldPen = SelectObject(hdc, frame);
    Rectangle(hdc, r.left, r.top, r.right, r.bottom);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(frame);
    DeleteObject(face);
    DrawControlText(hwnd, hdc, r, down ? RGB(255, 255, 255) : RGB(0, 0, 0), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// The focus ring, over whatever the button drew: black outside, white inside, one pixel in from
// the edge, so that it shows on every key colour.
void DrawFocusRing(HWND hwnd, HDC hdc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    const int brushes[] = {BLACK_BRUSH, WHITE_BRUSH};
    for (int ring = 0; ring < 2; ++ring) {
        int in = 1 + ring;
        RECT box{r.left + in, r.top + in, r.right - in, r.bottom - in};
        if (box.right - box.left < 2 || box.bottom - box.top < 2) return;
        auto brush = static_cast<HBRUSH>(GetStockObject(brushes[ring]));
        RECT sides[] = {{box.left, box.top, box.right, box.top + 1},
                        {box.left, box.bottom - 1, box.right, box.bottom},
                        {box.left, box.top, box.left + 1, box.bottom},
                        {box.right - 1, box.top, box.right, box.bottom}};
        for (const RECT& side : sides) FillRect(hdc, &side, brush);
    }
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc) {
        if (TypeOf(hwnd) == BS_OWNERDRAW) {
            DrawOwnerButton(hwnd, hdc);
        } else {
            DrawPushLike(hwnd, hdc);
        }
        if (GetFocus() == hwnd && KeyboardCuesShown()) DrawFocusRing(hwnd, hdc);
    }
    EndPaint(hwnd, &ps);
}

// The ring follows the focus once it is shown.
void OnFocusChange(HWND hwnd)
{
    if (KeyboardCuesShown()) InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT OnSetCheck(HWND hwnd, WPARAM state)
{
    if (!HasCheckState(hwnd)) return 0;
    LONG_PTR wanted = static_cast<LONG_PTR>(state & STATE_CHECK);
    LONG_PTR current = StateOf(hwnd);
    if ((current & STATE_CHECK) != wanted) {
        SetWindowLongPtr(hwnd, 0, (current & ~STATE_CHECK) | wanted);
        NotifyWindowChange(hwnd, WindowChange::State);
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    return 0;
}

LRESULT OnGetState(HWND hwnd)
{
    return CheckOf(hwnd) | (IsPushed(hwnd) ? BST_PUSHED : 0) | (GetFocus() == hwnd ? BST_FOCUS : 0);
}

void OnClickMessage(HWND hwnd)
{
    SetPushed(hwnd, true);
    SetPushed(hwnd, false);
    Click(hwnd);
}

LRESULT OnSetText(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = DefWindowProc(hwnd, WM_SETTEXT, wParam, lParam);
    InvalidateRect(hwnd, nullptr, FALSE);
    return r;
}

}  // namespace

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;  // the button paints all of itself
    case WM_LBUTTONDOWN: OnPenDown(hwnd); return 0;
    case WM_MOUSEMOVE: OnPenMove(hwnd, lParam); return 0;
    case WM_LBUTTONUP: OnPenUp(hwnd, lParam); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(hwnd); return 0;
    case BM_GETCHECK: return CheckOf(hwnd);
    case BM_SETCHECK: return OnSetCheck(hwnd, wParam);
    case BM_GETSTATE: return OnGetState(hwnd);
    case BM_SETSTATE: SetPushed(hwnd, wParam != 0); return 0;
    case BM_CLICK: OnClickMessage(hwnd); return 0;
    case WM_GETDLGCODE: return DLGC_BUTTON;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: OnFocusChange(hwnd); return 0;
    case WM_SETTEXT: return OnSetText(hwnd, wParam, lParam);
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}
