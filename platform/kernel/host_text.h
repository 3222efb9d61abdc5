// Text between the layer's UTF-16 and the host's UTF-8 names, and the simple case fold that
// device file names and registry key names are matched with. Lacks full Unicode folding: no
// special casing, no one-to-many folds, nothing outside the Basic Multilingual Plane.
#pragma once
#include <string>
#include <string_view>

// False on a lone surrogate; *out then holds an unspecified partial result.
bool Utf16ToUtf8(std::u16string_view text, std::string* out);
// False on malformed UTF-8 (overlong forms, encoded surrogates, truncated sequences).
bool Utf8ToUtf16(std::string_view text, std::u16string* out);

// The one-to-one lower-case partner of c for Latin, Greek, Cyrillic and full-width Latin letters.
char16_t FoldCase(char16_t c);
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);
