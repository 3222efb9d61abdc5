// The accessibility bridge's two pure parts: the role table (class and style to AT-SPI role)
// and the decoding of method calls, fed with messages libdbus builds (skipped without libdbus).
#include <gtest/gtest.h>
#include <cstring>
#include "platform/access/access_roles.h"
#include "platform/access/atspi_constants.h"
#include "platform/access/atspi_request.h"

namespace {

struct RoleCase {
    const char16_t* className;
    DWORD style;
    bool child;
    std::uint32_t role;
};

TEST(AccessRoles, ClassAndStyleGiveTheRole)
{
    const RoleCase cases[] = {
        /* class              style                                     child  role */
        {u"BUTTON",           WS_VISIBLE | BS_OWNERDRAW,                 true,  atspi::ROLE_PUSH_BUTTON},
        {u"BUTTON",           WS_GROUP | BS_OWNERDRAW,                   true,  atspi::ROLE_PUSH_BUTTON},
        {u"BUTTON",           BS_PUSHLIKE | BS_AUTORADIOBUTTON,          true,  atspi::ROLE_TOGGLE_BUTTON},
        {u"BUTTON",           BS_PUSHLIKE | BS_AUTOCHECKBOX,             true,  atspi::ROLE_TOGGLE_BUTTON},
        {u"BUTTON",           BS_AUTORADIOBUTTON,                        true,  atspi::ROLE_RADIO_BUTTON},
        {u"BUTTON",           BS_RADIOBUTTON,                            true,  atspi::ROLE_RADIO_BUTTON},
        {u"BUTTON",           BS_AUTOCHECKBOX,                           true,  atspi::ROLE_CHECK_BOX},
        {u"BUTTON",           BS_PUSHBUTTON,                             true,  atspi::ROLE_PUSH_BUTTON},
        {u"BUTTON",           BS_DEFPUSHBUTTON,                          true,  atspi::ROLE_PUSH_BUTTON},
        // BS_PUSHLIKE means nothing to an owner-drawn button: it stays a push button.
        {u"BUTTON",           BS_PUSHLIKE | BS_OWNERDRAW,                true,  atspi::ROLE_PUSH_BUTTON},
        {u"STATIC",           SS_ICON,                                   true,  atspi::ROLE_ICON},
        {u"STATIC",           SS_LEFT,                                   true,  atspi::ROLE_LABEL},
        {u"STATIC",           SS_CENTER,                                 true,  atspi::ROLE_LABEL},
        {u"EDIT",             ES_UPPERCASE | ES_RIGHT,                   true,  atspi::ROLE_TEXT},
        {u"#32770",           WS_CHILD | DS_SETFONT,                     true,  atspi::ROLE_PANEL},
        {u"#32770",           WS_POPUP | WS_CAPTION,                     false, atspi::ROLE_DIALOG},
        {u"ShellMessageBox",  WS_POPUP,                                  false, atspi::ROLE_DIALOG},
        {u"ShellMenuBar",     WS_POPUP,                                  false, atspi::ROLE_MENU_BAR},
        {u"MYWINDOW",         WS_VISIBLE,                                false, atspi::ROLE_FRAME},
        {u"MYWINDOW",         WS_CHILD,                                  true,  atspi::ROLE_PANEL},
        // Class names are compared exactly: a look-alike is an unknown class.
        {u"BUTTONX",          BS_AUTORADIOBUTTON,                        true,  atspi::ROLE_PANEL},
        {u"",                 0,                                         false, atspi::ROLE_FRAME},
    };
    for (const RoleCase& c : cases) {
        EXPECT_EQ(AccessRoleFor(c.className, c.style, c.child), c.role)
            << "class " << std::string(c.className, c.className + std::char_traits<char16_t>::length(c.className))
            << " style 0x" << std::hex << c.style;
    }
}

// ---- Decoding ---------------------------------------------------------------------------------

class AtspiDecoding : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        dbus = LoadDbusApi(&why);
        if (!dbus) GTEST_SKIP() << why;
    }
    void TearDown() override
    {
        if (message) dbus->dbus_message_unref(message);
    }
    // A method call; `args` appends its arguments.
    template <class F> DBusMessage* Call(const char* path, const char* interface, const char* member, F args)
    {
        if (message) dbus->dbus_message_unref(message);
        message = dbus->dbus_message_new_method_call(":1.9", path, interface, member);
        DBusMessageIter iter;
        dbus->dbus_message_iter_init_append(message, &iter);
        args(iter);
        return message;
    }
    DBusMessage* Call(const char* path, const char* interface, const char* member)
    {
        return Call(path, interface, member, [](DBusMessageIter&) {});
    }
    void Int(DBusMessageIter& iter, std::int32_t v) { dbus->dbus_message_iter_append_basic(&iter, DBUS_TYPE_INT32, &v); }
    void Uint(DBusMessageIter& iter, std::uint32_t v) { dbus->dbus_message_iter_append_basic(&iter, DBUS_TYPE_UINT32, &v); }
    void Str(DBusMessageIter& iter, const char* v) { dbus->dbus_message_iter_append_basic(&iter, DBUS_TYPE_STRING, &v); }

    const DbusApi* dbus = nullptr;
    DBusMessage* message = nullptr;
    AtspiRequest request;
};

TEST_F(AtspiDecoding, CallsBecomeRequestsWithTheirArguments)
{
    const char* key = "/org/a11y/atspi/accessible/42";
    ASSERT_EQ(DecodeAtspiCall(*dbus, Call(key, atspi::kAccessible, "GetRole"), &request), DecodeResult::Ok);
    EXPECT_EQ(request.object, 42u);
    EXPECT_EQ(request.method, AtspiMethod::GetRole);

    auto atIndex = [&](DBusMessageIter& i) { Int(i, 7); };
    ASSERT_EQ(DecodeAtspiCall(*dbus, Call(atspi::kRootPath, atspi::kAccessible, "GetChildAtIndex", atIndex), &request),
              DecodeResult::Ok);
    EXPECT_EQ(request.object, 0u);
    EXPECT_EQ(request.ints[0], 7);

    auto range = [&](DBusMessageIter& i) { Int(i, 2); Int(i, -1); };
    ASSERT_EQ(DecodeAtspiCall(*dbus, Call(key, atspi::kText, "GetText", range), &request), DecodeResult::Ok);
    EXPECT_EQ(request.method, AtspiMethod::GetText);
    EXPECT_EQ(request.ints[0], 2);
    EXPECT_EQ(request.ints[1], -1);

    auto point = [&](DBusMessageIter& i) { Int(i, -5); Int(i, 9); Uint(i, atspi::COORD_WINDOW); };
    ASSERT_EQ(DecodeAtspiCall(*dbus, Call(key, atspi::kComponent, "GetAccessibleAtPoint", point), &request),
              DecodeResult::Ok);
    EXPECT_EQ(request.ints[0], -5);
    EXPECT_EQ(request.ints[1], 9);
    EXPECT_EQ(request.uints[0], atspi::COORD_WINDOW);

    auto property = [&](DBusMessageIter& i) { Str(i, atspi::kAccessible); Str(i, "Name"); };
    ASSERT_EQ(DecodeAtspiCall(*dbus, Call(key, atspi::kProperties, "Get", property), &request), DecodeResult::Ok);
    EXPECT_EQ(request.method, AtspiMethod::PropertyGet);
    EXPECT_EQ(request.strings[0], atspi::kAccessible);
    EXPECT_EQ(request.strings[1], "Name");

    // The same member on two interfaces: the interface decides; without one, the arguments do.
    auto offset = [&](DBusMessageIter& i) { Int(i, 3); };
    ASSERT_EQ(DecodeAtspiCall(*dbus, Call(key, atspi::kText, "GetAttributes", offset), &request), DecodeResult::Ok);
    EXPECT_EQ(request.method, AtspiMethod::GetTextAttributes);
    ASSERT_EQ(DecodeAtspiCall(*dbus, Call(key, nullptr, "GetAttributes", offset), &request), DecodeResult::Ok);
    EXPECT_EQ(request.method, AtspiMethod::GetTextAttributes);
    ASSERT_EQ(DecodeAtspiCall(*dbus, Call(key, nullptr, "GetAttributes"), &request), DecodeResult::Ok);
    EXPECT_EQ(request.method, AtspiMethod::GetAttributes);
}

TEST_F(AtspiDecoding, AnythingElseIsRefusedUnread)
{
    struct Refused {
        const char* path;
        const char* interface;
        const char* member;
        int ints;  // int32 arguments appended
        DecodeResult result;
    };
    const Refused cases[] = {
        /* path                                     interface            member            ints  result */
        {"/org/a11y/atspi/accessible/0",            atspi::kAccessible,  "GetRole",        0,    DecodeResult::UnknownObject},
        {"/org/a11y/atspi/accessible/007",          atspi::kAccessible,  "GetRole",        0,    DecodeResult::UnknownObject},
        {"/org/a11y/atspi/accessible/2147483648",   atspi::kAccessible,  "GetRole",        0,    DecodeResult::UnknownObject},
        {"/org/a11y/atspi/accessible/12a",          atspi::kAccessible,  "GetRole",        0,    DecodeResult::UnknownObject},
        {"/org/a11y/atspi/accessible",              atspi::kAccessible,  "GetRole",        0,    DecodeResult::UnknownObject},
        {"/org/a11y/atspi/cache",                   "org.a11y.atspi.Cache", "GetItems",    0,    DecodeResult::UnknownObject},
        {"/",                                       "org.freedesktop.DBus.Peer", "Ping",   0,    DecodeResult::UnknownObject},
        {atspi::kRootPath,                          atspi::kAccessible,  "Explode",        0,    DecodeResult::UnknownMethod},
        {atspi::kRootPath,                          "org.example.Other", "GetRole",        0,    DecodeResult::UnknownMethod},
        {atspi::kRootPath,                          atspi::kAccessible,  "GetChildAtIndex", 0,   DecodeResult::InvalidArgs},
        {atspi::kRootPath,                          atspi::kAccessible,  "GetChildAtIndex", 2,   DecodeResult::InvalidArgs},
        {atspi::kRootPath,                          atspi::kAccessible,  "GetRole",        1,    DecodeResult::InvalidArgs},
        {atspi::kRootPath,                          atspi::kText,        "GetText",        1,    DecodeResult::InvalidArgs},
    };
    for (const Refused& c : cases) {
        Call(c.path, c.interface, c.member, [&](DBusMessageIter& i) {
            for (int n = 0; n < c.ints; ++n) Int(i, n);
        });
        EXPECT_EQ(DecodeAtspiCall(*dbus, message, &request), c.result) << c.path << " " << c.member;
    }
    // A string where an index belongs, and a signal instead of a call.
    Call(atspi::kRootPath, atspi::kAccessible, "GetChildAtIndex", [&](DBusMessageIter& i) { Str(i, "0"); });
    EXPECT_EQ(DecodeAtspiCall(*dbus, message, &request), DecodeResult::InvalidArgs);
    DBusMessage* signal = dbus->dbus_message_new_signal(atspi::kRootPath, atspi::kAccessible, "GetRole");
    EXPECT_EQ(DecodeAtspiCall(*dbus, signal, &request), DecodeResult::NotACall);
    dbus->dbus_message_unref(signal);
}

TEST(AtspiPaths, NumbersAndPathsGoBothWays)
{
    for (std::uint32_t id : {0u, 1u, 9u, 10u, 4096u, 0x7FFFFFFFu}) {
        std::uint32_t back = 12345;
        ASSERT_TRUE(ParseAtspiPath(AtspiPath(id).c_str(), &back)) << id;
        EXPECT_EQ(back, id);
    }
    EXPECT_EQ(AtspiPath(0), atspi::kRootPath);
    std::uint32_t unused;
    EXPECT_FALSE(ParseAtspiPath(nullptr, &unused));
    EXPECT_FALSE(ParseAtspiPath("/org/a11y/atspi/accessible/-1", &unused));
    EXPECT_FALSE(ParseAtspiPath("/org/a11y/atspi/accessible/ 1", &unused));
}

}  // namespace
