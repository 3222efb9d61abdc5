// Key-sequence helpers for the engine's tests: key names to command identifiers, pressing a
// sequence on the real face, and reading back what the face holds.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "engine/calc_state.h"
#include "platform/windows.h"
#include "resources/resource_ids.h"
#include "tests/face_fixture.h"

namespace enginetest {

struct KeyName {
    const char* name;
    int id;
};

// Named keys win over typing: "DEC" is the base key, "D E C" types three digits.
inline const KeyName kKeyNames[] = {
    {"+", IDC_ADD},        {"-", IDC_SUB},          {"*", IDC_MUL},         {"/", IDC_DIV},
    {"=", IDC_EQUALS},     {"CLR", IDC_CLEAR},      {"BS", IDC_BACKSPACE},  {"pi", IDC_PI},
    {"AND", IDC_AND},      {"OR", IDC_OR},          {"XOR", IDC_XOR},       {"NOT", IDC_NOT},
    {"MOD", IDC_MOD},      {"x^y", IDC_POWER},      {"+/-", IDC_NEGATE},    {"sqrt", IDC_SQRT},
    {"x^2", IDC_SQUARE},   {"10^x", IDC_POW10},     {"n!", IDC_FACTORIAL},  {"EXP", IDC_EXP},
    {"log", IDC_LOG},      {"ln", IDC_LN},          {"sin", IDC_SIN},       {"cos", IDC_COS},
    {"tan", IDC_TAN},      {"sinh", IDC_SINH},      {"cosh", IDC_COSH},     {"tanh", IDC_TANH},
    {"asin", IDC_ASIN},    {"acos", IDC_ACOS},      {"atan", IDC_ATAN},     {"HEX", IDC_BASE_HEX},
    {"DEC", IDC_BASE_DEC}, {"BIN", IDC_BASE_BIN},   {"RAD/DEG", IDC_ANGLE_UNIT},
    {"TRIG", IDC_TRIG_PANEL}, {"RC", IDC_MEM_CLEAR}, {"RM", IDC_MEM_RECALL},
    {"M+", IDC_MEM_ADD},   {"M-", IDC_MEM_SUB},
};

inline int TypedKey(char c)
{
    if (c >= '0' && c <= '9') return IDC_DIGIT_0 + (c - '0');
    if (c >= 'A' && c <= 'F') return IDC_DIGIT_0 + 10 + (c - 'A');
    if (c == '.') return IDC_POINT;
    return -1;
}

// "5 + 3 4 BS =" or "FF + 1 =": a token is a named key or a run of digits and points typed one
// key each. An unknown token fails the test.
inline std::vector<int> KeyIds(const std::string& keys)
{
    std::vector<int> ids;
    std::istringstream tokens(keys);
    std::string token;
    while (tokens >> token) {
        bool named = false;
        for (const KeyName& key : kKeyNames) {
            if (token == key.name) {
                ids.push_back(key.id);
                named = true;
                break;
            }
        }
        if (named) continue;
        for (char c : token) {
            int id = TypedKey(c);
            EXPECT_NE(id, -1) << "unknown key token \"" << token << "\"";
            if (id != -1) ids.push_back(id);
        }
    }
    return ids;
}

inline std::string Narrow(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

inline std::u16string StoreText(HWND face)
{
    WCHAR buffer[1024] = {};
    GetWindowText(GetDlgItem(face, IDC_DISPLAY_STORE), buffer, 1024);
    return buffer;
}

inline std::u16string UpperDisplayText()
{
    std::u16string text;
    for (int i = 0; i < kDisplayTextCap && g_calc.displayText[i] != 0; ++i) {
        char16_t c = g_calc.displayText[i];
        text += (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
    }
    return text;
}

inline BOOL IsChecked(HWND face, int id)
{
    return SendDlgItemMessage(face, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Presses the keys in order; returns what the last one returned.
inline BOOL PressSequence(HWND face, const std::string& keys)
{
    BOOL result = FALSE;
    for (int id : KeyIds(keys)) result = PressKey(face, id);
    return result;
}

// Sends a command as a key would, but with any notification code; the dialog procedure's result.
inline BOOL SendCommand(HWND face, int id, int code)
{
    return SendFaceCommand(face, id, code);
}

inline bool SameState(const CalcState& a, const CalcState& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A fresh face for each test, as the shell makes it at start-up.
class EngineFace : public ::testing::Test {
protected:
    void SetUp() override
    {
        face_ = CreateTestFace();
        ASSERT_NE(face_, nullptr);
    }
    void TearDown() override { DestroyTestFace(); }
    HWND face_ = nullptr;
};

}  // namespace enginetest
