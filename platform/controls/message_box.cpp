// MessageBox: a modal box centred in the work area, its text wrapped, one "OK" button; the
// caption is shown in the navigation bar while the box is active. Its owner is disabled while it
// is up, and the box's own loop runs the thread's messages until it closes. The box closes with
// its OK button, Enter, Escape or WM_CLOSE. Knowingly lacks: every button set but MB_OK and the
// icons (the type is otherwise ignored); the result is always IDOK.
#include <algorithm>
#include "platform/controls/controls.h"
#include "platform/extras.h"
#include "platform/user/modal_loop.h"
#include "platform/shell/navigation_bar.h"
#include "platform/shell/shell_draw.h"
#include "platform/shell/shell_windows.h"

namespace {

const WCHAR kMessageBoxClass[] = u"ShellMessageBox";
constexpr int kBoxMargin = 8;   // from the screen's sides
constexpr int kTextMargin = 10; // inside the box
constexpr int kButtonWidth = 64;
constexpr int kButtonHeight = 24;
constexpr int kBoxWidth = kScreenWidth - 2 * kBoxMargin;

struct BoxState {
    std::u16string text;
    HFONT font = nullptr;
    RECT textRect{};  // client coordinates
};

BoxState* StateOf(HWND hwnd)
{
    return reinterpret_cast<BoxState*>(GetWindowLongPtr(hwnd, GWL_USERDATA));
}

int WrappedTextHeight(const std::u16string& text, HFONT font, int width)
{
    HDC hdc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, font);
    RECT r{0, 0, width, 0};
    DrawText(hdc, text.c_str(), -1, &r, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);
    return std::max<int>(r.bottom - r.top, 0);
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    BoxState* s = StateOf(hwnd);
    if (hdc && s) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillShellRect(hdc, client, kShellWindow);
        FrameShellRect(hdc, client, kShellText);
        HGDIOBJ old = SelectObject(hdc, s->font);
        int oldMode = SetBkMode(hdc, TRANSPARENT);
        COLORREF oldColor = SetTextColor(hdc, kShellText);
        RECT text = s->textRect;
        DrawText(hdc, s->text.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX);
        SetTextColor(hdc, oldColor);
        SetBkMode(hdc, oldMode);
        SelectObject(hdc, old);
    }
    EndPaint(hwnd, &ps);
}

void End(HWND hwnd)
{
    EndModalLoop(hwnd);
}

LRESULT CALLBACK MessageBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:      OnPaint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_CLOSE:      End(hwnd); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) End(hwnd);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) End(hwnd);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// Creates the box, hidden, sized to its text: at most the work area's height.
HWND CreateBox(HWND owner, BoxState& state, LPCWSTR caption)
{
    const int textWidth = kBoxWidth - 2 * kTextMargin;
    const int workHeight = kScreenHeight - kNavBarHeight - kMenuBarHeight;
    const int chrome = 3 * kTextMargin + kButtonHeight;
    int textHeight = std::min(WrappedTextHeight(state.text, state.font, textWidth), workHeight - chrome);
    int height = textHeight + chrome;
    int top = kNavBarHeight + (workHeight - height) / 2;
    EnsureControlClasses();
    HWND box = CreateWindowEx(WS_EX_LAYER_PRIVATE, kMessageBoxClass, caption, WS_POPUP, kBoxMargin, top, kBoxWidth,
                              height, owner, nullptr, nullptr, nullptr);
    if (!box) return nullptr;
    state.textRect = RECT{kTextMargin, kTextMargin, kTextMargin + textWidth, kTextMargin + textHeight};
    SetWindowLongPtr(box, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    HWND ok = CreateWindowEx(0, u"BUTTON", u"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, (kBoxWidth - kButtonWidth) / 2,
                             height - kTextMargin - kButtonHeight, kButtonWidth, kButtonHeight, box,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDOK)), nullptr, nullptr);
    if (ok) SendMessage(ok, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), 0);
    return box;
}

}  // namespace

int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = MessageBoxProc;
    wc.lpszClassName = kMessageBoxClass;
    RegisterClass(&wc);  // fails harmlessly when registered already
    InstallNavigationBar();

    BoxState state;
    state.text = text && !IS_INTRESOURCE(text) ? text : u"";
    state.font = CreateShellFont(false);
    HWND top = GetAncestor(owner, GA_ROOT);
    // The owner is disabled before the box exists, as for a dialog box.
    bool reenable = top && IsWindowEnabled(top);
    if (reenable) EnableWindow(top, FALSE);
    HWND box = CreateBox(top, state, caption && !IS_INTRESOURCE(caption) ? caption : u"Error");
    if (!box) {
        if (reenable) EnableWindow(top, TRUE);
        DeleteObject(state.font);
        return 0;
    }
    ShowWindow(box, SW_SHOW);
    RunModalLoop(box);
    if (reenable) EnableWindow(top, TRUE);
    if (IsWindow(box)) {
        SetWindowLongPtr(box, GWL_USERDATA, 0);
        DestroyWindow(box);
    }
    if (IsWindow(top)) SetActiveWindow(top);
    DeleteObject(state.font);
    return IDOK;
}
