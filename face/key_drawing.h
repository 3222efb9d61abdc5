// The owner-drawn keys' choice of bitmap, kept apart from the drawing so it can be checked alone.
#pragma once
#include "platform/windows.h"

// The bitmap resource a key shows: the common pressed bitmap while pushed, else its group's.
int KeyBitmapId(int id, BOOL pushed);
