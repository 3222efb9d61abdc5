// Installing the program on the device as its installer would: the help files in \Windows and
// the program's registry key.
#pragma once

// Writes each help file that is missing or differs, and creates the registry key when missing.
// Does nothing else when all is in place already. False when something could not be installed.
bool InstallDeviceFiles();
