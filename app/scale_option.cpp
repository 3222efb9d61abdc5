// The one reading of --scale for both ways the program runs.
#include "app/scale_option.h"

#include <cstdio>
#include "platform/extras.h"

bool ParseScaleOption(const char* text, int* scale)
{
    int value = 0;
    const char* c = text;
    // Stops as soon as the number is too large, so no run of digits can overflow.
    for (; *c >= '0' && *c <= '9' && value <= kMaxScreenScale; ++c) value = value * 10 + (*c - '0');
    if (c == text || *c != '\0' || value < 1 || value > kMaxScreenScale) {
        std::fprintf(stderr, "quorix: --scale takes a whole number from 1 to %d\n", kMaxScreenScale);
        return false;
    }
    *scale = value;
    return true;
}
