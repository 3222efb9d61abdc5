// The keyboard on the face: every key of the table through the layer's key taps to the right
// BN_CLICKED, in every mode (hidden keys do nothing), the pressed drawing while a key is held as
// a message sequence, Enter never going to a focused key, and the shortcuts through AppMain.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include "app/app.h"
#include "engine/calc_state.h"
#include "platform/drivers/backend.h"
#include "platform/user/key_taps.h"
#include "platform/user/window_internal.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tests/face_fixture.h"
#include "tests/shell_test_support.h"

namespace {

constexpr WPARAM kVkOemPlus = 0xBB;
constexpr LPARAM kFirstPress = 1;
constexpr LPARAM kRepeat = 1 | (LPARAM(1) << 30);
constexpr LPARAM kRelease = 1 | (LPARAM(1) << 30) | (LPARAM(1) << 31);

// As the desktop window posts keys: to the active top-level window, through the thread's queue.
void Post(UINT msg, WPARAM wParam, LPARAM lParam)
{
    PostMessage(GetActiveWindow(), msg, wParam, lParam);
    PumpMessages();
}

void KeyDown(WPARAM vk, LPARAM lParam = kFirstPress) { Post(WM_KEYDOWN, vk, lParam); }
void KeyUp(WPARAM vk) { Post(WM_KEYUP, vk, kRelease); }
void Char(WPARAM ch) { Post(WM_CHAR, ch, 1); }

// A typed character: the key that types it goes down, the character comes, the key comes up.
void Type(WPARAM vk, WPARAM ch)
{
    KeyDown(vk);
    Char(ch);
    KeyUp(vk);
}

// A key that types nothing (Enter, Backspace ...), or the keypad's operators, which type their
// character after the key.
void Press(WPARAM vk, WPARAM ch = 0)
{
    KeyDown(vk);
    if (ch) Char(ch);
    KeyUp(vk);
}

class KeyTaps : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetBackend(nullptr);
        SetModifierState(false, false, false);
        face = CreateTestFace();
        ASSERT_NE(face, nullptr);
        ASSERT_EQ(GetActiveWindow(), GetParent(face));
    }
    void TearDown() override
    {
        SetModifierState(false, false, false);
        DestroyTestFace();
    }
    bool Shown(int id) { return IsWindowVisible(GetDlgItem(face, id)) != FALSE; }
    HWND face = nullptr;
};

// The keyboard's keys as users type them. `vk` is the key that goes down; `ch` the character it
// types, 0 for keys that type none.
struct KeyRow {
    const char* name;
    WPARAM vk;
    WPARAM ch;
    int id;
};

const KeyRow kKeyRows[] = {
    /* name            key down     typed   face key */
    {"0",              '0',         '0',    1000},
    {"1",              '1',         '1',    1001},
    {"2",              '2',         '2',    1002},
    {"3",              '3',         '3',    1003},
    {"4",              '4',         '4',    1004},
    {"5",              '5',         '5',    1005},
    {"6",              '6',         '6',    1006},
    {"7",              '7',         '7',    1007},
    {"8",              '8',         '8',    1008},
    {"9",              '9',         '9',    1009},
    {"keypad 7",       0x67,        '7',    1007},
    {"a",              'A',         'a',    1010},
    {"b",              'B',         'b',    1011},
    {"c",              'C',         'c',    1012},
    {"d",              'D',         'd',    1013},
    {"e",              'E',         'e',    1014},
    {"f",              'F',         'f',    1015},
    {"A",              'A',         'A',    1010},
    {"B",              'B',         'B',    1011},
    {"C",              'C',         'C',    1012},
    {"D",              'D',         'D',    1013},
    {"E",              'E',         'E',    1014},
    {"F",              'F',         'F',    1015},
    {"+",              kVkOemPlus,  '+',    1019},
    {"-",              0xBD,        '-',    1018},
    {"*",              '8',         '*',    1020},
    {"/",              0xBF,        '/',    1021},
    {"=",              kVkOemPlus,  '=',    1030},
    {".",              0xBE,        '.',    1022},
    {",",              0xBC,        ',',    1022},
    {"%",              '5',         '%',    1052},
    {"^",              '6',         '^',    1057},
    {"!",              '1',         '!',    1046},
    {"p",              'P',         'p',    1051},
    {"keypad +",       VK_ADD,      '+',    1019},
    {"keypad -",       VK_SUBTRACT, '-',    1018},
    {"keypad *",       VK_MULTIPLY, '*',    1020},
    {"keypad /",       VK_DIVIDE,   '/',    1021},
    {"keypad .",       VK_DECIMAL,  '.',    1022},
    {"keypad , (de)",  VK_DECIMAL,  ',',    1022},
    {"Enter",          VK_RETURN,   0,      1030},
    {"Backspace",      VK_BACK,     0,      1037},
    {"Escape",         VK_ESCAPE,   0,      1029},
    {"Delete",         VK_DELETE,   0,      1029},
};

struct Mode {
    const char* name;
    const char* keys;  // from the start-up mode (DEC, degrees)
};
const Mode kModes[] = {
    {"DEC", ""},
    {"DEC trig radians", "TRIG RAD/DEG"},
    {"DEC trig degrees", "TRIG"},
    {"HEX", "HEX"},
    {"BIN", "BIN"},
};

TEST_F(KeyTaps, EveryKeyTapsItsFaceKeyWhereItIsShownAndNothingElse)
{
    for (const Mode& mode : kModes) {
        DestroyTestFace();
        face = CreateTestFace();
        ASSERT_NE(face, nullptr);
        PressKeys(face, mode.keys);
        MessageRecorder clicks(face, {WM_COMMAND});
        for (const KeyRow& row : kKeyRows) {
            bool shown = Shown(row.id);
            if (row.ch) Press(row.vk, row.ch);
            else Press(row.vk);
            std::vector<SeqMessage> expected;
            if (shown) expected.push_back(ClickMessage(row.id));
            ok_sequence(clicks, expected, std::string(mode.name) + ", key " + row.name + (shown ? "" : " (hidden)"));
        }
    }
}

TEST_F(KeyTaps, HiddenKeysOfEachModeAreThoseTheFaceHides)
{
    // The check above takes the face's visibility as its oracle: pin the cases users meet.
    struct Case {
        const char* modeKeys;
        int id;
        bool shown;
    };
    const Case cases[] = {
        {"", 1010, false},          {"", 1052, true},            {"", 1046, true},  {"", 1051, false},
        {"HEX", 1010, true},        {"HEX", 1022, false},        {"HEX", 1057, false},
        {"BIN", 1002, false},       {"BIN", 1001, true},         {"TRIG RAD/DEG", 1051, true},
        {"TRIG", 1052, false},
    };
    for (const Case& c : cases) {
        DestroyTestFace();
        face = CreateTestFace();
        PressKeys(face, c.modeKeys);
        EXPECT_EQ(Shown(c.id), c.shown) << c.modeKeys << " key " << c.id;
    }
}

TEST_F(KeyTaps, HeldKeyShowsPressedUntilReleasedAndClicksOnce)
{
    MessageRecorder heard(face, {WM_DRAWITEM, WM_COMMAND});
    KeyDown('7');
    Char('7');
    ok_sequence(heard, {DrawItemMessage(1007, ODS_SELECTED)}, "key down");
    KeyDown('7', kRepeat);  // auto-repeat while held
    Char('7');
    KeyDown('7', kRepeat);
    Char('7');
    ok_sequence(heard, {}, "repeats do nothing");
    EXPECT_EQ(std::u16string(g_calc.displayText), u"0.") << "nothing typed before the release";
    KeyUp('7');
    // The click repaints the face, which redraws its keys after it: only the first two count.
    ok_sequence(heard, {DrawItemMessage(1007, 0), ClickMessage(1007), {0, SEQ_ANY}}, "key up");
    EXPECT_EQ(std::u16string(g_calc.displayText), u"7");
}

TEST_F(KeyTaps, VirtualKeyPressIgnoresTheCharacterItTypes)
{
    MessageRecorder heard(face, {WM_DRAWITEM, WM_COMMAND});
    KeyDown(VK_ADD);
    ok_sequence(heard, {DrawItemMessage(1019, ODS_SELECTED)}, "keypad + down");
    Char('+');
    ok_sequence(heard, {}, "the keypad's '+' is that key's own text");
    KeyUp(VK_ADD);
    ok_sequence(heard, {DrawItemMessage(1019, 0), ClickMessage(1019), {0, SEQ_ANY}}, "keypad + up");
}

TEST_F(KeyTaps, RolledKeysClickInTheOrderTheyWentDown)
{
    MessageRecorder heard(face, {WM_DRAWITEM, WM_COMMAND});
    KeyDown('1');
    Char('1');
    KeyDown('2');  // '1' still down
    Char('2');
    ok_sequence(heard,
                {DrawItemMessage(1001, ODS_SELECTED), DrawItemMessage(1001, 0), ClickMessage(1001), {0, SEQ_ANY},
                 DrawItemMessage(1002, ODS_SELECTED)},
                "'2' down while '1' is held");
    KeyUp('1');
    ok_sequence(heard, {}, "its tap is already done");
    KeyUp('2');
    ok_sequence(heard, {DrawItemMessage(1002, 0), ClickMessage(1002), {0, SEQ_ANY}}, "'2' up");
    EXPECT_EQ(std::u16string(g_calc.displayText), u"12");
}

TEST_F(KeyTaps, CharacterWithoutAKeyDownTapsAtOnce)
{
    MessageRecorder heard(face, {WM_DRAWITEM, WM_COMMAND});
    Char('4');  // as an input method hands over finished text
    ok_sequence(heard,
                {DrawItemMessage(1004, ODS_SELECTED), DrawItemMessage(1004, 0), ClickMessage(1004), {0, SEQ_ANY}},
                "a character alone");
}

TEST_F(KeyTaps, KeyHiddenWhileHeldIsReleasedWithoutClick)
{
    PressKeys(face, "HEX");
    HWND keyA = GetDlgItem(face, 1010);
    MessageRecorder clicks(face, {WM_COMMAND});
    KeyDown('A');
    Char('a');
    EXPECT_TRUE(SendMessage(keyA, BM_GETSTATE, 0, 0) & BST_PUSHED);
    PressKey(face, IDC_BASE_DEC);  // the pen switches to DEC: "A" goes
    ASSERT_FALSE(IsWindowVisible(keyA));
    clicks.Clear();
    KeyUp('A');
    ok_sequence(clicks, {}, "the hidden key's release");
    EXPECT_FALSE(SendMessage(keyA, BM_GETSTATE, 0, 0) & BST_PUSHED);
}

TEST_F(KeyTaps, PenTapDuringAHeldKeyClicksOnlyOnce)
{
    HWND key5 = GetDlgItem(face, 1005);
    RECT r;
    GetWindowRect(key5, &r);
    MessageRecorder clicks(face, {WM_COMMAND});
    KeyDown('5');
    Char('5');
    InjectTap(CentreOf(r));
    ok_sequence(clicks, {ClickMessage(1005)}, "the pen's tap");
    KeyUp('5');
    ok_sequence(clicks, {}, "the pen already released the key");
}

TEST_F(KeyTaps, EnterMeansEqualsEvenWithAKeyFocused)
{
    HWND key7 = GetDlgItem(face, 1007);
    SetFocus(key7);
    ASSERT_EQ(GetFocus(), key7);
    MessageRecorder clicks(face, {WM_COMMAND});
    Press(VK_RETURN);
    ok_sequence(clicks, {ClickMessage(1030)}, "Enter");
    // Even a key message sent to the focused key itself presses "＝", not the focused key.
    SendMessage(key7, WM_KEYDOWN, VK_RETURN, kFirstPress);
    SendMessage(key7, WM_KEYUP, VK_RETURN, kRelease);
    ok_sequence(clicks, {ClickMessage(1030)}, "Enter sent to the focused key");
    Post(WM_CHAR, '\r', 1);
    Post(WM_CHAR, ' ', 1);
    ok_sequence(clicks, {}, "carriage return and space as characters");
}

TEST_F(KeyTaps, CtrlWithALetterTapsNothing)
{
    PressKeys(face, "HEX");
    MessageRecorder clicks(face, {WM_COMMAND});
    SetModifierState(true, false, false);
    KeyDown('B');   // Ctrl+B is no shortcut: it reaches the default procedure
    Char('b');      // as an input method might still type it
    Char(0x02);
    KeyUp('B');
    Char('c');      // a stray character with Ctrl held
    SetModifierState(false, false, false);
    ok_sequence(clicks, {}, "Ctrl+B");
    Type('B', 'b');
    ok_sequence(clicks, {ClickMessage(1011)}, "plain 'b'");
}

TEST(KeyTapTable, RegistrationIsPerInstanceAndReplaceable)
{
    SetBackend(nullptr);
    HWND face = CreateTestFace();
    ASSERT_NE(face, nullptr);
    MessageRecorder clicks(face, {WM_COMMAND});
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterKeyTaps(instance, nullptr, 0);
    Type('7', '7');
    ok_sequence(clicks, {}, "no table, no taps");
    const KEYTAP only[] = {{0, u'x', 1009}};
    RegisterKeyTaps(instance, only, 1);
    Type('X', 'x');
    Type('7', '7');
    ok_sequence(clicks, {ClickMessage(1009)}, "a table of one key");
    RegisterKeyTaps(reinterpret_cast<HINSTANCE>(0x4321), only, 1);  // another module's table
    RegisterKeyTaps(instance, nullptr, 0);
    Type('X', 'x');
    ok_sequence(clicks, {}, "only another module's table");
    RegisterKeyTaps(reinterpret_cast<HINSTANCE>(0x4321), nullptr, 0);
    RegisterProgramResources(instance);
    HandleKeyTapMessage(reinterpret_cast<HWND>(0x999), WM_CHAR, '7', 1);  // no such window
    ok_sequence(clicks, {}, "a message for no window");
    DestroyTestFace();
}

// --- the shortcuts, through the program's own loop --------------------------------------

TEST(KeyShortcuts, CtrlAAndCtrlQStayShortcutsAndCtrlCVCopyAndPaste)
{
    SetBackend(nullptr);
    EnableCrossProcessWindows(false);
    std::memset(&g_calc, 0, sizeof g_calc);
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    CurrentBackend().setClipboardText("");
    std::unique_ptr<MessageRecorder> clicks;
    bool aboutSeen = false;
    std::string copied;
    auto post = [](UINT msg, WPARAM wParam, LPARAM lParam) { PostMessage(GetActiveWindow(), msg, wParam, lParam); };
    ModalScript script({
        [&] {
            PressKeys(g_hwndCalc, "HEX");
            clicks = std::make_unique<MessageRecorder>(g_hwndCalc, std::vector<UINT>{WM_COMMAND});
            SetModifierState(true, false, false);
            post(WM_KEYDOWN, 'A', kFirstPress);  // opens the About box
            post(WM_CHAR, 'a', 1);
            post(WM_KEYUP, 'A', kRelease);
        },
        [&] {
            HWND about = FindWindow(nullptr, u"Quorix のバージョン情報");
            aboutSeen = about != nullptr;
            if (about) PostMessage(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
        [&] {
            SetModifierState(false, false, false);
            post(WM_KEYDOWN, 'A', kFirstPress);  // plain 'a': the hex digit
            post(WM_CHAR, 'a', 1);
            post(WM_KEYUP, 'A', kRelease);
            post(WM_KEYDOWN, 'B', kFirstPress);
            post(WM_CHAR, 'b', 1);
            post(WM_KEYUP, 'B', kRelease);
        },
        [&] {
            SetModifierState(true, false, false);
            post(WM_KEYDOWN, 'C', kFirstPress);
            post(WM_KEYUP, 'C', kRelease);
        },
        [&] {
            std::string text;
            if (CurrentBackend().getClipboardText(&text, 100)) copied = text;
            CurrentBackend().setClipboardText("ff ff");
            post(WM_KEYDOWN, 'V', kFirstPress);
            post(WM_KEYUP, 'V', kRelease);
        },
        [&] { post(WM_KEYDOWN, 'Q', kFirstPress); },
    });
    WCHAR commandLine[] = u"";
    int exitCode = AppMain(instance, nullptr, commandLine, SW_SHOW);
    SetModifierState(false, false, false);
    EXPECT_EQ(exitCode, 0) << "Ctrl+Q ended the run";
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(aboutSeen) << "Ctrl+A opened the About box";
    ASSERT_TRUE(clicks);
    ok_sequence(*clicks, {ClickMessage(1010), ClickMessage(1011)}, "only the plain 'a' and 'b' typed");
    EXPECT_EQ(copied, "AB");
    EXPECT_EQ(std::u16string(g_calc.displayText), u"FFFF");
    CurrentBackend().setClipboardText("");
}

}  // namespace
