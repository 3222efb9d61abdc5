// What every desktop backend does alike, over the public API: the title to show. Internal to
// drivers/.
#pragma once
#include <string>

// The active window's title in UTF-8; empty when there is none (or no title).
std::string ActiveWindowTitle();
