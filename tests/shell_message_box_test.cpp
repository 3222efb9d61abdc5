// MessageBox: modal over its owner, found by its caption, shown in the navigation bar, closed
// by its OK button (or Enter or Escape), and never left hanging when the program quits.
#include <gtest/gtest.h>
#include <string>
#include "platform/drivers/backend.h"
#include "platform/shell/navigation_bar.h"
#include "platform/gdi/surface.h"
#include "tests/shell_test_support.h"

namespace {

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

const WCHAR kCaption[] = u"アンインストール";

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnableCrossProcessWindows(false);
        WNDCLASS wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.lpszClassName = u"ShellTestOwner";
        RegisterClass(&wc);
        m_owner = CreateWindowEx(0, u"ShellTestOwner", u"Owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_owner, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_owner);
        DestroyWindow(NavigationBarWindow());
        PumpMessages();
    }
    static HWND Box() { return FindWindow(nullptr, kCaption); }
    static void TapOk() { TapControl(GetDlgItem(Box(), IDOK)); }
    static void TapControl(HWND control)
    {
        RECT r;
        ASSERT_TRUE(GetWindowRect(control, &r));
        InjectTap(CentreOf(r));
    }

    HWND m_owner = nullptr;
};

}  // namespace

TEST_F(MessageBoxTest, IsModalOverItsOwnerAndClosesWithItsOkButton)
{
    bool checked = false;
    ModalScript script({[&] {
        HWND box = Box();
        ASSERT_NE(box, nullptr) << "the box is found by its caption";
        EXPECT_TRUE(IsWindowVisible(box));
        EXPECT_EQ(GetActiveWindow(), box);
        EXPECT_EQ(NavigationBarTitle(), kCaption);
        EXPECT_FALSE(IsWindowEnabled(m_owner));
        RECT r;
        GetWindowRect(box, &r);
        EXPECT_GE(r.top, kNavBarHeight);
        EXPECT_LE(r.bottom, kScreenHeight - kMenuBarHeight);
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.right, kScreenWidth);
        InjectTap(POINT{120, r.top - 10});  // the owner is disabled: nothing happens
        InjectTap(POINT{r.left + 3, r.top + 3});  // the box itself, not its button
        checked = true;
    },
                        [&] {
                            ASSERT_NE(Box(), nullptr) << "taps beside the OK button leave the box open";
                            TapOk();
                        }});
    int result = MessageBox(m_owner, u"レジストリの削除を行いました。アプリの終了後に、本体のファイルを削除してください。",
                            kCaption, MB_OK);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(GetActiveWindow(), m_owner);
    EXPECT_EQ(NavigationBarTitle(), u"Owner");
}

TEST_F(MessageBoxTest, EnterAndEscapeCloseItOtherKeysDoNot)
{
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
        bool sawOpenAfterOtherKey = false;
        ModalScript script({[] { PostMessage(GetActiveWindow(), WM_KEYDOWN, 'A', 1); },
                            [&] {
                                sawOpenAfterOtherKey = Box() != nullptr;
                                PostMessage(GetActiveWindow(), WM_KEYDOWN, key, 1);  // as the desktop window posts keys
                            }});
        EXPECT_EQ(MessageBox(m_owner, u"text", kCaption, MB_OK), IDOK);
        EXPECT_TRUE(sawOpenAfterOtherKey) << "key " << key;
        EXPECT_TRUE(script.Finished());
        EXPECT_FALSE(script.TimedOut());
    }
}

TEST_F(MessageBoxTest, LongTextKeepsTheBoxAndItsButtonOnTheScreen)
{
    std::u16string text(3000, u'長');
    RECT box{}, ok{};
    ModalScript script({[&] {
        GetWindowRect(Box(), &box);
        GetWindowRect(GetDlgItem(Box(), IDOK), &ok);
        TapOk();
    }});
    EXPECT_EQ(MessageBox(m_owner, text.c_str(), kCaption, MB_OK), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_GE(box.top, kNavBarHeight);
    EXPECT_LE(box.bottom, kScreenHeight - kMenuBarHeight);
    EXPECT_GE(ok.top, box.top);
    EXPECT_LE(ok.bottom, box.bottom);
}

TEST_F(MessageBoxTest, QuitEndsTheBoxAndReachesTheOuterLoop)
{
    ModalScript script({[] { PostQuitMessage(7); }});
    EXPECT_EQ(MessageBox(m_owner, u"text", kCaption, MB_OK), IDOK);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(MessageBoxTest, NullTextAndCaptionAndOwnerAreAccepted)
{
    ModalScript script({[] {
        HWND box = FindWindow(nullptr, u"Error");
        ASSERT_NE(box, nullptr);
        PostMessage(box, WM_CLOSE, 0, 0);
    }});
    EXPECT_EQ(MessageBox(nullptr, nullptr, nullptr, MB_OK), IDOK);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(FindWindow(nullptr, u"Error"), nullptr);
}

// The desktop backends run pen input inside their wait for events. A tap on OK made there must
// end the box's loop at once, not leave it asleep until some later event comes.
namespace {

int g_waitsAfterTap = -1;  // -1: OK not tapped yet

void PumpWithPen(int timeoutMs)
{
    HWND box = FindWindow(nullptr, kCaption);
    if (timeoutMs == 0 || !box) return;
    if (g_waitsAfterTap < 0) {
        RECT ok;
        GetWindowRect(GetDlgItem(box, IDOK), &ok);
        InjectTap(CentreOf(ok));
        g_waitsAfterTap = 0;
        return;
    }
    ++g_waitsAfterTap;
    PostMessage(nullptr, WM_NULL, 0, 0);  // a later event: keeps a box that slept on from hanging the test
}

}  // namespace

TEST_F(MessageBoxTest, APenTapOnOkInsideTheEventWaitEndsTheBoxAtOnce)
{
    Backend pen = HeadlessBackend();
    pen.pumpEvents = PumpWithPen;
    SetBackend(&pen);
    EXPECT_EQ(MessageBox(m_owner, u"text", kCaption, MB_OK), IDOK);
    SetBackend(nullptr);
    EXPECT_EQ(g_waitsAfterTap, 0) << "-1: OK never tapped; more: the box slept on after the tap";
    EXPECT_EQ(Box(), nullptr);
}
