// The headless screen on Windows: the windows are real but never shown, so the picture is painted
// on request into a DIB section of the device screen, by the program's own paint handlers (their
// BeginPaint hands out the picture's DC) and by the controls' WM_PRINTCLIENT, at the rendering
// scale through the DC's mapping mode. Pen input goes to the window under the point, or the capture.
#define DEVICE_API_NO_REDIRECT
#include <string>
#include <vector>
#include "platform/drivers/windows/device_api.h"
#include "platform/drivers/windows/png_file.h"
#include "platform/drivers/windows/windows_driver.h"
#include "platform/extras.h"
#include "platform/shell/win32/shell_win32.h"

namespace {

struct Capture {
    HWND window = nullptr;  // the window whose BeginPaint gets `dc`
    HDC dc = nullptr;
};
Capture g_capture;

bool StyleShown(HWND hwnd)
{
    return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool HasClass(HWND hwnd, const wchar_t* name)
{
    WCHAR cls[16];
    return GetClassNameW(hwnd, cls, 16) && lstrcmpiW(cls, name) == 0;
}

bool IsControl(HWND hwnd)
{
    return HasClass(hwnd, L"BUTTON") || HasClass(hwnd, L"STATIC") || HasClass(hwnd, L"EDIT");
}

bool IsOwnerDrawButton(HWND hwnd)
{
    return HasClass(hwnd, L"BUTTON") && (GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
}

POINT ClientOrigin(HWND hwnd)
{
    POINT p{0, 0};
    ClientToScreen(hwnd, &p);
    return p;
}

// Drawing in `hdc` at device pixel `offset` of the screen, scaled, clipped to `clip` (device
// pixels of the screen). A mapping mode scales, not a world transform: GM_ADVANCED would draw
// rectangles with their right and bottom edges, as the program's handlers do not expect.
void PlaceDrawing(HDC hdc, POINT offset, const RECT& clip)
{
    int scale = ScreenScale();
    SetMapMode(hdc, MM_ANISOTROPIC);
    SetWindowExtEx(hdc, 1, 1, nullptr);
    SetViewportExtEx(hdc, scale, scale, nullptr);
    SetViewportOrgEx(hdc, offset.x * scale, offset.y * scale, nullptr);
    HRGN region = CreateRectRgn(clip.left * scale, clip.top * scale, clip.right * scale, clip.bottom * scale);
    SelectClipRgn(hdc, region);
    DeleteObject(region);
}

// What an owner-drawn button asks of its parent to paint itself whole, asked here directly: the
// button's own painting clips to its client rectangle as device coordinates, which the picture's
// transform would misplace.
void PaintOwnerDrawButton(HWND button, HDC hdc)
{
    SendMessageW(button, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);  // its WM_CTLCOLORBTN brush
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(button));
    dis.itemAction = ODA_DRAWENTIRE;
    LRESULT state = SendMessageW(button, BM_GETSTATE, 0, 0);
    if (state & BST_PUSHED) dis.itemState |= ODS_SELECTED;
    if (GetFocus() == button) dis.itemState |= ODS_FOCUS;
    if (!IsWindowEnabled(button)) dis.itemState |= ODS_DISABLED;
    dis.hwndItem = button;
    dis.hDC = hdc;
    GetClientRect(button, &dis.rcItem);
    SendMessageW(GetParent(button), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

// A control that paints itself: into a bitmap of its own at the device's size, then enlarged
// into the picture.
void PaintControl(HWND control, HDC hdc, POINT offset)
{
    RECT client;
    GetClientRect(control, &client);
    HDC own = CreateCompatibleDC(hdc);
    HBITMAP bitmap = CreateCompatibleBitmap(hdc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(own, bitmap);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(own), PRF_CLIENT | PRF_ERASEBKGND);
    int scale = ScreenScale();
    SetMapMode(hdc, MM_TEXT);
    SetViewportOrgEx(hdc, 0, 0, nullptr);
    StretchBlt(hdc, offset.x * scale, offset.y * scale, client.right * scale, client.bottom * scale, own, 0, 0,
               client.right, client.bottom, SRCCOPY);
    SelectObject(own, old);
    DeleteObject(bitmap);
    DeleteDC(own);
}

void PaintOne(HWND hwnd, HDC hdc, POINT offset, const RECT& clip)
{
    int saved = SaveDC(hdc);
    PlaceDrawing(hdc, offset, clip);
    if (IsOwnerDrawButton(hwnd)) {
        PaintOwnerDrawButton(hwnd, hdc);
    } else if (IsControl(hwnd)) {
        PaintControl(hwnd, hdc, offset);
    } else {
        SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
        Capture outer = g_capture;
        g_capture = Capture{hwnd, hdc};
        SendMessageW(hwnd, WM_PAINT, 0, 0);
        g_capture = outer;
    }
    RestoreDC(hdc, saved);
}

// The window and its shown children, bottom of the z-order first, each clipped to its parent.
void PaintTree(HWND hwnd, HDC hdc, POINT topOrigin, POINT workArea, RECT clip)
{
    POINT origin = ClientOrigin(hwnd);
    POINT offset{origin.x - topOrigin.x + workArea.x, origin.y - topOrigin.y + workArea.y};
    RECT client;
    GetClientRect(hwnd, &client);
    OffsetRect(&client, offset.x, offset.y);
    IntersectRect(&clip, &clip, &client);
    if (IsRectEmpty(&clip)) return;
    PaintOne(hwnd, hdc, offset, clip);
    std::vector<HWND> kids;
    for (HWND kid = GetWindow(hwnd, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) kids.push_back(kid);
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        if (StyleShown(*it)) PaintTree(*it, hdc, topOrigin, workArea, clip);
    }
}

// The window under a screen point: the capture, else the deepest shown child of the newest of
// the program's top-level windows that holds the point.
HWND DeepestShownAt(HWND hwnd, POINT screen)
{
    for (HWND kid = GetWindow(hwnd, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        RECT r;
        if (StyleShown(kid) && GetWindowRect(kid, &r) && PtInRect(&r, screen)) return DeepestShownAt(kid, screen);
    }
    return hwnd;
}

HWND PenTarget(POINT screen)
{
    if (HWND capture = GetCapture()) return capture;
    std::vector<HWND> tops = ProgramTopLevelWindows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        RECT r;
        if (GetWindowRect(*it, &r) && PtInRect(&r, screen)) return DeepestShownAt(*it, screen);
    }
    return nullptr;
}

}  // namespace

void InjectPen(UINT msg, POINT screen)
{
    HWND target = PenTarget(screen);
    if (!target || (!GetCapture() && !IsWindowEnabled(target))) return;
    POINT client = screen;
    ScreenToClient(target, &client);
    SendMessageW(target, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(client.x, client.y));
}

namespace {

std::wstring Wide(const char* utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring out(n > 0 ? static_cast<std::size_t>(n) : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
    if (!out.empty()) out.pop_back();
    return out;
}

}  // namespace

HDC WINAPI DeviceBeginPaint(HWND hwnd, PAINTSTRUCT* ps)
{
    if (!ps || !g_capture.window || hwnd != g_capture.window) return BeginPaint(hwnd, ps);
    ValidateRect(hwnd, nullptr);
    *ps = PAINTSTRUCT{};
    ps->hdc = g_capture.dc;
    GetClientRect(hwnd, &ps->rcPaint);
    return ps->hdc;
}

BOOL WINAPI DeviceEndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    if (ps && g_capture.dc && ps->hdc == g_capture.dc) return TRUE;
    return EndPaint(hwnd, ps);
}

void PaintWindowTree(HWND top, HDC hdc, POINT workArea)
{
    POINT origin = ClientOrigin(top);
    PaintTree(top, hdc, origin, workArea, RECT{0, 0, kScreenWidth, kScreenHeight});
    RECT client;
    GetClientRect(top, &client);
    int saved = SaveDC(hdc);
    PlaceDrawing(hdc, workArea, RECT{0, 0, kScreenWidth, kScreenHeight});
    PaintShellMenuBar(top, hdc, client.bottom);
    RestoreDC(hdc, saved);
}

bool WriteScreenPng(const char* path)
{
    if (!path) return false;
    int scale = ScreenScale();
    int width = kScreenWidth * scale, height = kScreenHeight * scale;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!hdc || !dib || !bits) {
        if (dib) DeleteObject(dib);
        if (hdc) DeleteDC(hdc);
        return false;
    }
    HGDIOBJ oldBitmap = SelectObject(hdc, dib);
    PatBlt(hdc, 0, 0, width, height, WHITENESS);
    std::vector<HWND> tops = ProgramTopLevelWindows();
    int saved = SaveDC(hdc);
    PlaceDrawing(hdc, POINT{0, 0}, RECT{0, 0, kScreenWidth, kNavBarHeight});
    PaintShellNavigationBar(tops.empty() ? nullptr : tops.front(), hdc);
    RestoreDC(hdc, saved);
    if (!tops.empty()) PaintWindowTree(tops.front(), hdc, POINT{0, kNavBarHeight});
    GdiFlush();
    bool ok = WritePngFile(Wide(path).c_str(), static_cast<const std::uint32_t*>(bits), width, height);
    SelectObject(hdc, oldBitmap);
    DeleteObject(dib);
    DeleteDC(hdc);
    return ok;
}

