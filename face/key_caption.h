// A key's caption, kept off the key's bevel: centred on the key as the face lays it out, and
// condensed or made smaller only when its ink would not fit the key's face.
#pragma once
#include "platform/windows.h"

// Draws `caption` (terminated) centred on `item` in the device context's text colour, its ink
// inside `face` (the part of the key's bitmap within the bevel).
void DrawKeyCaption(HDC hdc, const WCHAR* caption, const RECT& item, const RECT& face);
