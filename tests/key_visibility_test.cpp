// Which keys each mode shows: the pure decision, and the real face after start-up and switches.
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "engine/calc_state.h"
#include "face/face.h"
#include "face/key_visibility.h"
#include "tests/face_fixture.h"

namespace {

std::set<int> Shown(DWORD flags, BOOL degrees)
{
    KeyShow keys[kToggledKeyCount];
    int n = DecideKeyVisibility(flags, degrees, keys);
    std::set<int> shown;
    for (int i = 0; i < n; ++i) {
        if (keys[i].show) shown.insert(keys[i].id);
    }
    return shown;
}

std::set<int> Range(int first, int last)
{
    std::set<int> s;
    for (int id = first; id <= last; ++id) s.insert(id);
    return s;
}

std::set<int> Union(std::initializer_list<std::set<int>> parts)
{
    std::set<int> all;
    for (const auto& p : parts) all.insert(p.begin(), p.end());
    return all;
}

const std::set<int> kAlwaysShown = {1000, 1001, 1018, 1019, 1020, 1021, 1029, 1030,
                                    1031, 1032, 1033, 1034, 1037};

std::set<int> VisibleKeys(HWND face)
{
    std::set<int> ids;
    for (HWND kid = GetWindow(face, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if (GetWindowLong(kid, GWL_STYLE) & WS_VISIBLE) ids.insert(GetDlgCtrlID(kid));
    }
    return ids;
}

}  // namespace

TEST(KeyVisibility, EachModeShowsItsColumn)
{
    struct Case {
        DWORD flags;
        BOOL degrees;
        std::set<int> shown;
    };
    const std::set<int> logic = {1048, 1049, 1050, 2031};
    const std::set<int> trig = {1058, 1059, 1060, 1040, 1042, 1041, 1063, 1064, 1065};
    const std::set<int> sci = {1061, 1035, 1036, 1066, 1067, 1046, 1057, 1056, 1052};
    const Case cases[] = {
        {MODE_BIN, TRUE, Union({{1023, 1024, 1038}, logic})},
        {MODE_BIN | MODE_TRIG_PANEL, FALSE, Union({{1023, 1024, 1038}, logic})},
        {MODE_HEX, TRUE, Union({{1024, 1026, 1038}, Range(1002, 1015), logic})},
        {MODE_HEX | MODE_TRIG_PANEL, FALSE, Union({{1024, 1026, 1038}, Range(1002, 1015), logic})},
        {MODE_DEC, TRUE, Union({{1023, 1026, 1062, 1022, 1038}, Range(1002, 1009), sci})},
        {MODE_DEC, FALSE, Union({{1023, 1026, 1062, 1022, 1038}, Range(1002, 1009), sci})},
        {MODE_DEC | MODE_TRIG_PANEL, TRUE, Union({{1023, 1026, 1062, 1044, 1022, 1038}, Range(1002, 1009), trig})},
        {MODE_DEC | MODE_TRIG_PANEL, FALSE,
         Union({{1023, 1026, 1062, 1044, 1051, 1022, 1038}, Range(1002, 1009), trig})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("flags " + std::to_string(c.flags) + " degrees " + std::to_string(c.degrees));
        EXPECT_EQ(Shown(c.flags, c.degrees), c.shown);
    }
}

TEST(KeyVisibility, InvalidBasesDecideNothing)
{
    KeyShow keys[kToggledKeyCount];
    for (DWORD base : {0u, 3u, 5u, 6u, 7u}) {
        EXPECT_EQ(DecideKeyVisibility(base | MODE_DEGREES, TRUE, keys), 0) << base;
    }
}

TEST(KeyVisibility, AtMostOneKeyPerPositionInEveryMode)
{
    HWND face = CreateTestFace();
    ASSERT_NE(face, nullptr);
    for (DWORD flags : {MODE_BIN, MODE_HEX, MODE_DEC, MODE_DEC | MODE_TRIG_PANEL}) {
        for (BOOL degrees : {TRUE, FALSE}) {
            g_calc.modeFlags = flags | (degrees ? MODE_DEGREES : 0);
            UpdateKeyVisibility(face, g_calc.modeFlags);
            std::set<std::pair<int, int>> seen;
            for (int id : VisibleKeys(face)) {
                RECT r;
                GetWindowRect(GetDlgItem(face, id), &r);
                EXPECT_TRUE(seen.insert({r.left, r.top}).second) << "two keys at the place of " << id;
            }
        }
    }
    DestroyTestFace();
}

TEST(KeyVisibility, StartUpShowsTheDecKeysAndInvalidFlagsChangeNothing)
{
    HWND face = CreateTestFace();
    ASSERT_NE(face, nullptr);
    std::set<int> dec = VisibleKeys(face);
    EXPECT_EQ(dec, Union({kAlwaysShown, Shown(MODE_DEC, TRUE)}));
    EXPECT_EQ(dec.count(1017), 0u);
    for (DWORD bad : {0u, 3u, 7u}) {
        UpdateKeyVisibility(face, bad);
        EXPECT_EQ(VisibleKeys(face), dec);
    }
    DestroyTestFace();
}
