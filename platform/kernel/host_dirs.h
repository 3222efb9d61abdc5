// The host folders the layer keeps its things in, found the XDG way, and reading its small files.
// Internal to the layer.
#pragma once
#include <cstddef>
#include <string>
#include <sys/types.h>
#include "platform/extras.h"

// The value of the program's own environment variable <NAME>_<suffix> (its name upper-cased,
// say MYPROG_DEVICE_ROOT), or null when unset or empty.
const char* ProgramVariable(const char* suffix);
// The folder of this program under an XDG base folder ("XDG_CACHE_HOME", ".cache"), with
// `below` appended when not empty.
std::string ProgramDirectory(const char* variable, const char* fallbackUnderHome, const char* below = "");

// $HOME when absolute, else the password database's entry, else "/".
std::string HomeDirectory();
// $<variable> when it holds an absolute path (relative ones are ignored, as XDG asks), else
// HomeDirectory() + "/" + fallbackUnderHome.
std::string XdgDirectory(const char* variable, const char* fallbackUnderHome);
// Creates path and its missing parents with mode; true when path is a folder afterwards.
bool MakeDirectories(const std::string& path, mode_t mode);
// a + "/" + b, without doubling the slash after "/".
std::string JoinPath(const std::string& a, const std::string& b);
// Reads at most `cap` bytes of the file at path into *text (opened with O_RDONLY | O_CLOEXEC |
// extraOpenFlags); false when it cannot be opened, with errno telling why.
bool ReadFileCapped(const std::string& path, int extraOpenFlags, std::size_t cap, std::string* text);
// Writes all `size` bytes to fd, retrying short writes and interruptions; false on an error.
bool WriteAll(int fd, const void* data, std::size_t size);
