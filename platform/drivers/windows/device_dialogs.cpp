// Dialogs in the device's dialog units. The handheld converts dialog units with its "System"
// font's base units, 7 x 14; a desktop's fonts give other ones, which would change every key's
// size. The real dialog is created from the template as usual, then, before the program's
// WM_INITDIALOG, its controls are moved to the rectangles the handheld gives them.
#define DEVICE_API_NO_REDIRECT
#include "platform/controls/dialog_template.h"
#include "platform/drivers/windows/device_api.h"
#include "platform/drivers/windows/windows_driver.h"

namespace {

constexpr int kDeviceBaseX = 7;
constexpr int kDeviceBaseY = 14;

struct DialogStart {
    DLGPROC proc;
    LPARAM param;
    const void* tmpl;
    DWORD size;  // 0 when the template is none of the module's resources
};

int MulDivRound(int value, int mul, int div)
{
    long long n = static_cast<long long>(value) * mul;
    return static_cast<int>((n >= 0 ? n + div / 2 : n - div / 2) / div);
}

RECT DeviceRect(short x, short y, short cx, short cy)
{
    int left = MulDivRound(x, kDeviceBaseX, 4), top = MulDivRound(y, kDeviceBaseY, 8);
    return RECT{left, top, left + MulDivRound(cx, kDeviceBaseX, 4), top + MulDivRound(cy, kDeviceBaseY, 8)};
}

// The size of the template when it is one of `instance`'s dialog resources.
struct SizeSearch {
    const void* tmpl;
    DWORD size;
};

BOOL CALLBACK MatchDialogResource(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    auto* search = reinterpret_cast<SizeSearch*>(param);
    HRSRC res = FindResourceW(module, name, type);
    if (res && LockResource(LoadResource(module, res)) == search->tmpl) {
        search->size = SizeofResource(module, res);
        return FALSE;
    }
    return TRUE;
}

DWORD TemplateSize(HINSTANCE instance, const void* tmpl)
{
    SizeSearch search{tmpl, 0};
    EnumResourceNamesW(instance, MAKEINTRESOURCEW(5), MatchDialogResource, reinterpret_cast<LONG_PTR>(&search));
    return search.size;
}

void LayOutInDeviceUnits(HWND dialog, const DialogStart& start)
{
    ParsedDialog parsed;
    if (!start.size || !ParseDialogTemplate(start.tmpl, start.size, &parsed)) return;
    std::size_t index = 0;
    for (HWND kid = GetWindow(dialog, GW_CHILD); kid && index < parsed.items.size();
         kid = GetWindow(kid, GW_HWNDNEXT), ++index) {
        const ParsedDialogItem& item = parsed.items[index];
        RECT r = DeviceRect(item.x, item.y, item.cx, item.cy);
        SetWindowPos(kid, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    RECT frame = DeviceRect(parsed.x, parsed.y, parsed.cx, parsed.cy);
    RECT outer{0, 0, frame.right - frame.left, frame.bottom - frame.top};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

// The dialog's first procedure: lays the dialog out, then hands it, and WM_INITDIALOG, to the
// program's procedure.
INT_PTR CALLBACK DeviceDialogStartProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_INITDIALOG) return FALSE;
    const auto* start = reinterpret_cast<const DialogStart*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(start->proc));
    LayOutInDeviceUnits(dialog, *start);
    MakeControlsAccessible(dialog);
    return start->proc ? start->proc(dialog, msg, wParam, start->param) : TRUE;
}

}  // namespace

HWND WINAPI DeviceCreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                                            LPARAM param)
{
    DialogStart start{proc, param, tmpl, TemplateSize(instance, tmpl)};
    return CreateDialogIndirectParamW(instance, tmpl, parent, DeviceDialogStartProc,
                                      reinterpret_cast<LPARAM>(&start));
}

INT_PTR WINAPI DeviceDialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc,
                                            LPARAM param)
{
    DialogStart start{proc, param, tmpl, TemplateSize(instance, tmpl)};
    return DialogBoxIndirectParamW(instance, tmpl, parent, DeviceDialogStartProc, reinterpret_cast<LPARAM>(&start));
}
