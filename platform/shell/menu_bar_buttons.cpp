#include "platform/shell/menu_bar_buttons.h"
#include <algorithm>
#include "platform/shell/shell_draw.h"

namespace {

constexpr int kButtonPadding = 10;
constexpr int kMinButtonWidth = 36;
constexpr int kLabelCap = 100;

WideString LabelOf(HINSTANCE instance, const ShellMenuBarButton& b, const std::vector<ShellMenuItem>& menu)
{
    WCHAR text[kLabelCap];
    if (LoadString(instance, b.labelId, text, kLabelCap) > 0) return text;
    return b.menuIndex < menu.size() ? menu[b.menuIndex].text : WideString();
}

// Each as wide as its label and some room.
void LayOut(std::vector<ShellBarButton>& buttons)
{
    HDC hdc = GetDC(nullptr);
    {
        ShellFontScope font(hdc, false);
        int x = 0;
        for (ShellBarButton& b : buttons) {
            int width = std::max(kMinButtonWidth, ShellTextWidth(hdc, b.label.c_str()) + 2 * kButtonPadding);
            b.rect = RECT{x, 1, std::min(x + width, kScreenWidth), kMenuBarHeight};
            x = b.rect.right;
        }
    }
    ReleaseDC(nullptr, hdc);
}

}  // namespace

std::vector<ShellBarButton> MakeBarButtons(HINSTANCE instance, const ShellMenuBarResource& bar,
                                           const std::vector<ShellMenuItem>& menu)
{
    std::vector<ShellBarButton> buttons;
    for (const ShellMenuBarButton& b : bar.buttons) {
        ShellBarButton button;
        button.command = b.command;
        button.enabled = (b.state & TBSTATE_ENABLED) != 0;
        button.menuIndex = b.menuIndex;
        button.label = LabelOf(instance, b, menu);
        button.dropDown = (b.style & TBSTYLE_DROPDOWN) && b.menuIndex < menu.size() &&
                          (menu[b.menuIndex].flags & MF_POPUP);
        buttons.push_back(std::move(button));
    }
    LayOut(buttons);
    return buttons;
}

void PaintBarButtons(HDC hdc, const std::vector<ShellBarButton>& buttons, int pressed, POINT at, int width)
{
    FillShellRect(hdc, RECT{at.x, at.y, at.x + width, at.y + kMenuBarHeight}, kShellBarBack);
    FillShellRect(hdc, RECT{at.x, at.y, at.x + width, at.y + 1}, kShellBarLine);
    ShellFontScope font(hdc, false);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const ShellBarButton& b = buttons[i];
        RECT r{b.rect.left + at.x, b.rect.top + at.y, b.rect.right + at.x, b.rect.bottom + at.y};
        bool isPressed = static_cast<int>(i) == pressed;
        if (isPressed) FillShellRect(hdc, r, kShellHighlight);
        COLORREF color = isPressed ? kShellHighlightText : b.enabled ? kShellText : kShellGrayText;
        DrawShellText(hdc, b.label.c_str(), r, color, DT_CENTER | DT_VCENTER);
    }
}

int HitBarButton(const std::vector<ShellBarButton>& buttons, POINT p)
{
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const RECT& r = buttons[i].rect;
        if (buttons[i].enabled && p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
