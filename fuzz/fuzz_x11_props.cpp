// Fuzz target: what an X server or another client hands the X11 window, decoded without a
// connection: the resource database's text (Xft.dpi), a selection's property (any type byte,
// format and bytes), text going out as STRING, and icon images going out as _NET_WM_ICON.
// Checked: a density is 0 or within its bounds; accepted text is well-formed UTF-8 without NUL
// within the limit, and Latin-1 text converts back to its own bytes; the icon list has exactly
// the size its images give.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>
#include "fuzz/fuzz_input.h"
#include "platform/drivers/x11/x11_props.h"
#include "platform/gdi/bmp_ico_reader.h"
#include "platform/kernel/host_text.h"

namespace {

void Resources(const std::uint8_t* data, std::size_t size)
{
    double dpi = XftDpiFromResources(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(dpi == 0 || (std::isfinite(dpi) && dpi >= 1 && dpi <= 10000));
}

void Selection(FuzzInput& in, const std::uint8_t* data, std::size_t size)
{
    auto encoding = in.Byte() & 1 ? SelectionEncoding::Latin1 : SelectionEncoding::Utf8;
    int format = in.Byte() % 4 == 0 ? 32 : 8;
    std::size_t limit = in.Word();
    std::string utf8;
    if (!SelectionTextToUtf8(encoding, format, data, size, limit, &utf8)) return;
    FUZZ_CHECK(format == 8 && utf8.size() <= limit && utf8.find('\0') == std::string::npos);
    std::u16string units;
    FUZZ_CHECK(Utf8ToUtf16(utf8, &units));
    if (encoding == SelectionEncoding::Latin1) {
        FUZZ_CHECK(Latin1FromUtf8(utf8) == std::string(reinterpret_cast<const char*>(data), size));
    } else {
        FUZZ_CHECK(utf8 == std::string(reinterpret_cast<const char*>(data), size));
    }
}

void OutgoingString(const std::uint8_t* data, std::size_t size)
{
    std::string out = Latin1FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(out.size() <= size);
}

void Icon(FuzzInput& in)
{
    std::vector<IconImage> images(in.Below(4));
    std::size_t expected = 0;
    for (IconImage& image : images) {
        image.width = int(in.Below(300)) - 8;
        image.height = int(in.Below(300)) - 8;
        bool consistent = in.Byte() % 8 != 0;
        std::size_t count = image.width > 0 && image.height > 0 ? std::size_t(image.width) * std::size_t(image.height) : 0;
        image.color.assign(consistent ? count : count / 2, in.Dword());
        image.mask.assign(consistent ? count : count + 1, in.Byte() & 1);
        if (consistent && count > 0 && image.width <= kMaxNetWmIconSide && image.height <= kMaxNetWmIconSide) {
            expected += 2 + count;
        }
    }
    FUZZ_CHECK(NetWmIconFromImages(images).size() == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t kind = data[0] % 4;
    FuzzInput in(data + 1, size - 1);
    switch (kind) {
    case 0: Resources(data + 1, size - 1); break;
    case 1: {
        FuzzInput head(data + 1, std::min<std::size_t>(size - 1, 4));
        std::size_t skip = std::min<std::size_t>(size - 1, 4);
        Selection(head, data + 1 + skip, size - 1 - skip);
        break;
    }
    case 2: OutgoingString(data + 1, size - 1); break;
    case 3: Icon(in); break;
    }
    return 0;
}
