// The predefined window classes: the dialog class and the controls.
#include "platform/window_internal.h"

void RegisterControlClasses()
{
    struct Predefined {
        const WCHAR* name;
        WNDPROC proc;
        int brush;
    };
    const Predefined classes[] = {
        {kDialogClassName, DefDlgProc, WHITE_BRUSH},
        {u"BUTTON", ButtonWndProc, -1},
        {u"EDIT", EditWndProc, WHITE_BRUSH},
        {u"STATIC", StaticWndProc, WHITE_BRUSH},
    };
    for (const Predefined& p : classes) {
        WNDCLASS wc{};
        wc.lpfnWndProc = p.proc;
        wc.lpszClassName = p.name;
        wc.hbrBackground = p.brush >= 0 ? static_cast<HBRUSH>(GetStockObject(p.brush)) : nullptr;
        RegisterClass(&wc);
    }
}
