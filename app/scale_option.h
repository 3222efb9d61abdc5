// The --scale option, read the same way for the desktop window and the headless run.
#pragma once

// A whole number of 1 to kMaxScreenScale in decimal digits, leading zeros allowed ("016" is 16);
// no sign, no blanks. Anything else: false, and a line on standard error says what it takes.
bool ParseScaleOption(const char* text, int* scale);
