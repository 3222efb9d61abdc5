// SHInitDialog and SHHandleWMSettingChange on desktop Windows. A full-screen dialog covers its
// owner's window, the title bar included, as the handheld's covers the screen below its
// navigation bar; the ok button that the handheld shows in the navigation bar is a push button at
// the dialog's top right, sending IDOK. A desktop has no input panel to lower or follow.
#include "platform/extras.h"
#include "platform/windows.h"

namespace {

constexpr int kOkWidth = 30;
constexpr int kOkHeight = 20;
constexpr int kOkMargin = 3;

void CoverOwner(HWND dialog, bool withMenuBar)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT r;
    if (!owner || !GetWindowRect(owner, &r)) return;
    if (!withMenuBar) {
        RECT client;
        GetClientRect(owner, &client);
        POINT bottom{0, client.bottom};
        ClientToScreen(owner, &bottom);
        r.bottom = bottom.y;
    }
    SetWindowPos(dialog, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void AddOkButton(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    HWND ok = CreateWindowExW(0, L"BUTTON", L"ok", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                              client.right - kOkMargin - kOkWidth, kOkMargin, kOkWidth, kOkHeight, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
    SendMessageW(ok, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
}

}  // namespace

BOOL SHInitDialog(SHINITDLGINFO* info)
{
    if (!info || !IsWindow(info->hDlg)) return FALSE;
    if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
    DWORD flags = info->dwFlags;
    if (flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIZEDLG)) CoverOwner(info->hDlg, flags & SHIDIF_SIZEDLGFULLSCREEN);
    if (flags & SHIDIF_DONEBUTTON) AddOkButton(info->hDlg);
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND, WPARAM, LPARAM, SHACTIVATEINFO*)
{
    return TRUE;
}
