// The menu bar's buttons, as the bar has them in both builds: made from the bar resource and its
// menu, side by side from the left, painted in the shell's colours and hit by the pen.
#pragma once
#include <vector>
#include "platform/extras.h"
#include "platform/shell/menu.h"

struct ShellBarButton {
    UINT command = 0;
    bool enabled = true;
    bool dropDown = false;  // opens item `menuIndex` of the bar's menu
    UINT menuIndex = 0;
    WideString label;
    RECT rect{};  // in the bar
};

// The buttons of `bar` over its `menu`, laid out; a label is `instance`'s string, else the menu
// item's text.
std::vector<ShellBarButton> MakeBarButtons(HINSTANCE instance, const ShellMenuBarResource& bar,
                                           const std::vector<ShellMenuItem>& menu);
// The bar, `width` wide, with its top-left corner at `at`; button `pressed` (or none: -1) drawn
// pressed.
void PaintBarButtons(HDC hdc, const std::vector<ShellBarButton>& buttons, int pressed, POINT at, int width);
// The enabled button under `p` (bar coordinates), or -1.
int HitBarButton(const std::vector<ShellBarButton>& buttons, POINT p);
