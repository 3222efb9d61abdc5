// The accessibility tree, read from the window tree through the public API (see access_tree.h).
// Knowingly lacks: relations (a label naming its control), and tables, lists or other controls
// the layer does not have.
#include "platform/access/access_tree.h"
#include <algorithm>
#include "platform/access/access_roles.h"
#include "platform/access/atspi_constants.h"
#include "platform/access/painted_text.h"
#include "platform/extras.h"
#include "platform/kernel/resource_table.h"
#include "platform/shell/menu.h"
#include "platform/shell/navigation_bar.h"
#include "platform/shell/shell_windows.h"
#include "platform/user/rect.h"

namespace {

constexpr int kClassNameCap = 64;
constexpr int kTextCap = 4096;

std::u16string ClassOf(HWND hwnd)
{
    WCHAR name[kClassNameCap];
    int n = GetClassName(hwnd, name, kClassNameCap);
    return std::u16string(name, static_cast<std::size_t>(std::max(n, 0)));
}

std::u16string TextOf(HWND hwnd)
{
    int length = std::min(GetWindowTextLength(hwnd), kTextCap);
    if (length <= 0) return std::u16string();
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    int n = GetWindowText(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::clamp(n, 0, length)));
    return text;
}

DWORD StyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
}

bool IsChild(HWND hwnd)
{
    return (StyleOf(hwnd) & WS_CHILD) != 0;
}

bool IsMenuBar(HWND hwnd)
{
    return IsWindowOfClass(hwnd, u"ShellMenuBar");
}

// Enabled, and so is every window it sits in.
bool EnabledChain(HWND hwnd)
{
    for (HWND w = hwnd; w; w = IsChild(w) ? GetParent(w) : nullptr) {
        if (!IsWindowEnabled(w)) return false;
    }
    return true;
}

bool IsHiddenDisplay(HWND hwnd)
{
    return IsChild(hwnd) && !(StyleOf(hwnd) & WS_VISIBLE) && IsWindowOfClass(hwnd, u"EDIT") && DisplayRunOf(hwnd) >= 0;
}

// The program's top-level windows and message boxes, bottom to top; the layer's bars and menus
// are shown where they belong instead.
std::vector<HWND> ListedTopLevels()
{
    std::vector<HWND> all;
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    std::reverse(all.begin(), all.end());
    std::vector<HWND> listed;
    for (HWND hwnd : all) {
        if (!IsWindowVisible(hwnd)) continue;
        if (IsProgramWindow(hwnd) || IsWindowOfClass(hwnd, u"ShellMessageBox")) listed.push_back(hwnd);
    }
    return listed;
}

bool WindowIncluded(HWND hwnd)
{
    if (!IsWindow(hwnd)) return false;
    if (IsChild(hwnd)) {
        if (!(StyleOf(hwnd) & WS_VISIBLE) && !IsHiddenDisplay(hwnd)) return false;
        return WindowIncluded(GetParent(hwnd));
    }
    if (IsMenuBar(hwnd)) return ShellMenuBarOf(ShellMenuBarOwner(hwnd)) == hwnd && WindowIncluded(ShellMenuBarOwner(hwnd));
    std::vector<HWND> listed = ListedTopLevels();
    return std::find(listed.begin(), listed.end(), hwnd) != listed.end();
}

// Controls whose text is their own: what they paint (an owner-drawn key's caption) is that text.
bool IsControl(HWND hwnd)
{
    return IsWindowOfClass(hwnd, u"BUTTON") || IsWindowOfClass(hwnd, u"STATIC") || IsWindowOfClass(hwnd, u"EDIT");
}

// The runs hwnd paints that are not the display of one of its hidden edit controls.
std::vector<int> LabelRuns(HWND hwnd)
{
    if (IsControl(hwnd)) return {};
    std::vector<int> claimed;
    for (HWND kid = GetWindow(hwnd, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if (IsHiddenDisplay(kid)) claimed.push_back(DisplayRunOf(kid));
    }
    std::vector<int> labels;
    int count = static_cast<int>(PaintedRunsOf(hwnd).size());
    for (int i = 0; i < count; ++i) {
        if (std::find(claimed.begin(), claimed.end(), i) == claimed.end()) labels.push_back(i);
    }
    return labels;
}

RECT OnScreen(HWND hwnd, const RECT& client)
{
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    return RectOffset(client, origin.x, origin.y);
}

bool NavOkShown(HWND dialog, RECT* rect)
{
    RECT r;
    if (!IsWindow(dialog) || dialog != GetActiveWindow() || !NavigationBarOkRect(&r)) return false;
    if (rect) *rect = r;
    return true;
}

std::vector<ShellMenuEntry> MenuButtons(HWND bar)
{
    std::vector<ShellMenuEntry> buttons;
    ShellMenuBarEntries(bar, &buttons);
    return buttons;
}

std::vector<ShellMenuEntry> MenuItems(HWND bar, int button)
{
    std::vector<ShellMenuEntry> items;
    ShellMenuBarItems(bar, button, &items);
    return items;
}

POINT Centre(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::uint64_t Bit(atspi::State s)
{
    return atspi::StateBit(s);
}

bool IsButtonRole(std::uint32_t role)
{
    return role == atspi::ROLE_PUSH_BUTTON || role == atspi::ROLE_TOGGLE_BUTTON || role == atspi::ROLE_RADIO_BUTTON ||
           role == atspi::ROLE_CHECK_BOX;
}

std::uint64_t WindowStates(HWND hwnd, std::uint32_t role)
{
    std::uint64_t s = 0;
    DWORD style = StyleOf(hwnd);
    bool display = IsHiddenDisplay(hwnd);
    if ((style & WS_VISIBLE) || display) s |= Bit(atspi::STATE_VISIBLE);
    if (display ? IsWindowVisible(GetParent(hwnd)) : IsWindowVisible(hwnd)) s |= Bit(atspi::STATE_SHOWING);
    if (EnabledChain(hwnd)) s |= Bit(atspi::STATE_ENABLED) | Bit(atspi::STATE_SENSITIVE);
    if (IsButtonRole(role)) {
        s |= Bit(atspi::STATE_FOCUSABLE);
        LRESULT state = SendMessage(hwnd, BM_GETSTATE, 0, 0);
        if (state & BST_PUSHED) s |= Bit(atspi::STATE_PRESSED);
        if (IsCheckableButton(style)) {
            s |= Bit(atspi::STATE_CHECKABLE);
            if ((state & 3) == BST_CHECKED) s |= Bit(atspi::STATE_CHECKED);
        }
    }
    if (GetFocus() == hwnd) s |= Bit(atspi::STATE_FOCUSED);
    if (role == atspi::ROLE_TEXT) s |= Bit(atspi::STATE_READ_ONLY) | Bit(atspi::STATE_SINGLE_LINE);
    if (!IsChild(hwnd) && GetActiveWindow() == hwnd) s |= Bit(atspi::STATE_ACTIVE);
    HWND owner = IsChild(hwnd) ? nullptr : GetWindow(hwnd, GW_OWNER);
    if (role == atspi::ROLE_DIALOG && owner && !IsWindowEnabled(owner)) s |= Bit(atspi::STATE_MODAL);
    return s;
}

bool DescribeWindow(HWND hwnd, AccessNode* node)
{
    if (!IsWindow(hwnd)) return false;
    std::u16string className = ClassOf(hwnd);
    DWORD style = StyleOf(hwnd);
    bool child = IsChild(hwnd);
    node->role = AccessRoleFor(className, style, child);
    node->states = WindowStates(hwnd, node->role);
    node->interfaces = ACCESS_COMPONENT;
    GetWindowRect(hwnd, &node->extents);
    if (child) {
        LPCWSTR description =
            ControlDescription(reinterpret_cast<HINSTANCE>(GetWindowLongPtr(hwnd, GWL_HINSTANCE)), GetDlgCtrlID(hwnd));
        if (description) node->description = description;
    }
    if (node->role == atspi::ROLE_TEXT) {
        node->interfaces |= ACCESS_TEXT;
        int run = DisplayRunOf(hwnd);
        if (run >= 0 && !(style & WS_VISIBLE)) {
            const PaintedRun& painted = PaintedRunsOf(GetParent(hwnd))[static_cast<std::size_t>(run)];
            node->text = painted.text;
            node->extents = OnScreen(GetParent(hwnd), painted.bounds);
        } else {
            node->text = TextOf(hwnd);
        }
        return true;
    }
    node->name = TextOf(hwnd);
    if (node->role == atspi::ROLE_LABEL) {
        node->interfaces |= ACCESS_TEXT;
        node->text = node->name;
    }
    if (IsButtonRole(node->role)) node->interfaces |= ACCESS_ACTION;
    return true;
}

bool DescribePainted(HWND hwnd, int index, AccessNode* node)
{
    std::vector<int> labels = LabelRuns(hwnd);
    if (!IsWindow(hwnd) || std::find(labels.begin(), labels.end(), index) == labels.end()) return false;
    const PaintedRun& run = PaintedRunsOf(hwnd)[static_cast<std::size_t>(index)];
    node->role = atspi::ROLE_LABEL;
    node->name = run.text;
    node->text = run.text;
    node->interfaces = ACCESS_COMPONENT | ACCESS_TEXT;
    node->extents = OnScreen(hwnd, run.bounds);
    node->states = Bit(atspi::STATE_VISIBLE) | Bit(atspi::STATE_ENABLED) | Bit(atspi::STATE_SENSITIVE);
    if (IsWindowVisible(hwnd)) node->states |= Bit(atspi::STATE_SHOWING);
    return true;
}

// The bar takes the pen only while the window it serves does (no modal box is up).
bool MenuBarUsable(HWND bar)
{
    return IsWindowVisible(bar) && EnabledChain(ShellMenuBarOwner(bar));
}

bool DescribeMenuButton(HWND bar, int index, AccessNode* node)
{
    std::vector<ShellMenuEntry> buttons = MenuButtons(bar);
    if (index < 0 || index >= static_cast<int>(buttons.size())) return false;
    const ShellMenuEntry& b = buttons[static_cast<std::size_t>(index)];
    node->role = b.dropDown ? atspi::ROLE_MENU : atspi::ROLE_MENU_ITEM;
    node->name = b.text;
    node->interfaces = ACCESS_COMPONENT | ACCESS_ACTION;
    ShellMenuBarButtonRect(bar, index, &node->extents);
    node->states = Bit(atspi::STATE_VISIBLE) | Bit(atspi::STATE_SELECTABLE);
    if (IsWindowVisible(bar)) node->states |= Bit(atspi::STATE_SHOWING);
    if (b.enabled && MenuBarUsable(bar)) node->states |= Bit(atspi::STATE_ENABLED) | Bit(atspi::STATE_SENSITIVE);
    if (b.dropDown) node->states |= Bit(atspi::STATE_EXPANDABLE) | Bit(atspi::STATE_HAS_POPUP);
    if (b.dropDown && ShellMenuBarOpenButton(bar) == index) node->states |= Bit(atspi::STATE_EXPANDED);
    return true;
}

bool DescribeMenuItem(HWND bar, int button, int item, AccessNode* node)
{
    std::vector<ShellMenuEntry> items = MenuItems(bar, button);
    if (item < 0 || item >= static_cast<int>(items.size())) return false;
    const ShellMenuEntry& e = items[static_cast<std::size_t>(item)];
    node->role = e.separator ? atspi::ROLE_SEPARATOR : atspi::ROLE_MENU_ITEM;
    node->name = e.text;
    node->interfaces = e.separator ? unsigned(ACCESS_COMPONENT) : unsigned(ACCESS_COMPONENT | ACCESS_ACTION);
    node->states = Bit(atspi::STATE_VISIBLE);
    if (!e.separator) node->states |= Bit(atspi::STATE_SELECTABLE);
    if (e.enabled && MenuBarUsable(bar)) node->states |= Bit(atspi::STATE_ENABLED) | Bit(atspi::STATE_SENSITIVE);
    if (ShellMenuBarOpenButton(bar) == button) {
        node->states |= Bit(atspi::STATE_SHOWING);
        ShellMenuPopupItemRect(ShellMenuBarPopup(bar), item, &node->extents);
    }
    return true;
}

int IndexOf(const std::vector<AccessRef>& list, const AccessRef& ref)
{
    auto it = std::find(list.begin(), list.end(), ref);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

}  // namespace

int DisplayRunOf(HWND edit)
{
    if (!IsWindow(edit)) return -1;
    return RunShowing(GetParent(edit), TextOf(edit));
}

bool DescribeAccess(const AccessRef& ref, AccessNode* node)
{
    *node = AccessNode{};
    switch (ref.kind) {
    case AccessKind::Application:
        node->role = atspi::ROLE_APPLICATION;
        Utf8ToUtf16(ProgramName(), &node->name);
        node->interfaces = ACCESS_APPLICATION;
        return true;
    case AccessKind::Window: return DescribeWindow(ref.hwnd, node);
    case AccessKind::Painted: return DescribePainted(ref.hwnd, ref.index, node);
    case AccessKind::MenuButton: return DescribeMenuButton(ref.hwnd, ref.index, node);
    case AccessKind::MenuItem: return DescribeMenuItem(ref.hwnd, ref.index, ref.item, node);
    case AccessKind::NavOk:
        if (!NavOkShown(ref.hwnd, &node->extents)) return false;
        node->role = atspi::ROLE_PUSH_BUTTON;
        node->name = u"ok";
        node->interfaces = ACCESS_COMPONENT | ACCESS_ACTION;
        node->states = Bit(atspi::STATE_VISIBLE) | Bit(atspi::STATE_SHOWING) | Bit(atspi::STATE_ENABLED) |
                       Bit(atspi::STATE_SENSITIVE);
        return true;
    }
    return false;
}

std::vector<AccessRef> AccessChildren(const AccessRef& ref)
{
    std::vector<AccessRef> out;
    switch (ref.kind) {
    case AccessKind::Application:
        for (HWND hwnd : ListedTopLevels()) out.push_back(WindowRef(hwnd));
        break;
    case AccessKind::Window:
        if (!IsWindow(ref.hwnd)) break;
        if (IsMenuBar(ref.hwnd)) {
            int count = static_cast<int>(MenuButtons(ref.hwnd).size());
            for (int i = 0; i < count; ++i) out.push_back(AccessRef{AccessKind::MenuButton, ref.hwnd, i, 0});
            break;
        }
        for (int run : LabelRuns(ref.hwnd)) out.push_back(AccessRef{AccessKind::Painted, ref.hwnd, run, 0});
        for (HWND kid = GetWindow(ref.hwnd, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
            if ((StyleOf(kid) & WS_VISIBLE) || IsHiddenDisplay(kid)) out.push_back(WindowRef(kid));
        }
        if (!IsChild(ref.hwnd)) {
            if (HWND bar = ShellMenuBarOf(ref.hwnd)) out.push_back(WindowRef(bar));
            if (NavOkShown(ref.hwnd, nullptr)) out.push_back(AccessRef{AccessKind::NavOk, ref.hwnd, 0, 0});
        }
        break;
    case AccessKind::MenuButton: {
        int count = static_cast<int>(MenuItems(ref.hwnd, ref.index).size());
        for (int i = 0; i < count; ++i) out.push_back(AccessRef{AccessKind::MenuItem, ref.hwnd, ref.index, i});
        break;
    }
    case AccessKind::Painted:
    case AccessKind::MenuItem:
    case AccessKind::NavOk: break;
    }
    return out;
}

AccessRef AccessParent(const AccessRef& ref)
{
    switch (ref.kind) {
    case AccessKind::Application: return ref;
    case AccessKind::Window:
        if (IsChild(ref.hwnd)) return WindowRef(GetParent(ref.hwnd));
        if (IsMenuBar(ref.hwnd)) return WindowRef(ShellMenuBarOwner(ref.hwnd));
        return AccessRef{};
    case AccessKind::MenuItem: return AccessRef{AccessKind::MenuButton, ref.hwnd, ref.index, 0};
    case AccessKind::Painted:
    case AccessKind::MenuButton:
    case AccessKind::NavOk: return WindowRef(ref.hwnd);
    }
    return AccessRef{};
}

int AccessIndexInParent(const AccessRef& ref)
{
    if (ref.kind == AccessKind::Application) return -1;
    AccessRef parent = AccessParent(ref);
    std::vector<AccessRef> siblings = AccessChildren(parent);
    int index = IndexOf(siblings, ref);
    if (index >= 0 || ref.kind != AccessKind::Window || !IsChild(ref.hwnd)) return index;
    // Not listed (just hidden): where it would stand, after the runs and the siblings before it.
    index = static_cast<int>(LabelRuns(parent.hwnd).size());
    for (HWND kid = GetWindow(parent.hwnd, GW_CHILD); kid && kid != ref.hwnd; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if ((StyleOf(kid) & WS_VISIBLE) || IsHiddenDisplay(kid)) ++index;
    }
    return index;
}

bool AccessIncluded(const AccessRef& ref)
{
    AccessNode node;
    if (!DescribeAccess(ref, &node)) return false;
    switch (ref.kind) {
    case AccessKind::Application: return true;
    case AccessKind::Window: return WindowIncluded(ref.hwnd);
    default: return AccessIncluded(AccessParent(ref));
    }
}

bool AccessAtPoint(const AccessRef& ref, POINT screen, AccessRef* found)
{
    std::vector<AccessRef> children = AccessChildren(ref);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (AccessAtPoint(*it, screen, found)) return true;
    }
    AccessNode node;
    if (ref.kind == AccessKind::Application || !DescribeAccess(ref, &node)) return false;
    if (!(node.states & Bit(atspi::STATE_SHOWING)) || !RectContains(node.extents, screen)) return false;
    *found = ref;
    return true;
}

bool AccessActionPossible(const AccessRef& ref)
{
    AccessNode node;
    if (!DescribeAccess(ref, &node) || !(node.interfaces & ACCESS_ACTION)) return false;
    if (ref.kind == AccessKind::MenuItem) {
        AccessNode button;
        return (node.states & Bit(atspi::STATE_SENSITIVE)) && DescribeAccess(AccessParent(ref), &button) &&
               (button.states & Bit(atspi::STATE_SHOWING));
    }
    return (node.states & Bit(atspi::STATE_SHOWING)) && (node.states & Bit(atspi::STATE_SENSITIVE));
}

void PerformAccessAction(const AccessRef& ref)
{
    if (!AccessActionPossible(ref)) return;
    RECT r{};
    switch (ref.kind) {
    case AccessKind::Window: SendMessage(ref.hwnd, BM_CLICK, 0, 0); return;
    case AccessKind::MenuButton:
        if (ShellMenuBarButtonRect(ref.hwnd, ref.index, &r)) InjectTap(Centre(r));
        return;
    case AccessKind::MenuItem:
        // The pen opens the drop-down first, then taps the item, as a user would.
        if (ShellMenuBarOpenButton(ref.hwnd) != ref.index && ShellMenuBarButtonRect(ref.hwnd, ref.index, &r)) {
            InjectTap(Centre(r));
        }
        if (ShellMenuPopupItemRect(ShellMenuBarPopup(ref.hwnd), ref.item, &r)) InjectTap(Centre(r));
        return;
    case AccessKind::NavOk:
        if (NavOkShown(ref.hwnd, &r)) InjectTap(Centre(r));
        return;
    case AccessKind::Application:
    case AccessKind::Painted: return;
    }
}

bool GrabAccessFocus(const AccessRef& ref)
{
    AccessNode node;
    if (ref.kind != AccessKind::Window || !DescribeAccess(ref, &node)) return false;
    if (!(node.states & Bit(atspi::STATE_FOCUSABLE)) || !(node.states & Bit(atspi::STATE_SHOWING))) return false;
    SetFocus(ref.hwnd);
    return GetFocus() == ref.hwnd;
}
