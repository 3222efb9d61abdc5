// Dialogs from templates: modeless and modal creation, the default dialog procedure, dialog units.
#include <string_view>
#include "platform/controls/controls.h"
#include "platform/controls/dialog_template.h"
#include "platform/kernel/resource_table.h"
#include "platform/user/modal_loop.h"
#include "platform/user/rect.h"

namespace {

// A template passed by pointer carries no size: a registered resource tells it, and anything
// else is read at most this far.
constexpr std::size_t kUnregisteredTemplateCap = 64 * 1024;

struct DialogCreateParams {
    DLGPROC proc;
    HFONT font;
};

// What a dialog keeps beside Win32's DWLP_ slots, reached through its DWLP_PRIVATE bytes.
struct DialogState {
    bool ended = false;
    INT_PTR result = 0;
    HFONT ownedFont = nullptr;  // the font made from the template
};

bool IsDialog(HWND hwnd)
{
    WCHAR name[8];
    return GetClassName(hwnd, name, 8) == 6 && std::u16string_view(name) == WC_DIALOG;
}

// Null for anything but a live dialog.
DialogState* StateOf(HWND hwnd)
{
    return IsDialog(hwnd) ? reinterpret_cast<DialogState*>(GetWindowLongPtr(hwnd, DWLP_PRIVATE)) : nullptr;
}

int MulDivRound(int value, int mul, int div)
{
    long long n = static_cast<long long>(value) * mul;
    long long q = (n >= 0 ? n + div / 2 : n - div / 2) / div;
    return static_cast<int>(q);
}

RECT DialogUnitsToPixels(short x, short y, short cx, short cy)
{
    int bx, by;
    DialogBaseUnits(&bx, &by);
    int left = MulDivRound(x, bx, 4), top = MulDivRound(y, by, 8);
    return RECT{left, top, left + MulDivRound(cx, bx, 4), top + MulDivRound(cy, by, 8)};
}

HFONT CreateDialogFont(const ParsedDialog& d)
{
    if (!(d.style & DS_SETFONT)) return nullptr;
    LOGFONT lf{};
    lf.lfHeight = -MulDivRound(d.pointSize, 96, 72);
    lf.lfWeight = FW_NORMAL;
    std::size_t n = std::min<std::size_t>(d.fontName.size(), LF_FACESIZE - 1);
    for (std::size_t i = 0; i < n; ++i) lf.lfFaceName[i] = d.fontName[i];
    return CreateFontIndirect(&lf);
}

HWND FirstTabStop(HWND dialog)
{
    for (HWND kid = GetWindow(dialog, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        auto style = static_cast<DWORD>(GetWindowLong(kid, GWL_STYLE));
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return kid;
    }
    return nullptr;
}

void CreateControls(HWND dialog, const ParsedDialog& d, HINSTANCE instance, HFONT font)
{
    for (const ParsedDialogItem& item : d.items) {
        RECT r = DialogUnitsToPixels(item.x, item.y, item.cx, item.cy);
        HWND control = CreateWindowEx(item.exStyle, item.className.c_str(), item.caption.c_str(),
                                      item.style | WS_CHILD, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, dialog,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance,
                                      nullptr);
        if (!control) continue;  // an unknown class is left out, as with DS_NOFAILCREATE
        if (font) SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        if (item.captionOrdinal) {
            HICON icon = LoadIcon(instance, MAKEINTRESOURCE(item.captionOrdinal));
            if (icon) SendMessage(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
    }
}

HWND CreateDialogFrom(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc, LPARAM init,
                      bool modal)
{
    if (!tmpl) return nullptr;
    std::size_t size = kUnregisteredTemplateCap;
    if (const ResourceEntry* res = FindResourceContaining(tmpl)) {
        size = res->size - (reinterpret_cast<const BYTE*>(tmpl) - static_cast<const BYTE*>(res->data));
    }
    ParsedDialog d;
    if (!ParseDialogTemplate(tmpl, size, &d)) return nullptr;
    bool child = (d.style & WS_CHILD) != 0;
    if (child && !IsWindow(parent)) return nullptr;

    RECT r = DialogUnitsToPixels(d.x, d.y, d.cx, d.cy);
    if (!child) {
        // Pop-up dialogs are placed relative to their owner's client area.
        POINT origin{0, kNavBarHeight};
        if (IsWindow(parent)) {
            origin = POINT{0, 0};
            ClientToScreen(parent, &origin);
        }
        r = RectOffset(r, origin.x, origin.y);
    }
    EnsureControlClasses();
    HFONT font = CreateDialogFont(d);
    DialogCreateParams params{proc, font};
    HWND dialog = CreateWindowEx(d.exStyle, WC_DIALOG, d.caption.c_str(), d.style & ~WS_VISIBLE,
                                 r.left, r.top, r.right - r.left, r.bottom - r.top, parent, nullptr, instance,
                                 &params);
    if (!dialog) {
        if (font) DeleteObject(font);
        return nullptr;
    }
    if (font) {
        StateOf(dialog)->ownedFont = font;
        SendMessage(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    }
    CreateControls(dialog, d, instance, font);
    HWND focus = FirstTabStop(dialog);
    if (SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), init) && IsWindow(focus)) {
        SetFocus(focus);
    }
    if (IsWindow(dialog) && ((d.style & WS_VISIBLE) || modal)) ShowWindow(dialog, SW_SHOW);
    return IsWindow(dialog) ? dialog : nullptr;
}

// The window to activate when a modal box of `owner` ends: another box of the same owner that
// is still open (a message box under the About box), else the owner itself.
struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK StopAtOpenOwned(HWND hwnd, LPARAM search)
{
    auto* s = reinterpret_cast<OwnedSearch*>(search);
    if (GetWindow(hwnd, GW_OWNER) != s->owner || !(GetWindowLong(hwnd, GWL_STYLE) & WS_VISIBLE)) return TRUE;
    DialogState* state = StateOf(hwnd);
    if (state && state->ended) return TRUE;
    s->found = hwnd;
    return FALSE;
}

HWND TopmostOwnedOrSelf(HWND owner)
{
    OwnedSearch search{owner, owner};
    EnumWindows(StopAtOpenOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}


void OnDialogNcCreate(HWND hwnd, LPARAM lParam)
{
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
    auto* params = cs ? static_cast<DialogCreateParams*>(cs->lpCreateParams) : nullptr;
    if (params) SetWindowLongPtr(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(params->proc));
    SetWindowLongPtr(hwnd, DWLP_PRIVATE, reinterpret_cast<LONG_PTR>(new DialogState));
}

// The font made from the template goes with the dialog; its controls are gone by now.
void OnDialogNcDestroy(HWND hwnd)
{
    DialogState* state = StateOf(hwnd);
    SetWindowLongPtr(hwnd, DWLP_PRIVATE, 0);
    if (!state) return;
    if (state->ownedFont) DeleteObject(state->ownedFont);
    delete state;
}

}  // namespace

void DialogBaseUnits(int* bx, int* by)
{
    // The device's System 9-point font: 7 x 14 base units, whatever face the host draws it with.
    *bx = 7;
    *by = 14;
}

HWND CreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc, LPARAM init)
{
    return CreateDialogFrom(instance, tmpl, parent, proc, init, false);
}

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc, LPARAM init)
{
    HWND owner = IsWindow(parent) ? GetAncestor(parent, GA_ROOT) : parent;
    bool ownerWasEnabled = IsWindow(owner) && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    HWND dialog = CreateDialogFrom(instance, tmpl, owner, proc, init, true);
    if (!dialog) {
        if (ownerWasEnabled) EnableWindow(owner, TRUE);
        return -1;
    }
    RunModalLoop(dialog);
    INT_PTR result = -1;
    if (DialogState* state = StateOf(dialog)) result = state->result;
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    DestroyWindow(dialog);
    if (IsWindow(owner)) SetActiveWindow(TopmostOwnedOrSelf(owner));
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    DialogState* state = StateOf(dialog);
    if (!state) return FALSE;
    state->ended = true;
    state->result = result;
    ShowWindow(dialog, SW_HIDE);
    EndModalLoop(dialog);
    return TRUE;
}

LRESULT CALLBACK DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) OnDialogNcCreate(hwnd, lParam);
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(hwnd, DWLP_DLGPROC));
    INT_PTR handled = proc ? proc(hwnd, msg, wParam, lParam) : FALSE;
    if (!IsWindow(hwnd)) return handled;
    if (msg == WM_INITDIALOG) return handled;
    if (handled) return GetWindowLongPtr(hwnd, DWLP_MSGRESULT);
    switch (msg) {
    case WM_CLOSE:
        SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    case WM_NCDESTROY:
        OnDialogNcDestroy(hwnd);
        break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}
