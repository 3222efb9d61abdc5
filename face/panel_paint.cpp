// Paints the face: background, rule, display panel and the panel's texts, from the panel model.
// Fixed pixel geometry for the device's 240-pixel-wide screen; nothing is kept between paints.
#include "face/display_panel.h"
#include "face/face.h"
#include "face/text_fit.h"

namespace {

// The panel; also the clip of every text drawn in it.
constexpr RECT kPanelRect = {10, 5, 230, 55};
// Numbers stand this far inside the panel's right edge.
constexpr int kRightInset = 5;
constexpr int kRuleTop = 90;
constexpr int kRuleBottom = 91;
// Labels at a third and a sixth of the panel's width from its left edge.
constexpr int kBaseLabelX = 10 + (230 - 10) / 3;
constexpr int kAngleLabelX = 10 + (230 - 10) / 6;
// The least space between the base label and the memory line.
constexpr int kLabelGap = 4;

constexpr COLORREF kRuleColor = RGB(0, 102, 204);
constexpr COLORREF kPanelBorderColor = RGB(153, 153, 51);
constexpr COLORREF kPanelFillColor = RGB(234, 234, 234);
constexpr COLORREF kSeparatorColor = RGB(153, 153, 153);
constexpr COLORREF kTextColor = RGB(0, 0, 0);

// A font selected for drawing, with what it replaced so it can be put back.
struct TextFont {
    HFONT hfont;
    HGDIOBJ oldFont;
    COLORREF oldColor;
};

TextFont BeginTextFont(HDC hdc, LONG height, LONG width, LONG weight)
{
    LOGFONT lf = {};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    TextFont font = {};
    font.hfont = CreateFontIndirect(&lf);
    font.oldFont = SelectObject(hdc, font.hfont);
    font.oldColor = SetTextColor(hdc, kTextColor);
    return font;
}

void EndTextFont(HDC hdc, const TextFont& font)
{
    SelectObject(hdc, font.oldFont);
    SetTextColor(hdc, font.oldColor);
    DeleteObject(font.hfont);
}

void DrawFilledRect(HDC hdc, const RECT& rc, int penWidth, COLORREF penColor, COLORREF fill)
{
    HPEN hpen = CreatePen(PS_SOLID, penWidth, penColor);
    HBRUSH hbr = CreateSolidBrush(fill);
    HGDIOBJ oldPen = SelectObject(hdc, hpen);
    HGDIOBJ oldBrush = SelectObject(hdc, hbr);
    Rectangle(hdc, rc.left, rc.top, rc.right, rc.bottom);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(hpen);
    DeleteObject(hbr);
}

// Outline only: the rule and the separator are too thin to have an interior.
void DrawOutlineRect(HDC hdc, const RECT& rc, int penWidth, COLORREF penColor)
{
    HPEN hpen = CreatePen(PS_SOLID, penWidth, penColor);
    HGDIOBJ oldPen = SelectObject(hdc, hpen);
    Rectangle(hdc, rc.left, rc.top, rc.right, rc.bottom);
    SelectObject(hdc, oldPen);
    DeleteObject(hpen);
}

SIZE MeasureText(HDC hdc, WideStringView text)
{
    SIZE size = {};
    GetTextExtentPoint32(hdc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

void DrawPanelText(HDC hdc, int x, int y, WideStringView text)
{
    ExtTextOut(hdc, x, y, ETO_CLIPPED, &kPanelRect, text.data(), static_cast<UINT>(text.size()),
               nullptr);
}

// Right-aligned inside the panel; a text wider than the panel loses its left part to the clip.
void DrawNumber(HDC hdc, int dpi, const PanelModel& model)
{
    TextFont font = BeginTextFont(hdc, -20 * dpi / 72, model.widthFactor * dpi / 72,
                                   FW_EXTRABOLD);
    SIZE size = MeasureText(hdc, model.number);
    DrawPanelText(hdc, kPanelRect.right - size.cx - kRightInset, kPanelRect.top, model.number);
    EndTextFont(hdc, font);
}

// Where the labels' line ends: its height (from the display text in the label font) and the
// base label's right edge, the last thing on the line before the memory line.
struct LabelLine {
    int height;
    int baseLabelRight;
};

LabelLine DrawLabels(HDC hdc, int dpi, const PanelModel& model, WideStringView displayText)
{
    TextFont font = BeginTextFont(hdc, -7 * dpi / 72, 0, FW_BOLD);
    LabelLine line = {};
    line.height = MeasureText(hdc, displayText).cy;
    line.baseLabelRight = kBaseLabelX + MeasureText(hdc, model.baseLabel).cx;
    int y = kPanelRect.bottom - line.height;
    DrawPanelText(hdc, kBaseLabelX, y, model.baseLabel);
    if (model.angleLabel != nullptr) DrawPanelText(hdc, kAngleLabelX, y, model.angleLabel);
    EndTextFont(hdc, font);
    return line;
}

// Right-aligned like the number, but never over the base label: a line too long for the room
// right of it (a 32-digit BIN memory) is drawn condensed, and clipped to the room all the same.
// Returns the line's height, or 0 when there is no memory line.
int DrawMemoryLine(HDC hdc, int dpi, const PanelModel& model, int labelRight)
{
    if (!model.hasMemoryLine) return 0;
    RECT room = {labelRight + kLabelGap, kPanelRect.top, kPanelRect.right - kRightInset, kPanelRect.bottom};
    LOGFONT lf = {};
    lf.lfHeight = -8 * dpi / 72;
    lf.lfWeight = FW_BOLD;
    lf = CondensedToFit(hdc, lf, model.memoryLine, room.right - room.left, TextAdvanceWidth);
    TextFont font = BeginTextFont(hdc, lf.lfHeight, lf.lfWidth, lf.lfWeight);
    SIZE size = MeasureText(hdc, model.memoryLine);
    ExtTextOut(hdc, room.right - size.cx, kPanelRect.bottom - size.cy, ETO_CLIPPED, &room,
               model.memoryLine.data(), static_cast<UINT>(model.memoryLine.size()), nullptr);
    EndTextFont(hdc, font);
    return size.cy;
}

// The pixel row just above the bottom text line.
RECT SeparatorRect(int bottomLineHeight)
{
    int top = kPanelRect.bottom - bottomLineHeight - 1;
    return {kPanelRect.left, top, kPanelRect.right, top + 1};
}

}  // namespace

BOOL OnCalcPaint(HWND hDlg)
{
    PAINTSTRUCT ps = {};
    HDC hdc = BeginPaint(hDlg, &ps);
    SetBkMode(hdc, OPAQUE);
    RECT rcClient = {};
    GetClientRect(hDlg, &rcClient);

    DrawFilledRect(hdc, rcClient, 2, g_faceColor, g_faceColor);
    DrawOutlineRect(hdc, {rcClient.left, kRuleTop, rcClient.right, kRuleBottom}, 2, kRuleColor);
    DrawFilledRect(hdc, kPanelRect, 3, kPanelBorderColor, kPanelFillColor);

    int oldBkMode = SetBkMode(hdc, TRANSPARENT);
    int dpi = GetDeviceCaps(hdc, LOGPIXELSY);
    PanelModel model = ComputePanelModel(g_calc);
    DrawNumber(hdc, dpi, model);
    LabelLine labels = DrawLabels(hdc, dpi, model, PanelDisplayText(g_calc));
    int memoryHeight = DrawMemoryLine(hdc, dpi, model, labels.baseLabelRight);
    int bottomLineHeight = model.hasMemoryLine ? memoryHeight : labels.height;
    DrawOutlineRect(hdc, SeparatorRect(bottomLineHeight), 1, kSeparatorColor);

    SetBkMode(hdc, oldBkMode);
    EndPaint(hDlg, &ps);
    return TRUE;
}
