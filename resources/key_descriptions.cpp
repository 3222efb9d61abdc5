// Short English descriptions of the face's controls, which screen readers offer beside the
// (Japanese or symbolic) captions.
#include "resources/key_table.h"
#include "resources/resource_ids.h"

namespace {

const CONTROLDESCRIPTION kFaceDescriptions[] = {
    /* control             description */
    {IDC_DISPLAY_STORE,    TEXT("display")},
    {IDC_DIGIT_0 + 0x0,    TEXT("digit zero")},
    {IDC_DIGIT_0 + 0x1,    TEXT("digit one")},
    {IDC_DIGIT_0 + 0x2,    TEXT("digit two")},
    {IDC_DIGIT_0 + 0x3,    TEXT("digit three")},
    {IDC_DIGIT_0 + 0x4,    TEXT("digit four")},
    {IDC_DIGIT_0 + 0x5,    TEXT("digit five")},
    {IDC_DIGIT_0 + 0x6,    TEXT("digit six")},
    {IDC_DIGIT_0 + 0x7,    TEXT("digit seven")},
    {IDC_DIGIT_0 + 0x8,    TEXT("digit eight")},
    {IDC_DIGIT_0 + 0x9,    TEXT("digit nine")},
    {IDC_DIGIT_0 + 0xA,    TEXT("hex digit A")},
    {IDC_DIGIT_0 + 0xB,    TEXT("hex digit B")},
    {IDC_DIGIT_0 + 0xC,    TEXT("hex digit C")},
    {IDC_DIGIT_0 + 0xD,    TEXT("hex digit D")},
    {IDC_DIGIT_0 + 0xE,    TEXT("hex digit E")},
    {IDC_DIGIT_0 + 0xF,    TEXT("hex digit F")},
    {IDC_NEGATE,           TEXT("change sign")},
    {IDC_POINT,            TEXT("decimal point")},
    {IDC_ADD,              TEXT("plus")},
    {IDC_SUB,              TEXT("minus")},
    {IDC_MUL,              TEXT("times")},
    {IDC_DIV,              TEXT("divided by")},
    {IDC_EQUALS,           TEXT("equals")},
    {IDC_MEM_CLEAR,        TEXT("clear memory")},
    {IDC_MEM_RECALL,       TEXT("recall memory")},
    {IDC_MEM_ADD,          TEXT("add to memory")},
    {IDC_MEM_SUB,          TEXT("subtract from memory")},
    {IDC_CLEAR,            TEXT("clear entry, twice clears all")},
    {IDC_BASE_HEX,         TEXT("hexadecimal mode")},
    {IDC_BASE_DEC,         TEXT("decimal mode")},
    {IDC_BASE_BIN,         TEXT("binary mode")},
    {IDC_POW10,            TEXT("ten to the power of x")},
    {IDC_POWER,            TEXT("x to the power of y")},
    {IDC_SQUARE,           TEXT("square")},
    {IDC_FACTORIAL,        TEXT("factorial")},
    {IDC_LOG,              TEXT("common logarithm")},
    {IDC_LN,               TEXT("natural logarithm")},
    {IDC_SQRT,             TEXT("square root")},
    {IDC_EXP,              TEXT("e to the power of x")},
    {IDC_MOD,              TEXT("modulo")},
    {IDC_AND,              TEXT("bitwise and")},
    {IDC_OR,               TEXT("bitwise or")},
    {IDC_XOR,              TEXT("bitwise exclusive or")},
    {IDC_NOT,              TEXT("bitwise not")},
    {IDC_PI,               TEXT("pi")},
    {IDC_SIN,              TEXT("sine")},
    {IDC_COS,              TEXT("cosine")},
    {IDC_TAN,              TEXT("tangent")},
    {IDC_SINH,             TEXT("hyperbolic sine")},
    {IDC_COSH,             TEXT("hyperbolic cosine")},
    {IDC_TANH,             TEXT("hyperbolic tangent")},
    {IDC_ASIN,             TEXT("arc sine")},
    {IDC_ACOS,             TEXT("arc cosine")},
    {IDC_ATAN,             TEXT("arc tangent")},
    {IDC_ANGLE_UNIT,       TEXT("angle unit, degrees or radians")},
    {IDC_TRIG_PANEL,       TEXT("trigonometric functions panel")},
    {IDC_BACKSPACE,        TEXT("backspace")},
};

}  // namespace

const CONTROLDESCRIPTION* FaceKeyDescriptions(std::size_t* count)
{
    *count = sizeof(kFaceDescriptions) / sizeof(kFaceDescriptions[0]);
    return kFaceDescriptions;
}
