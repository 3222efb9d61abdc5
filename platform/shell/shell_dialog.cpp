// SHInitDialog and SHHandleWMSettingChange. A desktop has no input panel, so SHIDIF_SIPDOWN and
// the settings-change handler have nothing to do.
#include "platform/extras.h"
#include "platform/shell/navigation_bar.h"

namespace {

// Moves the dialog so that it covers `screenArea`; a child dialog is placed in its parent's
// client coordinates.
void CoverScreenArea(HWND dialog, const RECT& screenArea)
{
    POINT topLeft{screenArea.left, screenArea.top};
    if (GetWindowLong(dialog, GWL_STYLE) & WS_CHILD) ScreenToClient(GetParent(dialog), &topLeft);
    SetWindowPos(dialog, nullptr, topLeft.x, topLeft.y, screenArea.right - screenArea.left,
                 screenArea.bottom - screenArea.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

BOOL SHInitDialog(SHINITDLGINFO* info)
{
    if (!info || !IsWindow(info->hDlg)) return FALSE;
    if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
    InstallNavigationBar();
    DWORD flags = info->dwFlags;
    if (flags & SHIDIF_SIZEDLGFULLSCREEN) {
        // Everything below the navigation bar, the menu bar's strip included.
        CoverScreenArea(info->hDlg, RECT{0, kNavBarHeight, kScreenWidth, kScreenHeight});
    } else if (flags & SHIDIF_SIZEDLG) {
        CoverScreenArea(info->hDlg, RECT{0, kNavBarHeight, kScreenWidth, kScreenHeight - kMenuBarHeight});
    }
    if (flags & SHIDIF_DONEBUTTON) SetNavigationBarDoneButton(info->hDlg, true);
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND, WPARAM, LPARAM, SHACTIVATEINFO*)
{
    return TRUE;
}
