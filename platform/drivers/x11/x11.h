// The X11 backend: the device screen in a desktop window straight on XCB, shown through MIT-SHM.
#pragma once
#include "platform/drivers/backend.h"

// open(scale) takes 1..kMaxWindowScale, or 0 for the desktop's own choice (desktop.h); false
// when no X display can be reached or it has no 24-bit true-colour visual.
const Backend& X11Backend();
