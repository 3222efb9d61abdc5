// Key tokens of the headless driver: captions, command numbers and ASCII aliases.
#pragma once
#include <string>
#include "platform/windows.h"

// The command identifier a token names, or 0 when it names none.
int KeyTokenToId(const std::string& token);
// One line per token kind, for --help.
std::string KeyTokenHelp();
