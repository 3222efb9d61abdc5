/* xwatch: starts one X program and times it from the outside, by X events and /proc.
 *
 *   xwatch [--idle SECONDS] [--settle MS] -- PROGRAM [ARGS...]
 *
 * Watches the root for new top-level windows (SubstructureNotify), forks and execs PROGRAM, and
 * prints one line of key=value pairs, times in milliseconds from the fork:
 *   map          MapNotify of the program's first top-level window
 *   first_damage first Damage event on that window after the map (a server's background fill counts)
 *   first_content the first Damage after which the window is not one flat colour (the first frame:
 *                the server painting a window's background at the map is not one)
 *   last_damage  last Damage event before the window stayed quiet for --settle ms (frame complete)
 *   rss_kb pss_kb  from /proc/PID/smaps_rollup, 300 ms after the map
 *   libs cpu_ms  shared libraries mapped (distinct .so files in /proc/PID/maps) and CPU time used, then
 *   idle_cpu_ms idle_damage  CPU time (utime+stime) and Damage events over --idle seconds with no input
 *   close_ms     from sending WM_DELETE_WINDOW (a client message) to waitpid() returning
 * Times are taken with CLOCK_MONOTONIC when the event is read, so they are as fine as the loop that
 * reads them (poll on the connection, nothing else running). XWATCH_DEBUG=1 prints every event. Knowingly lacks: window managers
 * (the window is a direct child of the root), programs that fork away from their first process. */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double g_t0;

static double NowMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static double SinceStart(void)
{
    return NowMs() - g_t0;
}

/* Waits until an X event is queued or `deadline` (absolute ms) passes; 1 when there is one. */
static int WaitEvent(Display* dpy, double deadline)
{
    while (!XPending(dpy)) {
        double left = deadline - NowMs();
        if (left <= 0) return 0;
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, left > 1e6 ? 1000000 : (int)left + 1);
    }
    return 1;
}

static int g_xerror;
static int IgnoreXError(Display* dpy, XErrorEvent* e)
{
    (void)dpy;
    g_xerror = e->error_code;
    return 0;
}

/* Kilobytes of `field` ("Rss:", "Pss:") in /proc/PID/smaps_rollup, or -1. */
static long SmapsField(pid_t pid, const char* field)
{
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    long kb = -1;
    size_t n = strlen(field);
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, field, n) == 0) {
            kb = strtol(line + n, NULL, 10);
            break;
        }
    }
    fclose(f);
    return kb;
}

/* Distinct shared libraries (paths holding ".so") that PID maps, or -1. */
static int LibraryCount(pid_t pid)
{
    char path[64], line[1024], seen[256][256];
    int count = 0;
    snprintf(path, sizeof path, "/proc/%d/maps", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    while (fgets(line, sizeof line, f)) {
        char* name = strchr(line, '/');
        if (!name || !strstr(name, ".so")) continue;
        name[strcspn(name, "\n")] = 0;
        int known = 0;
        for (int k = 0; k < count && !known; ++k) known = strcmp(seen[k], name) == 0;
        if (!known && count < 256) snprintf(seen[count++], sizeof seen[0], "%s", name);
    }
    fclose(f);
    return count;
}

/* Time PID has run on a CPU in milliseconds, to the nanosecond (/proc/PID/schedstat), or -1. */
static double OnCpuMs(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/schedstat", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    unsigned long long ns = 0;
    int got = fscanf(f, "%llu", &ns);
    fclose(f);
    return got == 1 ? ns / 1e6 : -1;
}

/* utime + stime of PID in milliseconds, or -1. */
static double CpuMs(pid_t pid)
{
    char path[64], buf[2048];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    size_t n = fread(buf, 1, sizeof buf - 1, f);
    fclose(f);
    buf[n] = 0;
    char* p = strrchr(buf, ')');  /* the command name may hold spaces */
    if (!p) return -1;
    unsigned long utime = 0, stime = 0;
    /* after ")": state ppid pgrp session tty tpgid flags minflt cminflt majflt cmajflt utime stime */
    if (sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2) return -1;
    return (utime + stime) * 1000.0 / sysconf(_SC_CLK_TCK);
}

/* Counts Damage events for `damage` until `deadline`, acknowledging each; returns the count and
 * the time of the last one in *last (unchanged when none). */
static int CountDamage(Display* dpy, int damageBase, double deadline, double* last)
{
    int count = 0;
    XEvent e;
    while (WaitEvent(dpy, deadline)) {
        XNextEvent(dpy, &e);
        if (e.type == damageBase + XDamageNotify) {
            XDamageNotifyEvent* d = (XDamageNotifyEvent*)&e;
            XDamageSubtract(dpy, d->damage, None, None);
            ++count;
            *last = SinceStart();
        }
    }
    return count;
}

/* The window's pixels are all one value (or cannot be read). */
static int Uniform(Display* dpy, Window w)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a)) return 1;
    XImage* image = XGetImage(dpy, w, 0, 0, (unsigned)a.width, (unsigned)a.height, AllPlanes, ZPixmap);
    if (!image) return 1;
    unsigned long first = XGetPixel(image, 0, 0);
    int uniform = 1;
    for (int y = 0; y < a.height && uniform; ++y) {
        for (int x = 0; x < a.width && uniform; ++x) uniform = XGetPixel(image, x, y) == first ? 1 : 0;
    }
    XDestroyImage(image);
    return uniform;
}

static void Usage(void)
{
    fprintf(stderr, "usage: xwatch [--idle SECONDS] [--settle MS] -- PROGRAM [ARGS...]\n");
    exit(2);
}

int main(int argc, char** argv)
{
    double idleSeconds = 0, settleMs = 300;
    int i = 1;
    for (; i < argc; ++i) {
        if (strcmp(argv[i], "--idle") == 0 && i + 1 < argc) idleSeconds = atof(argv[++i]);
        else if (strcmp(argv[i], "--settle") == 0 && i + 1 < argc) settleMs = atof(argv[++i]);
        else if (strcmp(argv[i], "--") == 0) { ++i; break; }
        else Usage();
    }
    if (i >= argc) Usage();

    Display* dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "xwatch: cannot open the display\n");
        return 1;
    }
    int damageBase, damageError;
    if (!XDamageQueryExtension(dpy, &damageBase, &damageError)) {
        fprintf(stderr, "xwatch: the server has no DAMAGE extension\n");
        return 1;
    }
    XSetErrorHandler(IgnoreXError);
    Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    g_t0 = NowMs();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[i], argv + i);
        _exit(127);
    }
    if (pid < 0) return 1;

    /* Every new top-level window gets a Damage as it is created, before it can draw; the first
     * managed (not override-redirect) one to be mapped, and to draw before it is unmapped, is the
     * program's window. Damage reported
     * before the map (there is none on an unmapped window) or on other windows does not count. */
    Window win = None;
    double mapAt = -1, firstDamage = -1, firstContent = -1, lastDamage = -1;
    int unchecked = 0;  /* damage read since the window's pixels were last looked at */
    Damage damage = None;
    Damage damages[64];
    int nCreated = 0;
    XEvent e;
    while (firstContent < 0 && WaitEvent(dpy, g_t0 + 30000)) {
        XNextEvent(dpy, &e);
        if (getenv("XWATCH_DEBUG")) fprintf(stderr, "%.3f event %d window 0x%lx\n", SinceStart(), e.type, e.xany.window);
        if (e.type == CreateNotify && e.xcreatewindow.parent == root && !e.xcreatewindow.override_redirect &&
            nCreated < 64) {
            damages[nCreated] = XDamageCreate(dpy, e.xcreatewindow.window, XDamageReportNonEmpty);
            ++nCreated;
            XFlush(dpy);
        } else if (e.type == MapNotify && e.xmap.event == root && !e.xmap.override_redirect && win == None) {
            mapAt = SinceStart();
            win = e.xmap.window;
        } else if ((e.type == UnmapNotify && e.xunmap.window == win) ||
                   (e.type == DestroyNotify && e.xdestroywindow.window == win)) {
            win = None;  /* a window shown and taken away before it drew (a toolkit's probe) */
            mapAt = -1;
        } else if (e.type == damageBase + XDamageNotify) {
            XDamageNotifyEvent* d = (XDamageNotifyEvent*)&e;
            XDamageSubtract(dpy, d->damage, None, None);
            if (win != None && d->drawable == win) {
                lastDamage = SinceStart();
                if (firstDamage < 0) firstDamage = lastDamage;
                damage = d->damage;
                unchecked = 1;
            }
        }
        /* Looked at once the events at hand are read: the time is that of the last damage read. */
        if (unchecked && !XPending(dpy)) {
            unchecked = 0;
            if (!Uniform(dpy, win)) firstContent = lastDamage;
        }
    }
    for (int k = 0; k < nCreated; ++k) {
        if (damages[k] != damage) XDamageDestroy(dpy, damages[k]);
    }
    if (firstContent < 0) {
        fprintf(stderr, "xwatch: %s showed no frame within 30 s\n", argv[i]);
        kill(pid, SIGKILL);
        waitpid(pid, NULL, 0);
        return 1;
    }
    /* Frame complete: damage keeps coming until the window has been quiet for settleMs. */
    for (;;) {
        double before = lastDamage;
        CountDamage(dpy, damageBase, NowMs() + settleMs, &lastDamage);
        if (lastDamage == before) break;
    }

    double memAt = g_t0 + mapAt + 300;
    if (NowMs() < memAt) CountDamage(dpy, damageBase, memAt, &lastDamage);
    long rss = SmapsField(pid, "Rss:"), pss = SmapsField(pid, "Pss:");
    int libs = LibraryCount(pid);
    double cpuMs = OnCpuMs(pid);

    double idleCpu = -1;
    int idleDamage = -1;
    if (idleSeconds > 0) {
        double ignored = 0;
        CountDamage(dpy, damageBase, NowMs() + 1000, &ignored);  /* let start-up work finish */
        double cpu0 = CpuMs(pid);
        idleDamage = CountDamage(dpy, damageBase, NowMs() + idleSeconds * 1000, &ignored);
        idleCpu = CpuMs(pid) - cpu0;
    }

    /* Close: the window manager's WM_DELETE_WINDOW message, then wait for the process to end. */
    Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    XEvent msg;
    memset(&msg, 0, sizeof msg);
    msg.xclient.type = ClientMessage;
    msg.xclient.window = win;
    msg.xclient.message_type = protocols;
    msg.xclient.format = 32;
    msg.xclient.data.l[0] = (long)deleteWindow;
    msg.xclient.data.l[1] = CurrentTime;
    XDamageDestroy(dpy, damage);
    XSync(dpy, False);
    double closeStart = NowMs();
    XSendEvent(dpy, win, False, NoEventMask, &msg);
    XFlush(dpy);
    int status = 0;
    double closeMs = -1;
    for (double waited = 0; waited < 10000; waited += 1) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            closeMs = NowMs() - closeStart;
            break;
        }
        usleep(50);  /* 50 µs steps: fine enough for a 5 ms target, light on a shared machine */
        waited = NowMs() - closeStart;
    }
    if (closeMs < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    printf("map=%.3f first_damage=%.3f first_content=%.3f last_damage=%.3f rss_kb=%ld pss_kb=%ld libs=%d cpu_ms=%.1f idle_cpu_ms=%.1f "
           "idle_damage=%d close_ms=%.3f exit=%d\n",
           mapAt, firstDamage, firstContent, lastDamage, rss, pss, libs, cpuMs, idleCpu, idleDamage, closeMs,
           WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    XCloseDisplay(dpy);
    return 0;
}
