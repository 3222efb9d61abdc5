// Answers to the AT-SPI2 methods and properties (see atspi_answers.h). Text offsets count code
// points, as the protocol does; every text is sent as valid UTF-8 without NULs.
#include "platform/access/atspi_answers.h"
#include <algorithm>
#include "platform/access/atspi_constants.h"
#include "platform/access/atspi_request.h"
#include "platform/extras.h"
#include "platform/kernel/text_utf16.h"
#include "platform/user/rect.h"

namespace {

constexpr std::size_t kObjectCap = 1 << 16;  // a client walking a runaway tree stops here

const char* kErrorUnknownObject = "org.freedesktop.DBus.Error.UnknownObject";
const char* kErrorUnknownMethod = "org.freedesktop.DBus.Error.UnknownMethod";
const char* kErrorInvalidArgs = "org.freedesktop.DBus.Error.InvalidArgs";
const char* kErrorUnknownProperty = "org.freedesktop.DBus.Error.UnknownProperty";

std::string Utf8(const std::u16string& text)
{
    std::string out = Utf16ToUtf8(text.data(), text.size());
    out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
    return out;
}

// Appends to one message; each call is a complete value.
struct Writer {
    const DbusApi& dbus;
    DBusMessageIter* iter;

    void String(const std::string& s)
    {
        const char* p = s.c_str();
        dbus.dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &p);
    }
    void Path(const std::string& s)
    {
        const char* p = s.c_str();
        dbus.dbus_message_iter_append_basic(iter, DBUS_TYPE_OBJECT_PATH, &p);
    }
    void Int(std::int32_t v) { dbus.dbus_message_iter_append_basic(iter, DBUS_TYPE_INT32, &v); }
    void Uint(std::uint32_t v) { dbus.dbus_message_iter_append_basic(iter, DBUS_TYPE_UINT32, &v); }
    void Short(std::int16_t v) { dbus.dbus_message_iter_append_basic(iter, DBUS_TYPE_INT16, &v); }
    void Bool(bool v)
    {
        dbus_bool_t b = v ? TRUE : FALSE;
        dbus.dbus_message_iter_append_basic(iter, DBUS_TYPE_BOOLEAN, &b);
    }
    void Double(double v) { dbus.dbus_message_iter_append_basic(iter, DBUS_TYPE_DOUBLE, &v); }

    template <class F> void Container(int type, const char* signature, F fill)
    {
        DBusMessageIter inner;
        dbus.dbus_message_iter_open_container(iter, type, signature, &inner);
        Writer w{dbus, &inner};
        fill(w);
        dbus.dbus_message_iter_close_container(iter, &inner);
    }
    void Ref(const std::string& name, const std::string& path)
    {
        Container(DBUS_TYPE_STRUCT, nullptr, [&](Writer& w) {
            w.String(name);
            w.Path(path);
        });
    }
    void EmptyDict()
    {
        Container(DBUS_TYPE_ARRAY, "{ss}", [](Writer&) {});
    }
};

struct Call {
    AtspiContext& ctx;
    const AtspiRequest& req;
    AccessRef ref;
    AccessNode node;

    std::string PathOf(const AccessRef& r)
    {
        if (r.kind == AccessKind::Application) return AtspiPath(0);
        return AtspiPath(ctx.objects->IdOf(r));
    }
    void RefOf(Writer& w, const AccessRef& r) { w.Ref(ctx.busName, PathOf(r)); }
    void NullRef(Writer& w) { w.Ref("", atspi::kNullPath); }
    void ParentRef(Writer& w)
    {
        if (ref.kind == AccessKind::Application) {
            if (ctx.desktopName.empty()) NullRef(w);
            else w.Ref(ctx.desktopName, ctx.desktopPath);
            return;
        }
        RefOf(w, AccessParent(ref));
    }
    std::vector<AccessRef> Children()
    {
        std::vector<AccessRef> children = AccessChildren(ref);
        if (ctx.childrenGiven) ctx.childrenGiven(req.object, children);
        return children;
    }
};

const char* RoleName(std::uint32_t role)
{
    switch (role) {
    case atspi::ROLE_APPLICATION: return "application";
    case atspi::ROLE_FRAME: return "frame";
    case atspi::ROLE_DIALOG: return "dialog";
    case atspi::ROLE_PANEL: return "panel";
    case atspi::ROLE_PUSH_BUTTON: return "push button";
    case atspi::ROLE_TOGGLE_BUTTON: return "toggle button";
    case atspi::ROLE_RADIO_BUTTON: return "radio button";
    case atspi::ROLE_CHECK_BOX: return "check box";
    case atspi::ROLE_LABEL: return "label";
    case atspi::ROLE_TEXT: return "text";
    case atspi::ROLE_ICON: return "icon";
    case atspi::ROLE_MENU_BAR: return "menu bar";
    case atspi::ROLE_MENU: return "menu";
    case atspi::ROLE_MENU_ITEM: return "menu item";
    case atspi::ROLE_SEPARATOR: return "separator";
    }
    return "unknown";
}

RECT ParentExtents(const AccessRef& ref)
{
    AccessNode parent;
    if (ref.kind == AccessKind::Application || !DescribeAccess(AccessParent(ref), &parent)) return RECT{};
    return parent.extents;
}

std::uint32_t LayerOf(const AccessRef& ref, const AccessNode& node)
{
    if (node.role == atspi::ROLE_MENU_ITEM || node.role == atspi::ROLE_MENU) return atspi::LAYER_POPUP;
    if (ref.kind == AccessKind::Window && !(GetWindowLong(ref.hwnd, GWL_STYLE) & WS_CHILD)) return atspi::LAYER_WINDOW;
    return atspi::LAYER_WIDGET;
}

// The device point of AT-SPI coordinates (x, y) of `coordType`.
POINT DevicePoint(std::int32_t x, std::int32_t y, std::uint32_t coordType, const RECT& parent)
{
    int scale = std::max(ScreenScale(), 1);
    long long px = x, py = y;
    if (coordType == atspi::COORD_PARENT) {
        px += (long long)parent.left * scale;
        py += (long long)parent.top * scale;
    }
    auto device = [scale](long long v) { return LONG(std::clamp<long long>(v / scale, -0x7FFFFFFF, 0x7FFFFFFF)); };
    return POINT{device(px), device(py)};
}

// ---- Text -----------------------------------------------------------------------------------

struct TextView {
    std::u32string chars;

    explicit TextView(const std::u16string& text) : chars(DecodeUtf16(text.data(), text.size())) {}
    std::int32_t Count() const { return static_cast<std::int32_t>(chars.size()); }
    std::int32_t Clamp(std::int32_t offset) const { return std::clamp(offset, 0, Count()); }
    std::string Slice(std::int32_t start, std::int32_t end) const
    {
        if (end < 0 || end > Count()) end = Count();
        start = Clamp(start);
        if (end <= start) return std::string();
        std::u16string units;
        for (std::int32_t i = start; i < end; ++i) {
            char32_t c = chars[static_cast<std::size_t>(i)];
            if (c >= 0x10000) {
                units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
                units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                units += static_cast<char16_t>(c);
            }
        }
        return Utf8(units);
    }
    // One character for the character boundary, the whole (one-line) text for every other.
    void Unit(std::int32_t offset, bool character, std::int32_t* start, std::int32_t* end) const
    {
        if (!character) {
            *start = 0;
            *end = Count();
            return;
        }
        *start = Clamp(offset);
        *end = std::min(*start + 1, Count());
    }
    // Characters spread evenly over the text's rectangle: the text is one line in one font.
    RECT CharBox(const RECT& whole, std::int32_t start, std::int32_t end) const
    {
        int n = std::max(Count(), 1);
        long long width = whole.right - whole.left;
        RECT r = whole;
        r.left = LONG(whole.left + width * Clamp(start) / n);
        r.right = LONG(whole.left + width * std::max(Clamp(end), Clamp(start)) / n);
        return r;
    }
};

void WriteTextUnit(Writer& w, const TextView& text, std::int32_t start, std::int32_t end)
{
    w.String(text.Slice(start, end));
    w.Int(start);
    w.Int(end);
}

void WriteBox(Writer& w, const RECT& r)
{
    w.Int(r.left);
    w.Int(r.top);
    w.Int(r.right - r.left);
    w.Int(r.bottom - r.top);
}

void AnswerText(Call& c, Writer& w)
{
    TextView text(c.node.text);
    const AtspiRequest& q = c.req;
    std::int32_t start = 0, end = 0;
    bool character = q.uints[0] == atspi::BOUNDARY_CHAR;
    switch (q.method) {
    case AtspiMethod::GetText: w.String(text.Slice(q.ints[0], q.ints[1])); return;
    case AtspiMethod::GetCharacterAtOffset:
        w.Int(q.ints[0] >= 0 && q.ints[0] < text.Count() ? std::int32_t(text.chars[std::size_t(q.ints[0])]) : 0);
        return;
    case AtspiMethod::GetTextAtOffset:
    case AtspiMethod::GetStringAtOffset:
        text.Unit(q.ints[0], character, &start, &end);
        WriteTextUnit(w, text, start, end);
        return;
    case AtspiMethod::GetTextBeforeOffset:
        if (character && q.ints[0] > 0) text.Unit(q.ints[0] - 1, true, &start, &end);
        WriteTextUnit(w, text, start, end);
        return;
    case AtspiMethod::GetTextAfterOffset:
        if (character && q.ints[0] + 1 < text.Count()) text.Unit(q.ints[0] + 1, true, &start, &end);
        WriteTextUnit(w, text, start, end);
        return;
    case AtspiMethod::GetCharacterExtents:
        WriteBox(w, AtspiCoordinates(text.CharBox(c.node.extents, q.ints[0], q.ints[0] + 1), q.uints[0],
                                     ParentExtents(c.ref)));
        return;
    case AtspiMethod::GetRangeExtents:
        WriteBox(w, AtspiCoordinates(text.CharBox(c.node.extents, q.ints[0], q.ints[1]), q.uints[0],
                                     ParentExtents(c.ref)));
        return;
    case AtspiMethod::GetOffsetAtPoint: {
        POINT p = DevicePoint(q.ints[0], q.ints[1], q.uints[0], ParentExtents(c.ref));
        std::int32_t offset = -1;
        for (std::int32_t i = 0; i < text.Count() && offset < 0; ++i) {
            if (RectContains(text.CharBox(c.node.extents, i, i + 1), p)) offset = i;
        }
        w.Int(offset);
        return;
    }
    case AtspiMethod::GetNSelections: w.Int(0); return;
    case AtspiMethod::GetSelection:
        w.Int(0);
        w.Int(0);
        return;
    case AtspiMethod::AddSelection:
    case AtspiMethod::RemoveSelection:
    case AtspiMethod::SetSelection:
    case AtspiMethod::SetCaretOffset: w.Bool(false); return;  // read-only text, nothing to select
    case AtspiMethod::GetTextAttributes:
    case AtspiMethod::GetAttributeRun:
        w.EmptyDict();
        w.Int(0);
        w.Int(text.Count());
        return;
    case AtspiMethod::GetDefaultAttributes:
    case AtspiMethod::GetDefaultAttributeSet: w.EmptyDict(); return;
    case AtspiMethod::GetAttributeValue:
        w.String("");
        w.Int(0);
        w.Int(text.Count());
        w.Bool(false);
        return;
    default: return;
    }
}

// ---- Properties -----------------------------------------------------------------------------

// Writes the property as a variant; false when the object has no such property.
bool WriteProperty(Call& c, Writer& w, const std::string& interface, const std::string& name)
{
    auto variant = [&](const char* signature, auto fill) {
        w.Container(DBUS_TYPE_VARIANT, signature, fill);
        return true;
    };
    const AccessNode& n = c.node;
    if (interface == atspi::kAccessible) {
        if (name == "Name") return variant("s", [&](Writer& v) { v.String(Utf8(n.name)); });
        if (name == "Description") return variant("s", [&](Writer& v) { v.String(Utf8(n.description)); });
        if (name == "Parent") return variant("(so)", [&](Writer& v) { c.ParentRef(v); });
        if (name == "ChildCount") {
            std::int32_t count = static_cast<std::int32_t>(c.Children().size());
            return variant("i", [&](Writer& v) { v.Int(count); });
        }
        if (name == "Locale") return variant("s", [&](Writer& v) { v.String("ja_JP"); });
        if (name == "AccessibleId") return variant("s", [&](Writer& v) { v.String(""); });
        if (name == "HelpText") return variant("s", [&](Writer& v) { v.String(""); });
        return false;
    }
    if (interface == atspi::kApplication && (n.interfaces & ACCESS_APPLICATION)) {
        if (name == "ToolkitName") return variant("s", [&](Writer& v) { v.String(std::string(ProgramName()) + "-win32"); });
        if (name == "Version") return variant("s", [&](Writer& v) { v.String("1"); });
        if (name == "AtspiVersion") return variant("s", [&](Writer& v) { v.String("2.1"); });
        if (name == "Id") return variant("i", [&](Writer& v) { v.Int(c.ctx.applicationId); });
        return false;
    }
    if (interface == atspi::kAction && (n.interfaces & ACCESS_ACTION)) {
        if (name == "NActions") return variant("i", [&](Writer& v) { v.Int(1); });
        return false;
    }
    if (interface == atspi::kText && (n.interfaces & ACCESS_TEXT)) {
        if (name == "CharacterCount") {
            std::int32_t count = TextView(n.text).Count();
            return variant("i", [&](Writer& v) { v.Int(count); });
        }
        if (name == "CaretOffset") return variant("i", [&](Writer& v) { v.Int(0); });
        return false;
    }
    return false;
}

const char* const kPropertyNames[][2] = {
    {atspi::kAccessible, "Name"},          {atspi::kAccessible, "Description"},   {atspi::kAccessible, "Parent"},
    {atspi::kAccessible, "ChildCount"},    {atspi::kAccessible, "Locale"},        {atspi::kAccessible, "AccessibleId"},
    {atspi::kApplication, "ToolkitName"},  {atspi::kApplication, "Version"},      {atspi::kApplication, "AtspiVersion"},
    {atspi::kApplication, "Id"},           {atspi::kAction, "NActions"},          {atspi::kText, "CharacterCount"},
    {atspi::kText, "CaretOffset"},
};

// ---- Methods --------------------------------------------------------------------------------

void AnswerAccessible(Call& c, Writer& w)
{
    switch (c.req.method) {
    case AtspiMethod::GetChildren: {
        std::vector<AccessRef> children = c.Children();
        w.Container(DBUS_TYPE_ARRAY, "(so)", [&](Writer& a) {
            for (const AccessRef& child : children) c.RefOf(a, child);
        });
        return;
    }
    case AtspiMethod::GetIndexInParent: w.Int(AccessIndexInParent(c.ref)); return;
    case AtspiMethod::GetRelationSet: w.Container(DBUS_TYPE_ARRAY, "(ua(so))", [](Writer&) {}); return;
    case AtspiMethod::GetRole: w.Uint(c.node.role); return;
    case AtspiMethod::GetRoleName:
    case AtspiMethod::GetLocalizedRoleName: w.String(RoleName(c.node.role)); return;
    case AtspiMethod::GetState:
        w.Container(DBUS_TYPE_ARRAY, "u", [&](Writer& a) {
            a.Uint(static_cast<std::uint32_t>(c.node.states));
            a.Uint(static_cast<std::uint32_t>(c.node.states >> 32));
        });
        return;
    case AtspiMethod::GetAttributes: w.EmptyDict(); return;
    case AtspiMethod::GetApplication: c.RefOf(w, AccessRef{}); return;
    case AtspiMethod::GetInterfaces:
        w.Container(DBUS_TYPE_ARRAY, "s", [&](Writer& a) {
            a.String(atspi::kAccessible);
            if (c.node.interfaces & ACCESS_APPLICATION) a.String(atspi::kApplication);
            if (c.node.interfaces & ACCESS_COMPONENT) a.String(atspi::kComponent);
            if (c.node.interfaces & ACCESS_ACTION) a.String(atspi::kAction);
            if (c.node.interfaces & ACCESS_TEXT) a.String(atspi::kText);
        });
        return;
    case AtspiMethod::GetLocale: w.String("ja_JP"); return;
    case AtspiMethod::GetApplicationBusAddress: w.String(""); return;
    default: return;
    }
}

void AnswerComponent(Call& c, Writer& w)
{
    const AtspiRequest& q = c.req;
    RECT parent = ParentExtents(c.ref);
    RECT box = AtspiCoordinates(c.node.extents, q.uints[0], parent);
    switch (q.method) {
    case AtspiMethod::Contains:
        w.Bool(RectContains(c.node.extents, DevicePoint(q.ints[0], q.ints[1], q.uints[0], parent)));
        return;
    case AtspiMethod::GetAccessibleAtPoint: {
        AccessRef found;
        if (AccessAtPoint(c.ref, DevicePoint(q.ints[0], q.ints[1], q.uints[0], parent), &found)) c.RefOf(w, found);
        else c.NullRef(w);
        return;
    }
    case AtspiMethod::GetExtents:
        w.Container(DBUS_TYPE_STRUCT, nullptr, [&](Writer& s) { WriteBox(s, box); });
        return;
    case AtspiMethod::GetPosition:
        w.Int(box.left);
        w.Int(box.top);
        return;
    case AtspiMethod::GetSize:
        w.Int(box.right - box.left);
        w.Int(box.bottom - box.top);
        return;
    case AtspiMethod::GetLayer: w.Uint(LayerOf(c.ref, c.node)); return;
    case AtspiMethod::GetMDIZOrder: w.Short(0); return;
    case AtspiMethod::GrabFocus: w.Bool(GrabAccessFocus(c.ref)); return;
    case AtspiMethod::GetAlpha: w.Double(1.0); return;
    case AtspiMethod::ScrollTo:
    case AtspiMethod::ScrollToPoint: w.Bool(false); return;  // nothing scrolls
    default: return;
    }
}

void AnswerAction(Call& c, Writer& w)
{
    bool first = c.req.ints[0] == 0;
    switch (c.req.method) {
    case AtspiMethod::GetActionName:
    case AtspiMethod::GetActionLocalizedName: w.String(first ? "click" : ""); return;
    case AtspiMethod::GetActionDescription: w.String(first ? Utf8(c.node.description) : ""); return;
    case AtspiMethod::GetKeyBinding: w.String(""); return;
    case AtspiMethod::GetActions:
        w.Container(DBUS_TYPE_ARRAY, "(sss)", [&](Writer& a) {
            a.Container(DBUS_TYPE_STRUCT, nullptr, [&](Writer& s) {
                s.String("click");
                s.String(Utf8(c.node.description));
                s.String("");
            });
        });
        return;
    case AtspiMethod::DoAction: {
        bool possible = first && AccessActionPossible(c.ref) && c.ctx.actions && c.ctx.actions->size() < 64;
        if (possible) c.ctx.actions->push_back(c.ref);
        w.Bool(possible);
        return;
    }
    default: return;
    }
}

DBusMessage* Error(const DbusApi& dbus, DBusMessage* call, const char* name, const char* text)
{
    return dbus.dbus_message_new_error(call, name, text);
}

}  // namespace

std::uint32_t AccessObjects::IdOf(const AccessRef& ref)
{
    for (const Entry& e : m_entries) {
        if (e.ref == ref) return e.id;
    }
    if (m_entries.size() >= kObjectCap || m_next >= 0x7FFFFFFF) return 0x7FFFFFFF;  // reads as gone
    m_entries.push_back(Entry{m_next, ref});
    return m_next++;
}

bool AccessObjects::Find(std::uint32_t id, AccessRef* ref) const
{
    for (const Entry& e : m_entries) {
        if (e.id == id) {
            *ref = e.ref;
            return true;
        }
    }
    return false;
}

void AccessObjects::Forget(std::uint32_t id)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; }),
                    m_entries.end());
}

std::vector<std::uint32_t> AccessObjects::Ids() const
{
    std::vector<std::uint32_t> ids;
    for (const Entry& e : m_entries) ids.push_back(e.id);
    return ids;
}

void AccessObjects::Clear()
{
    m_entries.clear();
}

RECT AtspiCoordinates(const RECT& device, std::uint32_t coordType, const RECT& parent)
{
    RECT r = device;
    if (coordType == atspi::COORD_PARENT) r = RectOffset(r, -parent.left, -parent.top);
    int scale = std::max(ScreenScale(), 1);
    return RECT{r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
}

DBusMessage* AnswerAtspiCall(AtspiContext& ctx, DBusMessage* call)
{
    const DbusApi& dbus = *ctx.dbus;
    AtspiRequest request;
    DecodeResult decoded = DecodeAtspiCall(dbus, call, &request);
    if (decoded == DecodeResult::NotACall) return nullptr;
    bool wantsReply = !dbus.dbus_message_get_no_reply(call);
    auto fail = [&](const char* name, const char* text) { return wantsReply ? Error(dbus, call, name, text) : nullptr; };
    if (decoded == DecodeResult::UnknownObject) return fail(kErrorUnknownObject, "no such object");
    if (decoded == DecodeResult::UnknownMethod) return fail(kErrorUnknownMethod, "no such method");
    if (decoded == DecodeResult::InvalidArgs) return fail(kErrorInvalidArgs, "wrong arguments");

    Call c{ctx, request, AccessRef{}, AccessNode{}};
    bool known = request.object == 0 || ctx.objects->Find(request.object, &c.ref);
    if (!known || !DescribeAccess(c.ref, &c.node)) {
        if (known) ctx.objects->Forget(request.object);
        return fail(kErrorUnknownObject, "the object is gone");
    }
    unsigned needs = AtspiMethodInterface(request.method);
    if (needs && !(c.node.interfaces & needs)) return fail(kErrorUnknownMethod, "not on this object");

    DBusMessage* reply = dbus.dbus_message_new_method_return(call);
    if (!reply) return nullptr;
    DBusMessageIter iter;
    dbus.dbus_message_iter_init_append(reply, &iter);
    Writer w{dbus, &iter};
    switch (request.method) {
    case AtspiMethod::GetChildAtIndex: {
        std::vector<AccessRef> children = c.Children();
        if (request.ints[0] < 0 || request.ints[0] >= static_cast<std::int32_t>(children.size())) {
            dbus.dbus_message_unref(reply);
            return fail(kErrorInvalidArgs, "no child at that index");
        }
        c.RefOf(w, children[static_cast<std::size_t>(request.ints[0])]);
        break;
    }
    case AtspiMethod::PropertyGet:
        if (!WriteProperty(c, w, request.strings[0], request.strings[1])) {
            dbus.dbus_message_unref(reply);
            return fail(kErrorUnknownProperty, "no such property");
        }
        break;
    case AtspiMethod::PropertyGetAll:
        w.Container(DBUS_TYPE_ARRAY, "{sv}", [&](Writer& a) {
            for (const auto& p : kPropertyNames) {
                if (request.strings[0] != p[0]) continue;
                DBusMessageIter entry;
                dbus.dbus_message_iter_open_container(a.iter, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
                Writer e{dbus, &entry};
                e.String(p[1]);
                if (!WriteProperty(c, e, p[0], p[1])) e.Container(DBUS_TYPE_VARIANT, "s", [](Writer& v) { v.String(""); });
                dbus.dbus_message_iter_close_container(a.iter, &entry);
            }
        });
        break;
    case AtspiMethod::PropertySet:
        if (request.strings[0] != atspi::kApplication || request.strings[1] != "Id" || !request.hasIntValue ||
            !(c.node.interfaces & ACCESS_APPLICATION)) {
            dbus.dbus_message_unref(reply);
            return fail(kErrorUnknownProperty, "only the application's Id can be set");
        }
        ctx.applicationId = request.intValue;
        break;
    default: {
        unsigned kind = AtspiMethodInterface(request.method);
        if (kind == ACCESS_COMPONENT) AnswerComponent(c, w);
        else if (kind == ACCESS_ACTION) AnswerAction(c, w);
        else if (kind == ACCESS_TEXT) AnswerText(c, w);
        else AnswerAccessible(c, w);
    }
    }
    if (!wantsReply) {
        dbus.dbus_message_unref(reply);
        return nullptr;
    }
    return reply;
}
