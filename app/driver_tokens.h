// Key tokens of the headless driver: captions, command numbers and ASCII aliases.
#pragma once
#include <string>
#include "platform/windows.h"

// The command identifier a token names, or 0 when it names none.
int KeyTokenToId(const std::string& token);
// One line per token kind, for --help.
std::string KeyTokenHelp();
// Text from the command line as a message may show it on a terminal: control characters and
// bytes that are not UTF-8 written as \xNN, and a huge text cut, with its length in bytes.
std::string ShownText(const std::string& text);
