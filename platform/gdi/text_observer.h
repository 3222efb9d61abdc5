// Text drawn into a device context, told to one observer as it is drawn: the accessibility
// bridge reads what a window paints this way. Internal to platform/.
#pragma once
#include <cstddef>
#include "platform/windows.h"

// `bounds` is where the text went, in the DC's logical coordinates, cut to its clip rectangle.
using TextDrawnObserver = void (*)(HDC hdc, const RECT& bounds, const WCHAR* text, std::size_t length);
void SetTextDrawnObserver(TextDrawnObserver observer);
