// Decoding the method calls that reach the bridge: which object (from the path), which method
// of which interface, and its arguments, checked against the method's signature before any is
// read. Anything else is refused with the reason, never read.
#pragma once
#include <cstdint>
#include <string>
#include "platform/access/dbus_api.h"

enum class AtspiMethod : std::uint8_t {
    // org.a11y.atspi.Accessible
    GetChildAtIndex, GetChildren, GetIndexInParent, GetRelationSet, GetRole, GetRoleName,
    GetLocalizedRoleName, GetState, GetAttributes, GetApplication, GetInterfaces,
    // org.a11y.atspi.Application
    GetLocale, GetApplicationBusAddress,
    // org.a11y.atspi.Component
    Contains, GetAccessibleAtPoint, GetExtents, GetPosition, GetSize, GetLayer, GetMDIZOrder, GrabFocus,
    GetAlpha, ScrollTo, ScrollToPoint,
    // org.a11y.atspi.Action
    GetActionDescription, GetActionName, GetActionLocalizedName, GetKeyBinding, GetActions, DoAction,
    // org.a11y.atspi.Text
    GetText, GetCharacterAtOffset, GetTextAtOffset, GetTextBeforeOffset, GetTextAfterOffset, GetStringAtOffset,
    GetCharacterExtents, GetRangeExtents, GetOffsetAtPoint, GetNSelections, GetSelection, AddSelection,
    RemoveSelection, SetSelection, SetCaretOffset, GetTextAttributes, GetDefaultAttributes,
    GetDefaultAttributeSet, GetAttributeRun, GetAttributeValue,
    // org.freedesktop.DBus.Properties
    PropertyGet, PropertyGetAll, PropertySet,
};

// Which interface a method belongs to, as AccessInterface bits (0: every object has it).
unsigned AtspiMethodInterface(AtspiMethod method);

constexpr int kRequestInts = 4;
struct AtspiRequest {
    std::uint32_t object = 0;  // 0: the root
    AtspiMethod method = AtspiMethod::GetRole;
    std::int32_t ints[kRequestInts] = {};
    std::uint32_t uints[kRequestInts] = {};
    bool flag = false;
    std::string strings[2];   // Properties: interface, then property name
    bool hasIntValue = false; // Properties.Set: the variant held an int32
    std::int32_t intValue = 0;
};

enum class DecodeResult : std::uint8_t {
    Ok,
    NotACall,       // a reply, a signal or an error: nothing to answer
    UnknownObject,  // a path that is not one of ours
    UnknownMethod,  // an interface and member we do not have
    InvalidArgs,    // a signature other than the method's
};

DecodeResult DecodeAtspiCall(const DbusApi& dbus, DBusMessage* message, AtspiRequest* request);

// Object paths: 0 is the root, any other number /org/a11y/atspi/accessible/<n>.
std::string AtspiPath(std::uint32_t object);
// False for anything else: leading zeros, signs, numbers past 2^31 - 1, other prefixes.
bool ParseAtspiPath(const char* path, std::uint32_t* object);
