// Decoders of what the X server and other clients hand over (see x11_props.h).
#include "platform/drivers/x11/x11_props.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include "platform/gdi/bmp_ico_reader.h"
#include "platform/kernel/host_text.h"

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// A plain decimal number, with an optional fraction: nothing else on the value's side.
double ParseDpi(std::string_view text)
{
    constexpr std::size_t kMaxDigits = 16;
    if (text.empty() || text.size() > kMaxDigits) return 0;
    char buffer[kMaxDigits + 1];
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (!((c >= '0' && c <= '9') || c == '.')) return 0;
        buffer[i] = c;
    }
    buffer[text.size()] = '\0';
    char* end = nullptr;
    double value = std::strtod(buffer, &end);
    if (end != buffer + text.size() || !std::isfinite(value) || value < 1 || value > 10000) return 0;
    return value;
}

}  // namespace

double XftDpiFromResources(std::string_view resources)
{
    constexpr std::string_view kName = "Xft.dpi";
    double dpi = 0;  // the last definition wins, as in the resource database
    while (!resources.empty()) {
        std::size_t eol = resources.find('\n');
        std::string_view line = resources.substr(0, eol);
        resources.remove_prefix(eol == std::string_view::npos ? resources.size() : eol + 1);
        line = Trim(line);
        if (line.substr(0, kName.size()) != kName) continue;
        std::string_view rest = Trim(line.substr(kName.size()));
        if (rest.empty() || rest.front() != ':') continue;
        dpi = ParseDpi(Trim(rest.substr(1)));
    }
    return dpi;
}

double DpiFromPhysicalSize(int pixels, int millimetres)
{
    // Below 2 cm, or far outside what screens have, the size is made up.
    if (pixels <= 0 || millimetres < 20) return 0;
    double dpi = pixels * 25.4 / millimetres;
    return dpi >= 20 && dpi <= 2000 ? dpi : 0;
}

bool SelectionTextToUtf8(SelectionEncoding encoding, int format, const std::uint8_t* data, std::size_t size,
                         std::size_t limitBytes, std::string* utf8)
{
    if (!utf8 || format != 8 || (size > 0 && !data) || size > limitBytes) return false;
    std::string text;
    if (encoding == SelectionEncoding::Utf8) {
        text.assign(reinterpret_cast<const char*>(data), size);
        std::u16string check;
        if (!Utf8ToUtf16(text, &check)) return false;
    } else {
        text.reserve(size);
        for (std::size_t i = 0; i < size; ++i) {
            std::uint8_t b = data[i];
            if (b < 0x80) {
                text.push_back(char(b));
            } else {
                text.push_back(char(0xC0 | (b >> 6)));
                text.push_back(char(0x80 | (b & 0x3F)));
            }
        }
    }
    if (text.size() > limitBytes || text.find('\0') != std::string::npos) return false;
    *utf8 = std::move(text);
    return true;
}

std::string Latin1FromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(char(b));
            ++i;
            continue;
        }
        std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        bool latin1 = length == 2 && b <= 0xC3 && i + 1 < utf8.size();
        out.push_back(latin1 ? char(((b & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)) : '?');
        i += std::min(length, utf8.size() - i);
    }
    return out;
}

std::vector<std::uint32_t> NetWmIconFromImages(const std::vector<IconImage>& images)
{
    std::vector<std::uint32_t> out;
    for (const IconImage& image : images) {
        if (image.width < 1 || image.height < 1 || image.width > kMaxNetWmIconSide ||
            image.height > kMaxNetWmIconSide) {
            continue;
        }
        std::size_t count = std::size_t(image.width) * std::size_t(image.height);
        if (image.color.size() != count || image.mask.size() != count) continue;
        out.push_back(std::uint32_t(image.width));
        out.push_back(std::uint32_t(image.height));
        for (std::size_t i = 0; i < count; ++i) {
            out.push_back(image.mask[i] ? 0u : (0xFF000000u | (image.color[i] & 0x00FFFFFFu)));
        }
    }
    return out;
}
