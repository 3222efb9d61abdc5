// Looking up a child by id keeps answering as a scan in creation order would, however the
// children change between two look-ups of the same id.
#include <gtest/gtest.h>
#include "platform/windows.h"

namespace {

HWND Child(HWND parent, int id)
{
    return CreateWindowEx(0, u"STATIC", u"", WS_CHILD, 0, 0, 10, 10, parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
}

TEST(DlgItemLookupTest, AnswerFollowsTheChildren)
{
    InitCommonControls();
    HWND parent = CreateWindowEx(0, u"STATIC", u"", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    HWND first = Child(parent, 7);
    HWND other = Child(parent, 8);
    HWND second = Child(parent, 7);
    ASSERT_TRUE(first && other && second);

    EXPECT_EQ(GetDlgItem(parent, 7), first);
    EXPECT_EQ(GetDlgItem(parent, 7), first) << "asked again";
    EXPECT_EQ(GetDlgItem(parent, 0x10007), first) << "only the low word is an id";

    // An earlier sibling that takes the id comes first from then on.
    SetWindowLongPtr(first, GWL_ID, 9);
    EXPECT_EQ(GetDlgItem(parent, 7), second);
    SetWindowLongPtr(other, GWL_ID, 7);
    EXPECT_EQ(GetDlgItem(parent, 7), other);
    EXPECT_EQ(GetDlgItem(parent, 9), first);

    // The one remembered goes away: the next in order answers, then none.
    DestroyWindow(other);
    EXPECT_EQ(GetDlgItem(parent, 7), second);
    DestroyWindow(second);
    EXPECT_EQ(GetDlgItem(parent, 7), nullptr);
    HWND again = Child(parent, 7);
    EXPECT_EQ(GetDlgItem(parent, 7), again);

    // Another parent's child with the same id is not this parent's.
    HWND stranger = CreateWindowEx(0, u"STATIC", u"", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetDlgItem(stranger, 7), nullptr);
    DestroyWindow(stranger);
    DestroyWindow(parent);
    EXPECT_EQ(GetDlgItem(parent, 9), nullptr);
}

}  // namespace
