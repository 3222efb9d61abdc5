// The desktop window's pure mappings: its default scale, window pixels to device pixels, and
// SDL's key codes to virtual keys.
#include <gtest/gtest.h>
#include "platform/drivers/sdl/sdl.h"
#include "platform/windows.h"

TEST(SdlMapping, DefaultScaleIsTheLargestThatFitsComfortably)
{
    struct Case {
        int width, height, scale;
    };
    const Case cases[] = {
        {1920, 1080, 2},  // 3 * 320 = 960 > 85% of 1080
        {1920, 1200, 3},  // 960 <= 1020
        {3840, 2160, 5},  // 1600 <= 1836 < 1920
        {1024, 768, 2},
        {800, 600, 1},
        {200, 200, 1},    // never below 1
        {0, 0, 1},        // no bounds known
        {-5, 100000, 1},
        {100000, 100000, kMaxScreenScale},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultWindowScale(c.width, c.height), c.scale) << c.width << "x" << c.height;
    }
}

TEST(SdlMapping, WindowPixelsMapToDevicePixelsRoundingDown)
{
    struct Case {
        int x, y, scale;
        LONG dx, dy;
    };
    const Case cases[] = {
        {0, 0, 2, 0, 0},    {1, 1, 2, 0, 0},      {2, 3, 2, 1, 1},        {479, 639, 2, 239, 319},
        {-1, -1, 2, -1, -1}, {-2, -3, 2, -1, -2}, {-1, 5, 3, -1, 1},      {7, 7, 1, 7, 7},
        {10, 10, 0, 10, 10},  // a bad scale counts as 1
    };
    for (const Case& c : cases) {
        POINT p = DevicePointFromWindow(c.x, c.y, c.scale);
        EXPECT_EQ(p.x, c.dx) << c.x << "," << c.y << " at " << c.scale;
        EXPECT_EQ(p.y, c.dy) << c.x << "," << c.y << " at " << c.scale;
    }
}

TEST(SdlMapping, KeysBecomeVirtualKeys)
{
    // SDL key codes are the characters for printable keys and (1 << 30) | scancode for others.
    constexpr int kScancodeKey = 1 << 30;
    struct Case {
        int sdl;
        int vk;
    };
    const Case cases[] = {
        {'a', 'A'},  {'q', 'Q'}, {'z', 'Z'}, {'0', '0'}, {'9', '9'},
        {'\r', VK_RETURN}, {'\b', VK_BACK}, {27, VK_ESCAPE}, {127, VK_DELETE}, {' ', VK_SPACE}, {'\t', VK_TAB},
        {kScancodeKey | 224, VK_CONTROL},  // left Ctrl
        {kScancodeKey | 228, VK_CONTROL},  // right Ctrl
        {kScancodeKey | 225, VK_SHIFT},
        {kScancodeKey | 226, VK_MENU},
        {kScancodeKey | 80, VK_LEFT},
        {kScancodeKey | 88, VK_RETURN},    // keypad Enter
        {kScancodeKey | 98, 0x60},         // keypad 0
        {kScancodeKey | 89, 0x61},         // keypad 1
        {kScancodeKey | 58, 0x70},         // F1
        {'A', 0},                          // SDL never reports upper case
        {kScancodeKey | 300, 0},           // something unknown
        {-1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromSdlKeycode(c.sdl), c.vk) << "SDL key " << c.sdl;
}
