// The desktop window's scale, as both desktop backends choose it: the density's own within what
// fits comfortably, or the one asked for, lowered to what fits the screen whole.
#include <gtest/gtest.h>
#include <string>
#include "platform/drivers/desktop.h"

TEST(DesktopScale, AskedOrFromTheDensityWithinWhatFits)
{
    struct Case {
        int requested;
        double dpi;
        int width, height;
        int scale;
        bool lowered;
    };
    const Case cases[] = {
        {0, 0, 1024, 768, 2, false},      // density unknown: the largest that fits comfortably
        {0, 100, 1024, 768, 1, false},    // Xvfb's 100 dpi
        {0, 192, 1920, 1080, 2, false},
        {0, 288, 1920, 1080, 2, false},   // 3 would take more than 85% of the height
        {0, 288, 3840, 2160, 3, false},
        {2, 0, 1024, 768, 2, false},
        {3, 0, 1024, 768, 2, true},       // 960 pixels high on a 768-pixel screen
        {3, 0, 1920, 960, 3, false},      // fits whole, if not comfortably
        {16, 0, 1920, 1080, 3, true},
        {5, 0, 200, 200, 1, true},        // never below 1
        {4, 0, 0, 0, 4, false},           // nothing known about the screen
    };
    for (const Case& c : cases) {
        std::string lowered = "stale";
        EXPECT_EQ(ChooseWindowScale(c.requested, c.dpi, c.width, c.height, &lowered), c.scale)
            << c.requested << " at " << c.dpi << " dpi on " << c.width << "x" << c.height;
        EXPECT_EQ(!lowered.empty(), c.lowered) << lowered;
        if (c.lowered) EXPECT_NE(lowered.find("using " + std::to_string(c.scale)), std::string::npos) << lowered;
    }
}
