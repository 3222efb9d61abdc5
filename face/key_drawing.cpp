// Owner-drawn keys: the group's bitmap from the key's top-left corner, the caption in a heavy
// font centred on the key (key_caption). No focus rectangle and no disabled look: the face needs
// neither.
#include "face/key_drawing.h"

#include "face/face.h"
#include "face/key_caption.h"
#include "resources/resource_ids.h"

namespace {

// 16 units: the longest caption ("＋/－", "三角関") is far shorter.
constexpr int kCaptionCap = 16;
// The raised bitmaps' bevel: two pixels at the top and left, four at the right and bottom.
constexpr LONG kBevelLeading = 2;
constexpr LONG kBevelTrailing = 4;

bool IsDigitKey(int id) { return id >= IDC_DIGIT_0 && id <= IDC_DIGIT_F; }
bool IsClearKey(int id) { return id == IDC_CLEAR || id == IDC_BACKSPACE; }
bool IsModeKey(int id) { return id == IDC_ANGLE_UNIT || id == IDC_TRIG_PANEL; }

BOOL IsKeyPushed(HWND hDlg, int id)
{
    LRESULT state = SendMessage(GetDlgItem(hDlg, id), BM_GETSTATE, 0, 0);
    return (state & BST_PUSHED) ? TRUE : FALSE;
}

// The memory context holding the key's bitmap; the bitmap keeps its own size, so "＝" pressed
// shows the 43-pixel pressed bitmap on its left part only.
struct KeyBitmap {
    HDC hdcMem;
    HBITMAP hbm;
    BITMAP bm;
};

KeyBitmap LoadKeyBitmap(HDC hdc, int bitmapId)
{
    KeyBitmap key = {};
    key.hdcMem = CreateCompatibleDC(hdc);
    key.hbm = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(bitmapId));  // the program's own
    GetObject(key.hbm, sizeof(key.bm), &key.bm);
    SelectObject(key.hdcMem, key.hbm);
    return key;
}

void FreeKeyBitmap(const KeyBitmap& key)
{
    DeleteDC(key.hdcMem);
    DeleteObject(key.hbm);
}

// The face of the key's own raised bitmap, inside the bevel; the caption keeps to it also while
// the (smaller) pressed bitmap is shown, so that it does not move under the pen.
RECT KeyFace(int id)
{
    HBITMAP hbm = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(KeyBitmapId(id, FALSE)));
    BITMAP bm = {};
    GetObject(hbm, sizeof(bm), &bm);
    DeleteObject(hbm);
    return {kBevelLeading, kBevelLeading, bm.bmWidth - kBevelTrailing, bm.bmHeight - kBevelTrailing};
}

}  // namespace

int KeyBitmapId(int id, BOOL pushed)
{
    if (pushed) return IDB_KEY_PRESSED;
    if (IsDigitKey(id)) return IDB_KEY_DIGIT;
    if (IsClearKey(id)) return IDB_KEY_CLEAR;
    if (id == IDC_EQUALS) return IDB_KEY_EQUALS;
    if (IsModeKey(id)) return IDB_KEY_MODE;
    return IDB_KEY_FUNC;
}

BOOL OnCalcDrawItem(HWND hDlg, WPARAM wParam, LPARAM lParam)
{
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (dis == nullptr) return FALSE;
    if (dis->CtlType != ODT_BUTTON) {
        return static_cast<BOOL>(DefWindowProc(hDlg, WM_DRAWITEM, wParam, lParam));
    }
    int id = static_cast<int>(wParam);
    int bitmapId = KeyBitmapId(id, IsKeyPushed(hDlg, id));

    WCHAR caption[kCaptionCap] = {};
    GetWindowText(GetDlgItem(hDlg, id), caption, kCaptionCap);

    HDC hdc = dis->hDC;
    KeyBitmap key = LoadKeyBitmap(hdc, bitmapId);
    SetBkMode(hdc, TRANSPARENT);
    BitBlt(hdc, 0, 0, key.bm.bmWidth, key.bm.bmHeight, key.hdcMem, 0, 0, SRCCOPY);

    // The text colour is the device context's own; the caption is centred on the whole key.
    DrawKeyCaption(hdc, caption, dis->rcItem, KeyFace(id));
    FreeKeyBitmap(key);
    return TRUE;
}
