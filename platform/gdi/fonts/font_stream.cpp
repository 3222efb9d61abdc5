// A FreeType stream over a file descriptor: pread at the offset asked for, no shared position.
// Knowingly lacks: files that change size while open (a read past the new end just comes short).
#include "platform/gdi/fonts/font_stream.h"
#include "platform/gdi/fonts/freetype_library.h"
#include "platform/kernel/host_dirs.h"
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

// FreeType asks with count 0 to seek: success (0) only inside the file.
unsigned long ReadAt(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count)
{
    if (count == 0) return offset <= stream->size ? 0 : 1;
    if (offset >= stream->size) return 0;
    int fd = int(stream->descriptor.value);
    unsigned long done = 0;
    while (done < count) {
        ssize_t n = pread(fd, buffer + done, count - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<unsigned long>(n);
    }
    return done;
}

void CloseStream(FT_Stream stream)
{
    close(int(stream->descriptor.value));
    delete stream;  // an external stream: FreeType leaves the record to its owner
}

}  // namespace

FT_Error OpenFaceByReading(FT_Library library, const std::string& path, FT_Long index, FT_Face* face)
{
    *face = nullptr;
    struct stat st {};
    int fd = OpenRegularFile(path, 0, &st);
    if (fd < 0) return FT_Err_Cannot_Open_Resource;
    if (st.st_size <= 0 || (unsigned long long)st.st_size > 0xFFFFFFFFull) {
        close(fd);
        return FT_Err_Cannot_Open_Resource;
    }
    auto* stream = new FT_StreamRec{};
    stream->descriptor.value = fd;
    stream->size = static_cast<unsigned long>(st.st_size);
    stream->read = ReadAt;
    stream->close = CloseStream;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    // On failure FreeType has already closed the stream (and so freed it) itself.
    return LoadFreeType()->FT_Open_Face(library, &args, index, face);
}
