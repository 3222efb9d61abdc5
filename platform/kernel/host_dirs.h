// The host folders the layer keeps its things in, found the XDG way, and reading and replacing its
// files. Internal to the layer.
#pragma once
#include <cstddef>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include "platform/extras.h"

// The value of the program's own environment variable <NAME>_<suffix> (its name upper-cased,
// say MYPROG_DEVICE_ROOT), or null when unset or empty.
const char* ProgramVariable(const char* suffix);
std::string ProgramVariableName(const char* suffix);
// The folder of this program under an XDG base folder ("XDG_CACHE_HOME", ".cache"), with
// `below` appended when not empty.
std::string ProgramDirectory(const char* variable, const char* fallbackUnderHome, const char* below = "");

// $HOME when absolute, else the password database's entry, else "/".
std::string HomeDirectory();
// $<variable> when it holds an absolute path (relative ones are ignored, as XDG asks), else
// HomeDirectory() + "/" + fallbackUnderHome.
std::string XdgDirectory(const char* variable, const char* fallbackUnderHome);
// Creates path and its missing parents with mode; true when path is a folder afterwards. On
// failure the folders it made are taken away again, and errno tells why.
bool MakeDirectories(const std::string& path, mode_t mode);
// a + "/" + b, without doubling the slash after "/".
std::string JoinPath(const std::string& a, const std::string& b);
// Opens the regular file at path for reading (O_RDONLY | O_CLOEXEC | extraOpenFlags), never
// waiting on what is there: a FIFO, a device or a folder is refused (EINVAL, EISDIR) before a byte
// is read. The descriptor, or -1 with errno telling why; *st, when given, is its status.
int OpenRegularFile(const std::string& path, int extraOpenFlags, struct stat* st = nullptr);
// Reads at most `cap` bytes of the regular file at path into *text (opened as OpenRegularFile
// does); false when it cannot be opened or read, with errno telling why. *whole, when given, says
// whether the file ended within the cap.
bool ReadFileCapped(const std::string& path, int extraOpenFlags, std::size_t cap, std::string* text,
                    bool* whole = nullptr);
// Writes all `size` bytes to fd, retrying short writes and interruptions; false on an error.
bool WriteAll(int fd, const void* data, std::size_t size);

// A new content for the file at `target`, written under a temporary name in the same folder and
// put in the target's place in one step, so a reader sees the old file or the new one, never a
// part, and a failure leaves the old one as it was. Only the temporary file is ever removed.
class FileReplacement {
public:
    // `mode` is for a new file; a file replaced keeps its permission bits.
    FileReplacement(const std::string& target, mode_t mode);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // The temporary file to write to; -1 when it could not be made (errno tells why).
    int Fd() const { return m_fd; }
    // Closes the temporary file and renames it over the target; false (errno set) when that
    // fails or `written` is false, and then the temporary file is removed.
    bool Commit(bool written);

private:
    void Discard();

    std::string m_target;
    std::string m_temporary;
    int m_fd = -1;
};
