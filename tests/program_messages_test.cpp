// Message sequences of the running program that both builds must show alike: the Linux build on
// the platform's own windows, the Windows build on the real user32 (under Wine in the tests).
// Only the public API and the program's own entry points are used, so this file compiles for
// both; each case runs the program through AppMain and does its work inside the program's loop.
// Where the two differ, both sequences are written down, with the reason.
#include <gtest/gtest.h>
#include <cstring>
#include "app/app.h"
#include "app/device_setup.h"
#include "engine/calc_state.h"
#include "platform/extras.h"
#include "platform/windows.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"
#include "tests/message_sequence.h"
#include "tests/program_loop.h"

TEST(ProgramMessages, TapOnAKeyDrawsItPressedThenUpThenClicks)
{
    EXPECT_EQ(RunProgramWith([](HWND face) {
        MessageRecorder heard(face, {WM_DRAWITEM, WM_COMMAND});
        TapKey(face, IDC_DIGIT_0 + 5);
        const int five = IDC_DIGIT_0 + 5;
        // After the click, the engine's repaint draws whatever keys are shown.
#if defined(_WIN32)
        // A real button takes the keyboard focus when clicked: the first key draws without its
        // focus, the tapped one with it (ODS_FOCUS), and keeps it while pressed and released.
        ok_sequence(heard, {DrawItemMessage(IDC_DIGIT_0, 0), DrawItemMessage(five, ODS_FOCUS),
                            DrawItemMessage(five, ODS_SELECTED | ODS_FOCUS), DrawItemMessage(five, ODS_FOCUS),
                            ClickMessage(five), {0, SEQ_ANY}},
                    "a tap on 5");
#else
        // The platform's buttons leave the focus where it is.
        ok_sequence(heard, {DrawItemMessage(five, ODS_SELECTED), DrawItemMessage(five, 0), ClickMessage(five),
                            {0, SEQ_ANY}},
                    "a tap on 5");
#endif
        EXPECT_EQ(g_calc.entryFlags, 1u) << "the click reached the engine";
    }), 0);
}

TEST(ProgramMessages, TapOnABaseKeyClicksItAndShowsTheOtherBaseKeys)
{
    EXPECT_EQ(RunProgramWith([](HWND face) {
        MessageRecorder heard(face, {WM_COMMAND});
        TapKey(face, IDC_BASE_HEX);
        ok_sequence(heard, {ClickMessage(IDC_BASE_HEX)}, "a tap on the HEX key");
        EXPECT_EQ(SendDlgItemMessage(face, IDC_BASE_HEX, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendDlgItemMessage(face, IDC_BASE_DEC, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_FALSE(GetWindowLong(GetDlgItem(face, IDC_BASE_HEX), GWL_STYLE) & WS_VISIBLE)
            << "the current base's key hides";
    }), 0);
}

namespace {

// The recorder of a test that hears the whole thread, for its step.
MessageRecorder* g_heard = nullptr;

SeqMessage SentTo(HWND hwnd, UINT msg)
{
    return {msg, SEQ_HWND, 0, 0, hwnd};
}

SeqMessage SentTo(HWND hwnd, UINT msg, WPARAM wParam)
{
    return {msg, SEQ_HWND | SEQ_WPARAM, wParam, 0, hwnd};
}

// The face's shown owner-drawn keys, in the order the face paints them (its children's).
std::vector<int> ShownDrawnKeys(HWND face)
{
    std::vector<int> ids;
    for (HWND key = GetWindow(face, GW_CHILD); key; key = GetWindow(key, GW_HWNDNEXT)) {
        LONG style = GetWindowLong(key, GWL_STYLE);
        if ((style & WS_VISIBLE) && (style & BS_TYPEMASK) == BS_OWNERDRAW) ids.push_back(GetDlgCtrlID(key));
    }
    return ids;
}

// Answers the first box the main window opens as its ok button would, once the box shows: a
// hook's post, which the box's own modal loop takes.
HHOOK g_answerHook = nullptr;
HWND g_answerOwner = nullptr;
HWND g_answeredBox = nullptr;

LRESULT CALLBACK AnswerBoxHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_SHOWWINDOW && sent->wParam && !g_answeredBox &&
        GetWindow(sent->hwnd, GW_OWNER) == g_answerOwner) {
        g_answeredBox = sent->hwnd;
        PostMessage(sent->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return CallNextHookEx(g_answerHook, code, wParam, lParam);
}

// Chooses a menu command of the main window that opens a modal box, answers the box with ok,
// and returns the box (gone by then) once the command has returned; what was sent to the main
// window and the box is left in the thread's recorder.
HWND ChooseMenuCommandAndAnswerOk(HWND main, int command)
{
    g_answerOwner = main;
    g_answeredBox = nullptr;
    g_answerHook = SetWindowsHookEx(WH_CALLWNDPROC, AnswerBoxHook, nullptr, GetCurrentThreadId());
    EXPECT_TRUE(g_answerHook);
    g_heard->Clear();
    SendMessage(main, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    UnhookWindowsHookEx(g_answerHook);
    HWND box = g_answeredBox;
    EXPECT_TRUE(box) << "no box showed";
    EXPECT_FALSE(IsWindow(box)) << "the box is still there";
    g_heard->KeepOnly([main, box](const SeqMessage& m) { return m.hwnd == main || m.hwnd == box; });
    return box;
}

const std::vector<UINT> kBoxMessages = {WM_CREATE,     WM_INITDIALOG, WM_ENABLE, WM_ACTIVATE,
                                        WM_SHOWWINDOW, WM_COMMAND,    WM_DESTROY};

// What opening a modal box with a menu command and closing it with ok sends to the main window
// and the box (the ok itself is posted, so not heard). A dialog box hears WM_INITDIALOG after
// its WM_CREATE.
std::vector<SeqMessage> ModalBoxSequence(HWND main, HWND box, int command, bool initDialog)
{
    SeqMessage menuCommand{WM_COMMAND, SEQ_HWND | SEQ_WPARAM, MAKEWPARAM(command, 0), 0, main};
    // Each side of an activation names the other window.
    auto activate = [](HWND hwnd, WPARAM state, HWND other) {
        return SeqMessage{WM_ACTIVATE, SEQ_HWND | SEQ_WPARAM | SEQ_LPARAM, state, reinterpret_cast<LPARAM>(other), hwnd};
    };
    std::vector<SeqMessage> opening = {menuCommand, SentTo(main, WM_ENABLE, FALSE), SentTo(box, WM_CREATE)};
    if (initDialog) opening.push_back(SentTo(box, WM_INITDIALOG));
    std::vector<SeqMessage> boxActive = {activate(main, WA_INACTIVE, box), activate(box, WA_ACTIVE, main)};
    std::vector<SeqMessage> mainActive = {activate(box, WA_INACTIVE, main), activate(main, WA_ACTIVE, box)};
    std::vector<SeqMessage> rest;
#if defined(_WIN32)
    // The dialog manager gives the box's first control the focus after WM_INITDIALOG, which
    // activates the box before it shows; closing enables the owner again before the box hides.
    rest = boxActive;
    rest.push_back(SentTo(box, WM_SHOWWINDOW, TRUE));
    rest.push_back(SentTo(main, WM_ENABLE, TRUE));
    rest.insert(rest.end(), mainActive.begin(), mainActive.end());
#else
    // No control of these boxes takes the focus: a box is activated when it shows. EndDialog
    // hides the box (which activates the owner) and the owner is enabled when the modal loop has
    // ended; a message box is enabled again first, then hidden as it is destroyed.
    rest.push_back(SentTo(box, WM_SHOWWINDOW, TRUE));
    rest.insert(rest.end(), boxActive.begin(), boxActive.end());
    if (!initDialog) rest.push_back(SentTo(main, WM_ENABLE, TRUE));
    rest.push_back(SentTo(box, WM_SHOWWINDOW, FALSE));
    rest.insert(rest.end(), mainActive.begin(), mainActive.end());
    if (initDialog) rest.push_back(SentTo(main, WM_ENABLE, TRUE));
#endif
    opening.insert(opening.end(), rest.begin(), rest.end());
    opening.push_back(SentTo(box, WM_DESTROY));
    return opening;
}

}  // namespace

TEST(ProgramMessages, CreatingTheFaceInitialisesItFocusesTheFirstKeyAndDrawsEachShownKeyOnce)
{
    MessageRecorder heard(MessageRecorder::WholeThread{},
                          {WM_CREATE, WM_SETFONT, WM_INITDIALOG, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS,
                           WM_SHOWWINDOW, WM_PAINT, WM_DRAWITEM});
    g_heard = &heard;
    EXPECT_EQ(RunProgramWith([](HWND face) {
        HWND main = GetParent(face);
        HWND firstKey = GetDlgItem(face, IDC_DIGIT_0);
        // The keys' own creation and showing are theirs; their focus matters.
        g_heard->KeepOnly([&](const SeqMessage& m) {
            bool focus = m.msg == WM_SETFOCUS || m.msg == WM_KILLFOCUS;
            return m.hwnd == main || m.hwnd == face || (m.hwnd == firstKey && focus);
        });
        std::vector<SeqMessage> expected = {
            SentTo(main, WM_CREATE),  SentTo(face, WM_CREATE), SentTo(face, WM_SETFONT), SentTo(face, WM_INITDIALOG),
            // Focus given to an inactive window's key activates the window first; its default
            // procedure takes the focus, which the key then gets.
            SentTo(main, WM_ACTIVATE, WA_ACTIVE), SentTo(main, WM_SETFOCUS), SentTo(main, WM_KILLFOCUS),
            SentTo(firstKey, WM_SETFOCUS), SentTo(face, WM_SHOWWINDOW, TRUE), SentTo(main, WM_SHOWWINDOW, TRUE),
            PaintMessage(main), PaintMessage(face)};
        // The first paint draws every shown key once, the focused one with its focus.
        for (int id : ShownDrawnKeys(face)) expected.push_back(DrawItemMessage(id, id == IDC_DIGIT_0 ? ODS_FOCUS : 0));
        EXPECT_GT(expected.size(), 30u) << "the face shows its keys";
        expected.push_back({0, SEQ_ANY});
        ok_sequence(*g_heard, expected, "starting the program");
    }), 0);
    g_heard = nullptr;
}

TEST(ProgramMessages, AboutBoxOpensOverTheDisabledWindowAndClosesWithOk)
{
    MessageRecorder heard(MessageRecorder::WholeThread{}, kBoxMessages);
    g_heard = &heard;
    EXPECT_EQ(RunProgramWith([](HWND face) {
        HWND main = GetParent(face);
        HWND box = ChooseMenuCommandAndAnswerOk(main, IDM_ABOUT);
        ok_sequence(*g_heard, ModalBoxSequence(main, box, IDM_ABOUT, true), "the About box");
        EXPECT_TRUE(IsWindowEnabled(main));
    }), 0);
    g_heard = nullptr;
}

TEST(ProgramMessages, UninstallRemovesTheKeyAndSaysSoInABoxThatClosesWithOk)
{
    MessageRecorder heard(MessageRecorder::WholeThread{}, kBoxMessages);
    g_heard = &heard;
    EXPECT_EQ(RunProgramWith([](HWND face) {
        HWND main = GetParent(face);
        ASSERT_TRUE(InstallDeviceFiles());
        HWND box = ChooseMenuCommandAndAnswerOk(main, IDM_UNINSTALL);
#if defined(_WIN32)
        bool initDialog = true;  // a message box is a dialog
#else
        bool initDialog = false;  // the shell's message box is a window of its own class
#endif
        ok_sequence(*g_heard, ModalBoxSequence(main, box, IDM_UNINSTALL, initDialog), "the Uninstall box");
        HKEY key;
        EXPECT_NE(RegOpenKeyEx(HKEY_LOCAL_MACHINE, SETUP_REGISTRY_PARENT TEXT("\\") SETUP_REGISTRY_NAME, 0, KEY_READ, &key),
                  ERROR_SUCCESS)
            << "the program's key is gone";
    }), 0);
    g_heard = nullptr;
}
