// The window core: handles, messages, painting order, dialogs and the controls the face uses.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "platform/user/input.h"
#include "platform/kernel/resource_table.h"
#include "platform/windows.h"
#include "tests/message_sequence.h"

namespace {

MessageRecorder g_log({WM_PAINT, WM_COMMAND, WM_DRAWITEM, WM_CREATE, WM_DESTROY});

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_log.Record(hwnd, msg, wParam, lParam);
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK RecordingDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DRAWITEM || msg == WM_COMMAND) {
        g_log.Record(hwnd, msg, wParam, lParam);
        return TRUE;
    }
    return msg == WM_INITDIALOG;
}

void RegisterRecordingClass()
{
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASS wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = u"Recording";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    ASSERT_NE(RegisterClass(&wc), 0);
}

HWND MakeWindow(HWND parent, int x, int y, int cx, int cy, DWORD style = WS_VISIBLE, int id = 0)
{
    RegisterRecordingClass();
    return CreateWindowEx(0, u"Recording", u"", style | (parent ? WS_CHILD : 0), x, y, cx, cy, parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
}

std::vector<WORD> SmallDialog()
{
    static const DialogItemDesc items[] = {
        {10, u"BUTTON", u"A", 0, 0, 20, 10, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0},
        {11, u"BUTTON", u"R1", 0, 20, 20, 10, WS_CHILD | WS_VISIBLE | WS_GROUP | BS_PUSHLIKE | BS_AUTORADIOBUTTON, 0},
        {12, u"BUTTON", u"R2", 30, 20, 20, 10, WS_CHILD | WS_VISIBLE | BS_PUSHLIKE | BS_AUTORADIOBUTTON, 0},
        {13, u"BUTTON", u"X", 60, 20, 20, 10, WS_CHILD | WS_VISIBLE | WS_GROUP | BS_PUSHLIKE | BS_AUTORADIOBUTTON, 0},
        {14, u"EDIT", u"", 0, 40, 40, 10, WS_CHILD | ES_UPPERCASE, 0},
    };
    static const DialogDesc d = {WS_CHILD | WS_VISIBLE | DS_SETFONT, 0, 0, 0, 100, 60, u"", 9, u"System", items, 5};
    return BuildDialogTemplate(d);
}

}  // namespace

TEST(WindowCore, BadHandlesGiveFailureValues)
{
    HWND stale = MakeWindow(nullptr, 0, 0, 10, 10, 0);
    ASSERT_TRUE(IsWindow(stale));
    DestroyWindow(stale);
    const HWND bad[] = {stale, reinterpret_cast<HWND>(1), reinterpret_cast<HWND>(0xDEADBEEF),
                        reinterpret_cast<HWND>(~std::uintptr_t(3))};
    for (HWND h : bad) {
        RECT r{1, 2, 3, 4};
        WCHAR text[8] = u"keep";
        EXPECT_FALSE(IsWindow(h));
        EXPECT_FALSE(ShowWindow(h, SW_SHOW));
        EXPECT_FALSE(GetWindowRect(h, &r));
        EXPECT_FALSE(GetClientRect(h, &r));
        EXPECT_EQ(GetWindowText(h, text, 8), 0);
        EXPECT_EQ(text[0], 0);
        EXPECT_FALSE(SetWindowText(h, u"x"));
        EXPECT_EQ(SendMessage(h, WM_COMMAND, 1, 0), 0);
        EXPECT_FALSE(InvalidateRect(h, nullptr, FALSE));
        EXPECT_FALSE(UpdateWindow(h));
        EXPECT_FALSE(DestroyWindow(h));
        EXPECT_EQ(GetDlgItem(h, 1), nullptr);
        EXPECT_EQ(GetParent(h), nullptr);
        PAINTSTRUCT ps;
        EXPECT_EQ(BeginPaint(h, &ps), nullptr);
        EXPECT_EQ(GetDC(h), nullptr);
    }
}

TEST(WindowCore, PostedMessagesComeInOrderAndQuitEndsTheLoop)
{
    HWND w = MakeWindow(nullptr, 0, 0, 10, 10, 0);
    PostMessage(w, WM_USER + 1, 1, 0);
    PostMessage(w, WM_USER + 2, 2, 0);
    PostQuitMessage(7);
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER + 1u);
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(w);
}

TEST(WindowCore, InvalidatingAParentRepaintsTheChildrenItCoversAfterIt)
{
    HWND parent = MakeWindow(nullptr, 0, 30, 200, 200);
    HWND covered = MakeWindow(parent, 10, 10, 20, 20);
    HWND elsewhere = MakeWindow(parent, 100, 100, 20, 20);
    HWND hidden = MakeWindow(parent, 10, 10, 20, 20, 0);
    UpdateWindow(parent);
    g_log.Clear();
    RECT part{0, 0, 50, 50};
    InvalidateRect(parent, &part, FALSE);
    UpdateWindow(parent);
    ok_sequence(g_log, {PaintMessage(parent), PaintMessage(covered)}, "the parent, then the child it covers");
    (void)elsewhere;
    (void)hidden;
    DestroyWindow(parent);
}

TEST(WindowCore, ClipChildrenKeepsChildrenOutOfTheParentsRepaint)
{
    HWND parent = MakeWindow(nullptr, 0, 30, 200, 200, WS_VISIBLE | WS_CLIPCHILDREN);
    MakeWindow(parent, 10, 10, 20, 20);
    UpdateWindow(parent);
    g_log.Clear();
    InvalidateRect(parent, nullptr, FALSE);
    UpdateWindow(parent);
    ok_sequence(g_log, {PaintMessage(parent)}, "the parent alone");
    DestroyWindow(parent);
}

TEST(WindowCore, DialogUnitsBecomePixelsBySystemFontBaseUnits)
{
    HWND host = MakeWindow(nullptr, 0, 26, 240, 294);
    std::vector<WORD> t = SmallDialog();
    HWND dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), host,
                                         RecordingDlgProc, 0);
    ASSERT_NE(dlg, nullptr);
    RECT r;
    GetClientRect(dlg, &r);
    EXPECT_EQ(r.right, 175);  // 100 * 7 / 4
    EXPECT_EQ(r.bottom, 105); // 60 * 14 / 8
    RECT key, host_r;
    GetWindowRect(GetDlgItem(dlg, 12), &key);
    GetWindowRect(host, &host_r);
    EXPECT_EQ(key.left - host_r.left, 53);  // 30 * 7 / 4 = 52.5, rounded
    EXPECT_EQ(key.top - host_r.top, 35);
    EXPECT_EQ(key.right - key.left, 35);
    EXPECT_EQ(key.bottom - key.top, 18);  // 10 * 14 / 8 = 17.5, rounded
    DestroyWindow(host);
}

TEST(WindowCore, TapOnOwnerDrawnKeyDrawsPressedThenReleasedThenClicks)
{
    HWND host = MakeWindow(nullptr, 0, 26, 240, 294);
    std::vector<WORD> t = SmallDialog();
    HWND dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), host,
                                         RecordingDlgProc, 0);
    UpdateWindow(host);
    g_log.Clear();
    RECT key;
    GetWindowRect(GetDlgItem(dlg, 10), &key);
    InjectTap(POINT{key.left + 3, key.top + 3});
    ok_sequence(g_log, {DrawItemMessage(10, ODS_SELECTED), DrawItemMessage(10, 0), ClickMessage(10)}, "a tap");
    // A pen that slides off the key before lifting does not click.
    InjectPenDown(POINT{key.left + 3, key.top + 3});
    EXPECT_EQ(SendMessage(GetDlgItem(dlg, 10), BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    InjectPenMove(POINT{key.right + 40, key.top + 3});
    InjectPenUp(POINT{key.right + 40, key.top + 3});
    ok_sequence(g_log, {DrawItemMessage(10, ODS_SELECTED), DrawItemMessage(10, 0)}, "a pen that slid off");
    EXPECT_EQ(SendMessage(GetDlgItem(dlg, 10), BM_GETSTATE, 0, 0), 0);
    DestroyWindow(host);
}

TEST(WindowCore, AutoRadioButtonsCheckOneOfTheirGroup)
{
    HWND host = MakeWindow(nullptr, 0, 26, 240, 294);
    std::vector<WORD> t = SmallDialog();
    HWND dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), host,
                                         RecordingDlgProc, 0);
    SendDlgItemMessage(dlg, 11, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessage(dlg, 13, BM_SETCHECK, BST_CHECKED, 0);
    RECT r2;
    GetWindowRect(GetDlgItem(dlg, 12), &r2);
    InjectTap(POINT{r2.left + 2, r2.top + 2});
    EXPECT_EQ(SendDlgItemMessage(dlg, 11, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessage(dlg, 12, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessage(dlg, 13, BM_GETCHECK, 0, 0), BST_CHECKED);  // another group
    // Owner-drawn push buttons keep no check state.
    SendDlgItemMessage(dlg, 10, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendDlgItemMessage(dlg, 10, BM_GETCHECK, 0, 0), 0);
    DestroyWindow(host);
}

TEST(WindowCore, EditUpperCasesOnSetAndFetchHonoursTheLimit)
{
    HWND host = MakeWindow(nullptr, 0, 26, 240, 294);
    std::vector<WORD> t = SmallDialog();
    HWND dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), host,
                                         RecordingDlgProc, 0);
    SetDlgItemText(dlg, 14, u"ff0a.b");
    WCHAR buf[300];
    EXPECT_EQ(GetDlgItemText(dlg, 14, buf, 300), 6u);
    EXPECT_EQ(std::u16string(buf), u"FF0A.B");
    std::u16string longText(300, u'1');
    SetDlgItemText(dlg, 14, longText.c_str());
    EXPECT_EQ(GetWindowTextLength(GetDlgItem(dlg, 14)), 300);
    EXPECT_EQ(GetDlgItemText(dlg, 14, buf, 255), 254u);
    EXPECT_EQ(std::u16string(buf).size(), 254u);
    EXPECT_EQ(GetDlgItemText(dlg, 14, buf, 1), 0u);
    EXPECT_EQ(buf[0], 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, 14)));
    DestroyWindow(host);
}

TEST(WindowCore, DestroyingAParentDestroysItsChildren)
{
    HWND parent = MakeWindow(nullptr, 0, 30, 100, 100);
    HWND child = MakeWindow(parent, 0, 0, 10, 10);
    HWND grandchild = MakeWindow(child, 0, 0, 5, 5);
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
}

TEST(WindowCore, AWindowAboveRepaintsAfterTheOneBelowItPaints)
{
    HWND below = MakeWindow(nullptr, 0, 26, 240, 200);
    HWND above = MakeWindow(nullptr, 20, 60, 100, 50);
    HWND apart = MakeWindow(nullptr, 0, 250, 240, 40);
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessage(&msg);
    g_log.Clear();
    InvalidateRect(below, nullptr, FALSE);
    UpdateWindow(below);
    while (PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessage(&msg);
    ok_sequence(g_log, {PaintMessage(below), PaintMessage(above)}, "the window below, then the one above");
    for (HWND h : {below, above, apart}) DestroyWindow(h);
}
