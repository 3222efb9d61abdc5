// What the X server and other clients hand the X11 backend, decoded without a connection: the
// resource database's Xft.dpi, a converted selection's text, and the icon property made from the
// program's icon. Everything here takes any bytes: fuzzed by fuzz/fuzz_x11_props.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct IconImage;

// Xft.dpi from the RESOURCE_MANAGER text ("Xft.dpi:\t192" on a line of its own); 0 when it is
// absent, malformed, or outside 1..10000.
double XftDpiFromResources(std::string_view resources);
// Dots per inch from a screen side in pixels and millimetres; 0 when unknown or implausible.
double DpiFromPhysicalSize(int pixels, int millimetres);

enum class SelectionEncoding { Utf8, Latin1 };
// A selection's property as UTF-8: `format` must be 8, UTF-8 must be well formed, and neither
// may hold a NUL; Latin-1 (STRING) is converted. False for anything else or for more than
// `limitBytes` of UTF-8.
bool SelectionTextToUtf8(SelectionEncoding encoding, int format, const std::uint8_t* data, std::size_t size,
                         std::size_t limitBytes, std::string* utf8);
// Our text for a requestor that asked for STRING: Latin-1, '?' for what Latin-1 lacks. The text
// is well-formed UTF-8 (the clipboard checks it before it gets here); a malformed byte becomes '?'.
std::string Latin1FromUtf8(std::string_view utf8);

// _NET_WM_ICON's CARDINAL list: width, height and the ARGB pixels, top row first, of each image
// up to kMaxNetWmIconSide a side; the mask's background pixels are transparent.
constexpr int kMaxNetWmIconSide = 256;
std::vector<std::uint32_t> NetWmIconFromImages(const std::vector<IconImage>& images);
