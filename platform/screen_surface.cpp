// The device screen's framebuffer: static storage, white until something is drawn.
#include <algorithm>
#include <array>
#include "platform/surface.h"

Surface& ScreenSurface()
{
    static std::array<std::uint32_t, std::size_t(kScreenWidth) * kScreenHeight> pixels = [] {
        std::array<std::uint32_t, std::size_t(kScreenWidth) * kScreenHeight> p;
        std::fill(p.begin(), p.end(), 0x00FFFFFFu);
        return p;
    }();
    static Surface screen{pixels.data(), kScreenWidth, kScreenHeight, kScreenWidth};
    return screen;
}
