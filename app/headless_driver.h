// The headless driver: runs the program on the off-screen device screen and feeds it key tokens.
#pragma once

// argv without the program name and without "--headless". Returns the process exit status.
int RunHeadless(int argc, char** argv);
