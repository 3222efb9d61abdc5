// The role table and the registered descriptions (see access_roles.h).
#include "platform/access/access_roles.h"
#include "platform/access/atspi_constants.h"
#include "platform/extras.h"

namespace {

enum Placement : std::uint8_t { ANY, CHILD, TOP };

struct RoleRule {
    const char16_t* className;
    DWORD styleMask;
    DWORD styleValue;
    Placement placement;
    std::uint32_t role;
};

// First matching row wins.
const RoleRule kRoleRules[] = {
    /* class              style mask                   style value                       where  role */
    {u"BUTTON",           BS_TYPEMASK,                 BS_OWNERDRAW,                     ANY,   atspi::ROLE_PUSH_BUTTON},
    {u"BUTTON",           BS_PUSHLIKE | BS_TYPEMASK,   BS_PUSHLIKE | BS_AUTORADIOBUTTON, ANY,   atspi::ROLE_TOGGLE_BUTTON},
    {u"BUTTON",           BS_PUSHLIKE | BS_TYPEMASK,   BS_PUSHLIKE | BS_RADIOBUTTON,     ANY,   atspi::ROLE_TOGGLE_BUTTON},
    {u"BUTTON",           BS_PUSHLIKE | BS_TYPEMASK,   BS_PUSHLIKE | BS_AUTOCHECKBOX,    ANY,   atspi::ROLE_TOGGLE_BUTTON},
    {u"BUTTON",           BS_PUSHLIKE | BS_TYPEMASK,   BS_PUSHLIKE | BS_CHECKBOX,        ANY,   atspi::ROLE_TOGGLE_BUTTON},
    {u"BUTTON",           BS_TYPEMASK,                 BS_AUTORADIOBUTTON,               ANY,   atspi::ROLE_RADIO_BUTTON},
    {u"BUTTON",           BS_TYPEMASK,                 BS_RADIOBUTTON,                   ANY,   atspi::ROLE_RADIO_BUTTON},
    {u"BUTTON",           BS_TYPEMASK,                 BS_AUTOCHECKBOX,                  ANY,   atspi::ROLE_CHECK_BOX},
    {u"BUTTON",           BS_TYPEMASK,                 BS_CHECKBOX,                      ANY,   atspi::ROLE_CHECK_BOX},
    {u"BUTTON",           0,                           0,                                ANY,   atspi::ROLE_PUSH_BUTTON},
    {u"STATIC",           0x1F,                        SS_ICON,                          ANY,   atspi::ROLE_ICON},
    {u"STATIC",           0,                           0,                                ANY,   atspi::ROLE_LABEL},
    {u"EDIT",             0,                           0,                                ANY,   atspi::ROLE_TEXT},
    {u"#32770",           0,                           0,                                CHILD, atspi::ROLE_PANEL},
    {u"#32770",           0,                           0,                                TOP,   atspi::ROLE_DIALOG},
    {u"ShellMessageBox",  0,                           0,                                ANY,   atspi::ROLE_DIALOG},
    {u"ShellMenuBar",     0,                           0,                                ANY,   atspi::ROLE_MENU_BAR},
    {nullptr,             0,                           0,                                CHILD, atspi::ROLE_PANEL},
    {nullptr,             0,                           0,                                TOP,   atspi::ROLE_FRAME},
};

}  // namespace

std::uint32_t AccessRoleFor(const std::u16string& className, DWORD style, bool child)
{
    for (const RoleRule& rule : kRoleRules) {
        if (rule.className && className != rule.className) continue;
        if ((style & rule.styleMask) != rule.styleValue) continue;
        if ((rule.placement == CHILD && !child) || (rule.placement == TOP && child)) continue;
        return rule.role;
    }
    return child ? atspi::ROLE_PANEL : atspi::ROLE_FRAME;
}

bool IsCheckableButton(DWORD style)
{
    DWORD type = style & BS_TYPEMASK;
    return type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON || type == BS_AUTOCHECKBOX || type == BS_CHECKBOX;
}
