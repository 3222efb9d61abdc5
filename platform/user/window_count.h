// How many windows the window table holds, for tests that look for leaked windows.
#pragma once

// Windows created and not yet destroyed, of every kind (top-level, dialogs, controls, the layer's
// own bars and menus).
int LiveWindowCount();
