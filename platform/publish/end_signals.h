// Ending on the usual signals (TERM, INT, HUP, QUIT) while windows are published, so that they
// are withdrawn and the socket removed as when the program is closed. The handler only writes the
// signal's number into a pipe; the listener thread, which waits on that pipe, asks the UI thread
// to close the program. A second signal of the same kind ends the process at once. Internal to
// the layer; the program reads the outcome with EndingSignal() (platform/user/input.h).
#pragma once

// Installs the handlers; the pipe's read end to wait on, or -1 when it cannot.
int WatchEndSignals();
// Restores the handlers there were before and closes the pipe.
void StopWatchingEndSignals();
// Called when the pipe is readable: the signal read from it is recorded for EndingSignal(), and
// the UI thread is asked to close the program.
void OnEndSignalPipe(int fd);
