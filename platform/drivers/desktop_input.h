// Input from a desktop window (x11, sdl), turned into the layer's pen and key messages in the
// order it came. A key waits until the key messages before it have left the thread's queue: the
// accelerators read the modifier state when a message is translated, so it is set for each key
// just before that key is posted.
#pragma once
#include <string>
#include "platform/windows.h"

struct DesktopInput {
    enum Kind { PenDown, PenMove, PenUp, KeyDown, KeyUp, Text };
    Kind kind = PenMove;
    POINT point{};           // pen: device pixels
    int virtualKey = 0;      // keys: 0 for a key the layer does not pass (it still sets modifiers)
    int scanCode = 0;
    bool repeat = false;     // KeyDown: the key was already down
    bool ctrl = false, shift = false, alt = false;
    std::u16string text;     // Text: typed characters
};

void QueueDesktopInput(DesktopInput input);
// Posts what may go now; call after taking the desktop's events.
void RunDesktopInput();
// Something queued may go now (the backend then need not wait for more).
bool DesktopInputReady();
// True while the queue is being checked for key messages: that check pumps the backend, whose
// pump must then do nothing.
bool CheckingDesktopInput();
void ClearDesktopInput();

// The virtual key of the key that types `c` unshifted on a US layout (lower-case letters, digits, space,
// the punctuation keys, and the ASCII control characters of Enter, Backspace, Tab, Escape and
// Delete); 0 for anything else.
int VirtualKeyFromCharacter(char32_t c);
