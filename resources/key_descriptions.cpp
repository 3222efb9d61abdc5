// Short English descriptions of the face's controls, which screen readers offer beside the
// (Japanese or symbolic) captions.
#include "resources/key_table.h"
#include "resources/resource_ids.h"

namespace {

const CONTROLDESCRIPTION kFaceDescriptions[] = {
    /* control             description */
    {IDC_DISPLAY_STORE,    u"display"},
    {IDC_DIGIT_0 + 0x0,    u"digit zero"},
    {IDC_DIGIT_0 + 0x1,    u"digit one"},
    {IDC_DIGIT_0 + 0x2,    u"digit two"},
    {IDC_DIGIT_0 + 0x3,    u"digit three"},
    {IDC_DIGIT_0 + 0x4,    u"digit four"},
    {IDC_DIGIT_0 + 0x5,    u"digit five"},
    {IDC_DIGIT_0 + 0x6,    u"digit six"},
    {IDC_DIGIT_0 + 0x7,    u"digit seven"},
    {IDC_DIGIT_0 + 0x8,    u"digit eight"},
    {IDC_DIGIT_0 + 0x9,    u"digit nine"},
    {IDC_DIGIT_0 + 0xA,    u"hex digit A"},
    {IDC_DIGIT_0 + 0xB,    u"hex digit B"},
    {IDC_DIGIT_0 + 0xC,    u"hex digit C"},
    {IDC_DIGIT_0 + 0xD,    u"hex digit D"},
    {IDC_DIGIT_0 + 0xE,    u"hex digit E"},
    {IDC_DIGIT_0 + 0xF,    u"hex digit F"},
    {IDC_NEGATE,           u"change sign"},
    {IDC_POINT,            u"decimal point"},
    {IDC_ADD,              u"plus"},
    {IDC_SUB,              u"minus"},
    {IDC_MUL,              u"times"},
    {IDC_DIV,              u"divided by"},
    {IDC_EQUALS,           u"equals"},
    {IDC_MEM_CLEAR,        u"clear memory"},
    {IDC_MEM_RECALL,       u"recall memory"},
    {IDC_MEM_ADD,          u"add to memory"},
    {IDC_MEM_SUB,          u"subtract from memory"},
    {IDC_CLEAR,            u"clear entry, twice clears all"},
    {IDC_BASE_HEX,         u"hexadecimal mode"},
    {IDC_BASE_DEC,         u"decimal mode"},
    {IDC_BASE_BIN,         u"binary mode"},
    {IDC_POW10,            u"ten to the power of x"},
    {IDC_POWER,            u"x to the power of y"},
    {IDC_SQUARE,           u"square"},
    {IDC_FACTORIAL,        u"factorial"},
    {IDC_LOG,              u"common logarithm"},
    {IDC_LN,               u"natural logarithm"},
    {IDC_SQRT,             u"square root"},
    {IDC_EXP,              u"e to the power of x"},
    {IDC_MOD,              u"modulo"},
    {IDC_AND,              u"bitwise and"},
    {IDC_OR,               u"bitwise or"},
    {IDC_XOR,              u"bitwise exclusive or"},
    {IDC_NOT,              u"bitwise not"},
    {IDC_PI,               u"pi"},
    {IDC_SIN,              u"sine"},
    {IDC_COS,              u"cosine"},
    {IDC_TAN,              u"tangent"},
    {IDC_SINH,             u"hyperbolic sine"},
    {IDC_COSH,             u"hyperbolic cosine"},
    {IDC_TANH,             u"hyperbolic tangent"},
    {IDC_ASIN,             u"arc sine"},
    {IDC_ACOS,             u"arc cosine"},
    {IDC_ATAN,             u"arc tangent"},
    {IDC_ANGLE_UNIT,       u"angle unit, degrees or radians"},
    {IDC_TRIG_PANEL,       u"trigonometric functions panel"},
    {IDC_BACKSPACE,        u"backspace"},
};

}  // namespace

const CONTROLDESCRIPTION* FaceKeyDescriptions(std::size_t* count)
{
    *count = sizeof(kFaceDescriptions) / sizeof(kFaceDescriptions[0]);
    return kFaceDescriptions;
}
