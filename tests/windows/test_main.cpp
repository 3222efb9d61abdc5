// The Windows build's test program (tests under Wine): the program's name, its windows shown on
// the desktop (a real button draws itself only while shown), then the tests.
#include <gtest/gtest.h>
#include "platform/extras.h"
#include "resources/resource_ids.h"

int main(int argc, char** argv)
{
    SetProgramName(PROGRAM_NAME);
    OpenDesktopWindow(0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
