// How a window shows to assistive tools: its role from its class and style.
#pragma once
#include <cstdint>
#include <string>
#include "platform/windows.h"

// The AT-SPI role of a window of class `className` with style `style`; `child` for WS_CHILD
// windows. Every class the layer knows has a row; an unknown top-level window is a frame, an
// unknown child a panel.
std::uint32_t AccessRoleFor(const std::u16string& className, DWORD style, bool child);
// Buttons whose check state a screen reader reads (radio buttons, check boxes, push-like ones).
bool IsCheckableButton(DWORD style);

