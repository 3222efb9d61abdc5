// The keyboard's keys on the face, one table: typed characters (WM_CHAR) where the character is
// what the user means, whatever the layout; virtual keys (WM_KEYDOWN) for the keys that type no
// character and for the keypad, whose keys mean the same with Num Lock on or off.
#include "resources/key_table.h"
#include "resources/resource_ids.h"

namespace {

#define KT_CHAR 0

const KEYTAP kFaceKeyTaps[] = {
    /* kind      key          face key */
    {KT_CHAR,   u'0',         IDC_DIGIT_0 + 0x0},
    {KT_CHAR,   u'1',         IDC_DIGIT_0 + 0x1},
    {KT_CHAR,   u'2',         IDC_DIGIT_0 + 0x2},
    {KT_CHAR,   u'3',         IDC_DIGIT_0 + 0x3},
    {KT_CHAR,   u'4',         IDC_DIGIT_0 + 0x4},
    {KT_CHAR,   u'5',         IDC_DIGIT_0 + 0x5},
    {KT_CHAR,   u'6',         IDC_DIGIT_0 + 0x6},
    {KT_CHAR,   u'7',         IDC_DIGIT_0 + 0x7},
    {KT_CHAR,   u'8',         IDC_DIGIT_0 + 0x8},
    {KT_CHAR,   u'9',         IDC_DIGIT_0 + 0x9},
    {KT_CHAR,   u'a',         IDC_DIGIT_0 + 0xA},
    {KT_CHAR,   u'b',         IDC_DIGIT_0 + 0xB},
    {KT_CHAR,   u'c',         IDC_DIGIT_0 + 0xC},
    {KT_CHAR,   u'd',         IDC_DIGIT_0 + 0xD},
    {KT_CHAR,   u'e',         IDC_DIGIT_0 + 0xE},
    {KT_CHAR,   u'f',         IDC_DIGIT_0 + 0xF},
    {KT_CHAR,   u'A',         IDC_DIGIT_0 + 0xA},
    {KT_CHAR,   u'B',         IDC_DIGIT_0 + 0xB},
    {KT_CHAR,   u'C',         IDC_DIGIT_0 + 0xC},
    {KT_CHAR,   u'D',         IDC_DIGIT_0 + 0xD},
    {KT_CHAR,   u'E',         IDC_DIGIT_0 + 0xE},
    {KT_CHAR,   u'F',         IDC_DIGIT_0 + 0xF},
    {KT_CHAR,   u'+',         IDC_ADD},
    {KT_CHAR,   u'-',         IDC_SUB},
    {KT_CHAR,   u'*',         IDC_MUL},
    {KT_CHAR,   u'/',         IDC_DIV},
    {KT_CHAR,   u'=',         IDC_EQUALS},
    {KT_CHAR,   u'.',         IDC_POINT},
    {KT_CHAR,   u',',         IDC_POINT},
    {KT_CHAR,   u'%',         IDC_MOD},
    {KT_CHAR,   u'^',         IDC_POWER},
    {KT_CHAR,   u'!',         IDC_FACTORIAL},
    {KT_CHAR,   u'p',         IDC_PI},
    {FVIRTKEY,  VK_RETURN,    IDC_EQUALS},   // keypad Enter arrives as VK_RETURN too
    {FVIRTKEY,  VK_BACK,      IDC_BACKSPACE},
    {FVIRTKEY,  VK_ESCAPE,    IDC_CLEAR},
    {FVIRTKEY,  VK_DELETE,    IDC_CLEAR},
    {FVIRTKEY,  VK_ADD,       IDC_ADD},
    {FVIRTKEY,  VK_SUBTRACT,  IDC_SUB},
    {FVIRTKEY,  VK_MULTIPLY,  IDC_MUL},
    {FVIRTKEY,  VK_DIVIDE,    IDC_DIV},
    {FVIRTKEY,  VK_DECIMAL,   IDC_POINT},
};

}  // namespace

const KEYTAP* FaceKeyTaps(std::size_t* count)
{
    *count = sizeof(kFaceKeyTaps) / sizeof(kFaceKeyTaps[0]);
    return kFaceKeyTaps;
}
