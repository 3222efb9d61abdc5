// Which bitmap each owner-drawn key shows, released and pressed.
#include <gtest/gtest.h>

#include "face/key_drawing.h"
#include "resources/resource_ids.h"

namespace {

struct KeyBitmapCase {
    int id;
    int bitmapId;
};

const KeyBitmapCase kKeyBitmaps[] = {
    // id             bitmap when released
    {IDC_DIGIT_0,     IDB_KEY_DIGIT},
    {1009,            IDB_KEY_DIGIT},
    {IDC_DIGIT_F,     IDB_KEY_DIGIT},
    {IDC_CLEAR,       IDB_KEY_CLEAR},
    {IDC_BACKSPACE,   IDB_KEY_CLEAR},
    {IDC_EQUALS,      IDB_KEY_EQUALS},
    {IDC_ANGLE_UNIT,  IDB_KEY_MODE},
    {IDC_TRIG_PANEL,  IDB_KEY_MODE},
    {IDC_ADD,         IDB_KEY_FUNC},
    {IDC_POINT,       IDB_KEY_FUNC},
    {IDC_MEM_RECALL,  IDB_KEY_FUNC},
    {IDC_NEGATE,      IDB_KEY_FUNC},
    {IDC_PI,          IDB_KEY_FUNC},
    {IDC_NOT,         IDB_KEY_FUNC},
    {999,             IDB_KEY_FUNC},  // just outside the digits
    {1016,            IDB_KEY_FUNC},
};

// Pressed, a key of any group shows the one pressed bitmap.
TEST(KeyBitmapId, ChoosesByGroupAndPressedState)
{
    for (const KeyBitmapCase& c : kKeyBitmaps) {
        EXPECT_EQ(KeyBitmapId(c.id, FALSE), c.bitmapId) << "key " << c.id;
        EXPECT_EQ(KeyBitmapId(c.id, TRUE), IDB_KEY_PRESSED) << "key " << c.id;
    }
}

}  // namespace
