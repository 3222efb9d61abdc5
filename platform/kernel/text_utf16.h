// UTF-16 text as the drawing code needs it: code points (a broken surrogate becomes U+FFFD),
// UTF-8 for fontconfig, and the length of a terminated string.
#pragma once
#include <cstddef>
#include <string>
#include <vector>
#include "platform/win_types.h"

constexpr char32_t kReplacementChar = 0xFFFD;

// Code points of `length` units; `unitOf`, when given, receives the index of each code point's first unit.
std::u32string DecodeUtf16(const WCHAR* text, std::size_t length, std::vector<std::size_t>* unitOf = nullptr);
std::string Utf16ToUtf8(const WCHAR* text, std::size_t length);
// Units before the terminator, looking at most `cap` units.
std::size_t TerminatedLength(const WCHAR* text, std::size_t cap);
// The upper-case letter for `c`, or `c` itself.
WCHAR UpperCaseUnit(WCHAR c);
