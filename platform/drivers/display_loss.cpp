// The lost display. Xlib reports a broken connection only to its I/O error handler, and ends the
// process when the handler returns; its own handler calls exit(), which runs the destructors of
// the window table while the program is deep inside a paint or an event, and then reports what
// they leave as leaked. Ours says what happened, withdraws what other processes could still try
// to reach, and ends at once. Xlib is looked up rather than linked: SDL brings it in. The XCB
// backend finds a broken connection itself and ends the same way.
// Knowingly lacks: any attempt to reconnect.
#include "platform/drivers/display_loss.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>
#include "platform/publish/window_publish.h"

void EndWithoutDisplay()
{
    const char* name = std::getenv("DISPLAY");
    std::fprintf(stderr, "%s: lost the connection to the display %s (the X server ended or went away); ending\n",
                 program_invocation_short_name, name && *name ? name : "(unnamed)");
    std::fflush(stderr);
    WithdrawAllWindows();
    _exit(1);
}

namespace {

struct XlibDisplay;  // Xlib's Display, only ever passed through
using IoErrorHandler = int (*)(XlibDisplay*);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);

int OnIoError(XlibDisplay*)
{
    EndWithoutDisplay();
}

}  // namespace

void WatchForDisplayLoss()
{
    auto set = reinterpret_cast<SetIoErrorHandler>(dlsym(RTLD_DEFAULT, "XSetIOErrorHandler"));
    if (set) set(OnIoError);
}
