// Dialogs from templates: modeless and modal creation, the default dialog procedure, dialog units.
#include "platform/controls/dialog_template.h"
#include "platform/user/resources.h"
#include "platform/user/window_internal.h"

const WCHAR kDialogClassName[] = u"#32770";

namespace {

// A template passed by pointer carries no size: a registered resource tells it, and anything
// else is read at most this far.
constexpr std::size_t kUnregisteredTemplateCap = 64 * 1024;

struct DialogCreateParams {
    DLGPROC proc;
    HFONT font;
};

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
    Window* w = FindWin(dialog);
    if (!w) return nullptr;
    for (HWND kid : w->children) {
        Window* k = FindWin(kid);
        if (k && (k->style & WS_TABSTOP) && (k->style & WS_VISIBLE) && !(k->style & WS_DISABLED)) return kid;
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
    if (child && !FindWin(parent)) return nullptr;

    RECT r = DialogUnitsToPixels(d.x, d.y, d.cx, d.cy);
    if (!child) {
        // Pop-up dialogs are placed relative to their owner's client area.
        POINT origin{0, kNavBarHeight};
        if (FindWin(parent)) {
            origin = POINT{0, 0};
            ClientToScreen(parent, &origin);
        }
        r = RectOffset(r, origin.x, origin.y);
    }
    HFONT font = CreateDialogFont(d);
    DialogCreateParams params{proc, font};
    HWND dialog = CreateWindowEx(d.exStyle, kDialogClassName, d.caption.c_str(), d.style & ~WS_VISIBLE,
                                 r.left, r.top, r.right - r.left, r.bottom - r.top, parent, nullptr, instance,
                                 &params);
    if (!dialog) {
        if (font) DeleteObject(font);
        return nullptr;
    }
    if (font) {
        FindWin(dialog)->ownedFont = font;
        SendMessage(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    }
    CreateControls(dialog, d, instance, font);
    HWND focus = FirstTabStop(dialog);
    if (SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), init) && FindWin(focus)) {
        SetFocus(focus);
    }
    if (FindWin(dialog) && ((d.style & WS_VISIBLE) || modal)) ShowWindow(dialog, SW_SHOW);
    return FindWin(dialog) ? dialog : nullptr;
}

// The window to activate when a modal box of `owner` ends: another box of the same owner that
// is still open (a message box under the About box), else the owner itself.
HWND TopmostOwnedOrSelf(HWND owner)
{
    HWND target = owner;
    for (HWND other : TopLevelWindows()) {
        Window* o = FindWin(other);
        if (o && o->owner == owner && (o->style & WS_VISIBLE) && !o->dialogEnded) target = other;
    }
    return target;
}

}  // namespace

void DialogBaseUnits(int* bx, int* by)
{
    // The device's System 9-point font: 7 x 14 base units, whatever face the host draws it with.
    *bx = 7;
    *by = 14;
}

LONG GetDialogBaseUnits()
{
    int bx, by;
    DialogBaseUnits(&bx, &by);
    return MAKELONG(bx, by);
}

BOOL MapDialogRect(HWND dialog, RECT* rect)
{
    if (!FindWin(dialog) || !rect) return FALSE;
    int bx, by;
    DialogBaseUnits(&bx, &by);
    *rect = RECT{MulDivRound(rect->left, bx, 4), MulDivRound(rect->top, by, 8), MulDivRound(rect->right, bx, 4),
                 MulDivRound(rect->bottom, by, 8)};
    return TRUE;
}

HWND CreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc, LPARAM init)
{
    return CreateDialogFrom(instance, tmpl, parent, proc, init, false);
}

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND parent, DLGPROC proc, LPARAM init)
{
    HWND owner = parent;
    while (Window* w = FindWin(owner)) {
        if (!w->parent) break;
        owner = w->parent;
    }
    bool ownerWasEnabled = FindWin(owner) && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    HWND dialog = CreateDialogFrom(instance, tmpl, owner, proc, init, true);
    if (!dialog) {
        if (ownerWasEnabled) EnableWindow(owner, TRUE);
        return -1;
    }
    RunModalLoop(dialog);
    INT_PTR result = -1;
    if (Window* w = FindWin(dialog)) result = w->dialogResult;
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    DestroyWindow(dialog);
    if (FindWin(owner)) SetActiveWindow(TopmostOwnedOrSelf(owner));
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    Window* w = FindWin(dialog);
    if (!w || !w->isDialog) return FALSE;
    w->dialogResult = result;
    ShowWindow(dialog, SW_HIDE);
    EndModalLoop(dialog);
    return TRUE;
}

LRESULT CALLBACK DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = FindWin(hwnd);
    if (!w) return 0;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        auto* params = cs ? static_cast<DialogCreateParams*>(cs->lpCreateParams) : nullptr;
        w->isDialog = true;
        if (params) {
            w->dlgProc = params->proc;
            w->dlgUser = 0;
        }
    }
    DLGPROC proc = w->dlgProc;
    INT_PTR handled = proc ? proc(hwnd, msg, wParam, lParam) : FALSE;
    w = FindWin(hwnd);
    if (!w) return handled;
    if (msg == WM_INITDIALOG) return handled;
    if (handled) return w->dlgMsgResult;
    switch (msg) {
    case WM_CLOSE:
        SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    case WM_NCDESTROY:
        // The font made from the template goes with the dialog; its controls are gone by now.
        if (w->ownedFont) DeleteObject(w->ownedFont);
        w->ownedFont = nullptr;
        break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}
