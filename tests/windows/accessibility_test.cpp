// What screen readers on Windows hear of the face, through MSAA (oleacc) on the real windows:
// each shown key is named by its caption and described in English, and the display, a hidden
// edit control whose text the face paints, is offered as shown read-only text whose value is the
// number shown.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <string>
#include "engine/calc_state.h"
#include "resources/key_table.h"
#include "resources/resource_ids.h"
#include "tests/program_loop.h"

namespace {

struct Answer {
    HRESULT result = E_FAIL;
    std::wstring name, value, description;
    long role = 0, state = 0;
};

std::wstring Take(BSTR text)
{
    std::wstring taken = text ? text : L"";
    SysFreeString(text);
    return taken;
}

// What the window's client object answers for itself, as a screen reader asks.
Answer AskAbout(HWND hwnd)
{
    Answer answer;
    IAccessible* object = nullptr;
    // __uuidof: mingw-w64's IID_IAccessible symbol links to oleacc's import thunk, not the IID.
    answer.result = AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    if (FAILED(answer.result) || !object) return answer;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (object->get_accName(self, &text) == S_OK) answer.name = Take(text);
    text = nullptr;
    if (object->get_accValue(self, &text) == S_OK) answer.value = Take(text);
    text = nullptr;
    if (object->get_accDescription(self, &text) == S_OK) answer.description = Take(text);
    VARIANT v;
    VariantInit(&v);
    if (object->get_accRole(self, &v) == S_OK && v.vt == VT_I4) answer.role = v.lVal;
    VariantClear(&v);
    if (object->get_accState(self, &v) == S_OK && v.vt == VT_I4) answer.state = v.lVal;
    VariantClear(&v);
    object->Release();
    return answer;
}

std::wstring WindowText(HWND hwnd)
{
    WCHAR text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

std::wstring DescriptionOf(int id)
{
    std::size_t count = 0;
    const CONTROLDESCRIPTION* table = FaceKeyDescriptions(&count);
    for (std::size_t i = 0; i < count; ++i) {
        if (table[i].id == id) return reinterpret_cast<const wchar_t*>(table[i].text);
    }
    return L"";
}

}  // namespace

TEST(Accessibility, EachShownKeyIsNamedByItsCaptionAndTheDisplayGivesTheNumberShown)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    EXPECT_EQ(RunProgramWith([](HWND face) {
        for (int id : {IDC_DIGIT_0 + 1, IDC_DIGIT_0 + 2, IDC_ADD, IDC_DIGIT_0 + 3, IDC_EQUALS}) TapKey(face, id);
        ASSERT_STREQ(reinterpret_cast<const wchar_t*>(g_calc.displayText), L"15.");
        int keys = 0;
        for (HWND key = GetWindow(face, GW_CHILD); key; key = GetWindow(key, GW_HWNDNEXT)) {
            int id = GetDlgCtrlID(key);
            if (id == IDC_DISPLAY_STORE || !(GetWindowLong(key, GWL_STYLE) & WS_VISIBLE)) continue;
            Answer a = AskAbout(key);
            SCOPED_TRACE("key " + std::to_string(id));
            ASSERT_EQ(a.result, S_OK);
            EXPECT_FALSE(WindowText(key).empty()) << "every key has a caption";
            EXPECT_EQ(a.name, WindowText(key));
            EXPECT_FALSE(DescriptionOf(id).empty());
            EXPECT_EQ(a.description, DescriptionOf(id)) << "the English description beside the caption";
            EXPECT_FALSE(a.state & STATE_SYSTEM_INVISIBLE);
            ++keys;
        }
        EXPECT_GT(keys, 25) << "the face's shown keys";

        Answer display = AskAbout(GetDlgItem(face, IDC_DISPLAY_STORE));
        ASSERT_EQ(display.result, S_OK);
        EXPECT_EQ(display.value, L"15.");
        EXPECT_EQ(display.description, DescriptionOf(IDC_DISPLAY_STORE));
        EXPECT_FALSE(display.state & STATE_SYSTEM_INVISIBLE) << "the face paints it: it is shown";
        EXPECT_TRUE(display.state & STATE_SYSTEM_READONLY) << "only the keys change it";
    }), 0);
    CoUninitialize();
}
