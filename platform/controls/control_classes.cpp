// The predefined window classes: the dialog class and the controls, registered when the first
// dialog or message box is made, or when InitCommonControls asks.
#include "platform/controls/controls.h"

void EnsureControlClasses()
{
    static bool registered = false;
    if (registered) return;
    registered = true;
    struct Predefined {
        const WCHAR* name;
        WNDPROC proc;
        int brush;
        int extraBytes;  // the control's own state
    };
    const Predefined classes[] = {
        {WC_DIALOG, DefDlgProc, WHITE_BRUSH, kDialogExtraBytes},
        {u"BUTTON", ButtonWndProc, -1, sizeof(LONG_PTR)},
        {u"EDIT", EditWndProc, WHITE_BRUSH, sizeof(LONG_PTR)},
        {u"STATIC", StaticWndProc, WHITE_BRUSH, sizeof(LONG_PTR)},
    };
    for (const Predefined& p : classes) {
        WNDCLASS wc{};
        wc.lpfnWndProc = p.proc;
        wc.lpszClassName = p.name;
        wc.hbrBackground = p.brush >= 0 ? static_cast<HBRUSH>(GetStockObject(p.brush)) : nullptr;
        wc.cbWndExtra = p.extraBytes;
        RegisterClass(&wc);
    }
}

void InitCommonControls()
{
    EnsureControlClasses();
}
