// Text between the layer's UTF-16 and the host's UTF-8 names, and the simple case fold that
// device file names and registry key names are matched with. Lacks full Unicode folding: no
// special casing, no one-to-many folds, nothing outside the Basic Multilingual Plane.
#pragma once
#include <string>
#include <string_view>
#include "platform/extras.h"


// The one-to-one lower-case partner of c for Latin, Greek, Cyrillic and full-width Latin letters.
WCHAR FoldCase(WCHAR c);
bool EqualsIgnoringCase(WideStringView a, WideStringView b);
