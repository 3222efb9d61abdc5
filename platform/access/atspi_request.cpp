// The method table and the decoder (see atspi_request.h).
#include "platform/access/atspi_request.h"
#include <cstring>
#include "platform/access/access_tree.h"
#include "platform/access/atspi_constants.h"

namespace {

struct MethodRow {
    const char* interface;
    const char* member;
    const char* signature;  // of the arguments it takes
    AtspiMethod method;
    unsigned needs;         // AccessInterface bits, 0 for every object
};

const MethodRow kMethods[] = {
    /* interface            member                      args        method */
    {atspi::kAccessible,   "GetChildAtIndex",          "i",        AtspiMethod::GetChildAtIndex, 0},
    {atspi::kAccessible,   "GetChildren",              "",         AtspiMethod::GetChildren, 0},
    {atspi::kAccessible,   "GetIndexInParent",         "",         AtspiMethod::GetIndexInParent, 0},
    {atspi::kAccessible,   "GetRelationSet",           "",         AtspiMethod::GetRelationSet, 0},
    {atspi::kAccessible,   "GetRole",                  "",         AtspiMethod::GetRole, 0},
    {atspi::kAccessible,   "GetRoleName",              "",         AtspiMethod::GetRoleName, 0},
    {atspi::kAccessible,   "GetLocalizedRoleName",     "",         AtspiMethod::GetLocalizedRoleName, 0},
    {atspi::kAccessible,   "GetState",                 "",         AtspiMethod::GetState, 0},
    {atspi::kAccessible,   "GetAttributes",            "",         AtspiMethod::GetAttributes, 0},
    {atspi::kAccessible,   "GetApplication",           "",         AtspiMethod::GetApplication, 0},
    {atspi::kAccessible,   "GetInterfaces",            "",         AtspiMethod::GetInterfaces, 0},
    {atspi::kApplication,  "GetLocale",                "u",        AtspiMethod::GetLocale, ACCESS_APPLICATION},
    {atspi::kApplication,  "GetApplicationBusAddress", "",         AtspiMethod::GetApplicationBusAddress, ACCESS_APPLICATION},
    {atspi::kComponent,    "Contains",                 "iiu",      AtspiMethod::Contains, ACCESS_COMPONENT},
    {atspi::kComponent,    "GetAccessibleAtPoint",     "iiu",      AtspiMethod::GetAccessibleAtPoint, ACCESS_COMPONENT},
    {atspi::kComponent,    "GetExtents",               "u",        AtspiMethod::GetExtents, ACCESS_COMPONENT},
    {atspi::kComponent,    "GetPosition",              "u",        AtspiMethod::GetPosition, ACCESS_COMPONENT},
    {atspi::kComponent,    "GetSize",                  "",         AtspiMethod::GetSize, ACCESS_COMPONENT},
    {atspi::kComponent,    "GetLayer",                 "",         AtspiMethod::GetLayer, ACCESS_COMPONENT},
    {atspi::kComponent,    "GetMDIZOrder",             "",         AtspiMethod::GetMDIZOrder, ACCESS_COMPONENT},
    {atspi::kComponent,    "GrabFocus",                "",         AtspiMethod::GrabFocus, ACCESS_COMPONENT},
    {atspi::kComponent,    "GetAlpha",                 "",         AtspiMethod::GetAlpha, ACCESS_COMPONENT},
    {atspi::kComponent,    "ScrollTo",                 "u",        AtspiMethod::ScrollTo, ACCESS_COMPONENT},
    {atspi::kComponent,    "ScrollToPoint",            "uii",      AtspiMethod::ScrollToPoint, ACCESS_COMPONENT},
    {atspi::kAction,       "GetDescription",           "i",        AtspiMethod::GetActionDescription, ACCESS_ACTION},
    {atspi::kAction,       "GetName",                  "i",        AtspiMethod::GetActionName, ACCESS_ACTION},
    {atspi::kAction,       "GetLocalizedName",         "i",        AtspiMethod::GetActionLocalizedName, ACCESS_ACTION},
    {atspi::kAction,       "GetKeyBinding",            "i",        AtspiMethod::GetKeyBinding, ACCESS_ACTION},
    {atspi::kAction,       "GetActions",               "",         AtspiMethod::GetActions, ACCESS_ACTION},
    {atspi::kAction,       "DoAction",                 "i",        AtspiMethod::DoAction, ACCESS_ACTION},
    {atspi::kText,         "GetText",                  "ii",       AtspiMethod::GetText, ACCESS_TEXT},
    {atspi::kText,         "GetCharacterAtOffset",     "i",        AtspiMethod::GetCharacterAtOffset, ACCESS_TEXT},
    {atspi::kText,         "GetTextAtOffset",          "iu",       AtspiMethod::GetTextAtOffset, ACCESS_TEXT},
    {atspi::kText,         "GetTextBeforeOffset",      "iu",       AtspiMethod::GetTextBeforeOffset, ACCESS_TEXT},
    {atspi::kText,         "GetTextAfterOffset",       "iu",       AtspiMethod::GetTextAfterOffset, ACCESS_TEXT},
    {atspi::kText,         "GetStringAtOffset",        "iu",       AtspiMethod::GetStringAtOffset, ACCESS_TEXT},
    {atspi::kText,         "GetCharacterExtents",      "iu",       AtspiMethod::GetCharacterExtents, ACCESS_TEXT},
    {atspi::kText,         "GetRangeExtents",          "iiu",      AtspiMethod::GetRangeExtents, ACCESS_TEXT},
    {atspi::kText,         "GetOffsetAtPoint",         "iiu",      AtspiMethod::GetOffsetAtPoint, ACCESS_TEXT},
    {atspi::kText,         "GetNSelections",           "",         AtspiMethod::GetNSelections, ACCESS_TEXT},
    {atspi::kText,         "GetSelection",             "i",        AtspiMethod::GetSelection, ACCESS_TEXT},
    {atspi::kText,         "AddSelection",             "ii",       AtspiMethod::AddSelection, ACCESS_TEXT},
    {atspi::kText,         "RemoveSelection",          "i",        AtspiMethod::RemoveSelection, ACCESS_TEXT},
    {atspi::kText,         "SetSelection",             "iii",      AtspiMethod::SetSelection, ACCESS_TEXT},
    {atspi::kText,         "SetCaretOffset",           "i",        AtspiMethod::SetCaretOffset, ACCESS_TEXT},
    {atspi::kText,         "GetAttributes",            "i",        AtspiMethod::GetTextAttributes, ACCESS_TEXT},
    {atspi::kText,         "GetDefaultAttributes",     "",         AtspiMethod::GetDefaultAttributes, ACCESS_TEXT},
    {atspi::kText,         "GetDefaultAttributeSet",   "",         AtspiMethod::GetDefaultAttributeSet, ACCESS_TEXT},
    {atspi::kText,         "GetAttributeRun",          "ib",       AtspiMethod::GetAttributeRun, ACCESS_TEXT},
    {atspi::kText,         "GetAttributeValue",        "is",       AtspiMethod::GetAttributeValue, ACCESS_TEXT},
    {atspi::kProperties,   "Get",                      "ss",       AtspiMethod::PropertyGet, 0},
    {atspi::kProperties,   "GetAll",                   "s",        AtspiMethod::PropertyGetAll, 0},
    {atspi::kProperties,   "Set",                      "ssv",      AtspiMethod::PropertySet, 0},
};

bool Same(const char* a, const char* b)
{
    return a && b && std::strcmp(a, b) == 0;
}

// Reads the arguments the row's signature names; the message's signature equals it already.
void ReadArguments(const DbusApi& dbus, DBusMessage* message, const char* signature, AtspiRequest* request)
{
    DBusMessageIter iter;
    if (!dbus.dbus_message_iter_init(message, &iter)) return;
    int ints = 0, uints = 0, strings = 0;
    for (const char* s = signature; *s; ++s) {
        switch (*s) {
        case 'i': dbus.dbus_message_iter_get_basic(&iter, &request->ints[ints++]); break;
        case 'u': dbus.dbus_message_iter_get_basic(&iter, &request->uints[uints++]); break;
        case 'b': {
            dbus_bool_t value = FALSE;
            dbus.dbus_message_iter_get_basic(&iter, &value);
            request->flag = value != FALSE;
            break;
        }
        case 's': {
            const char* value = nullptr;
            dbus.dbus_message_iter_get_basic(&iter, &value);
            request->strings[strings++] = value ? value : "";
            break;
        }
        case 'v': {
            DBusMessageIter inner;
            dbus.dbus_message_iter_recurse(&iter, &inner);
            if (dbus.dbus_message_iter_get_arg_type(&inner) == DBUS_TYPE_INT32) {
                dbus.dbus_message_iter_get_basic(&inner, &request->intValue);
                request->hasIntValue = true;
            }
            break;
        }
        }
        dbus.dbus_message_iter_next(&iter);
    }
}

}  // namespace

unsigned AtspiMethodInterface(AtspiMethod method)
{
    for (const MethodRow& row : kMethods) {
        if (row.method == method) return row.needs;
    }
    return 0;
}

DecodeResult DecodeAtspiCall(const DbusApi& dbus, DBusMessage* message, AtspiRequest* request)
{
    *request = AtspiRequest{};
    if (!message || dbus.dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL) return DecodeResult::NotACall;
    if (!ParseAtspiPath(dbus.dbus_message_get_path(message), &request->object)) return DecodeResult::UnknownObject;
    const char* interface = dbus.dbus_message_get_interface(message);
    const char* member = dbus.dbus_message_get_member(message);
    const char* signature = dbus.dbus_message_get_signature(message);
    bool named = false;
    for (const MethodRow& row : kMethods) {
        // A call without an interface means any method of that name, as D-Bus allows.
        if (!Same(row.member, member) || (interface && !Same(row.interface, interface))) continue;
        named = true;
        if (!Same(row.signature, signature)) continue;
        request->method = row.method;
        ReadArguments(dbus, message, row.signature, request);
        return DecodeResult::Ok;
    }
    return named ? DecodeResult::InvalidArgs : DecodeResult::UnknownMethod;
}

std::string AtspiPath(std::uint32_t object)
{
    return object == 0 ? std::string(atspi::kRootPath) : atspi::kPathPrefix + std::to_string(object);
}

bool ParseAtspiPath(const char* path, std::uint32_t* object)
{
    if (!path) return false;
    if (Same(path, atspi::kRootPath)) {
        *object = 0;
        return true;
    }
    std::size_t prefix = std::strlen(atspi::kPathPrefix);
    if (std::strncmp(path, atspi::kPathPrefix, prefix) != 0) return false;
    const char* digits = path + prefix;
    if (digits[0] < '1' || digits[0] > '9') return false;
    std::uint64_t value = 0;
    for (const char* d = digits; *d; ++d) {
        if (*d < '0' || *d > '9') return false;
        value = value * 10 + std::uint64_t(*d - '0');
        if (value > 0x7FFFFFFF) return false;
    }
    *object = static_cast<std::uint32_t>(value);
    return true;
}
