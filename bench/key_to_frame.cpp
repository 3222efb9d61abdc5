// Key to frame, in-process and headless: the time from a command reaching the face to the end of
// the repaint it causes (every pending WM_PAINT dispatched and the dirty screen handed to the
// backend), per kind of key; and a tap, whose pressed and released drawing happen inside it.
// The backend counts what it is handed, so an iteration that drew nothing is an error, not a
// flattering figure. QUORIX_BENCH_SCALE=N draws at scale N (default 1); QUORIX_BENCH_BACKEND=x11
// also shows every frame in a real X11 window on $DISPLAY (MIT-SHM), so the difference from a run
// without it is what showing a frame costs the program. QUORIX_BENCH_CLOCK=thread times the
// program's own thread on the CPU instead of the wall clock: the X server's copying, and any other
// process the machine runs meanwhile, then count for nothing. Knowingly lacks: the X server's own
// share of showing (it copies the pixels after the request has left; see xwatch for the server).
#include <benchmark/benchmark.h>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include "app/app.h"
#include "app/driver_tokens.h"
#include "engine/calc_state.h"
#include "platform/drivers/backend.h"
#include "platform/extras.h"
#include "resources/resource_ids.h"
#include "platform/drivers/x11/x11.h"
#include "platform/user/input.h"
#include "resources/program_resources.h"

namespace {

// --- a headless backend that counts the frames it is handed -----------------------------

long g_presents = 0;
long g_presentedPixels = 0;
const Backend* g_shown = nullptr;  // the real window the frames also go to, when asked for
double g_showing = 0;              // seconds spent in its present, on the run's clock
bool g_onePixel = false;           // hand the real window one pixel of each frame only

double Now();

void CountingPresent(const Surface& screen, const RECT& dirty)
{
    ++g_presents;
    g_presentedPixels += static_cast<long>(dirty.right - dirty.left) * (dirty.bottom - dirty.top);
    if (!g_shown) return;
    RECT shown = dirty;
    if (g_onePixel) shown = RECT{dirty.left, dirty.top, dirty.left + 1, dirty.top + 1};
    double start = Now();
    g_shown->present(screen, shown);
    g_showing += Now() - start;
}

Backend MakeCountingBackend()
{
    Backend b = HeadlessBackend();
    b.name = "bench";
    b.present = CountingPresent;
    return b;
}

const Backend g_counting = MakeCountingBackend();

// --- the program, started as it starts itself --------------------------------------------

// A private home: the bench must not read or write the user's device files and registry.
struct ScratchHome {
    std::string root;
    ~ScratchHome()
    {
        std::error_code ignored;
        if (!root.empty()) std::filesystem::remove_all(root, ignored);
    }
};
ScratchHome g_home;

void UseScratchHome()
{
    char pattern[] = "/tmp/quorix-bench-XXXXXX";
    if (!mkdtemp(pattern)) return;
    std::string root = pattern;
    g_home.root = root;
    const char* dirs[][2] = {{"XDG_RUNTIME_DIR", "/run"}, {"QUORIX_DEVICE_ROOT", "/device"},
                             {"XDG_DATA_HOME", "/data"}, {"XDG_CONFIG_HOME", "/config"}};
    for (const auto& d : dirs) {
        std::string path = root + d[1];
        std::filesystem::create_directory(path);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        setenv(d[0], path.c_str(), 1);
    }
}

// Dispatches everything queued, paints included; the last empty PeekMessage presents.
void RunUntilIdle()
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) DispatchMessage(&msg);
    }
}

int BenchScale()
{
    const char* text = std::getenv("QUORIX_BENCH_SCALE");
    int scale = text ? std::atoi(text) : 1;
    return scale >= 1 && scale <= kMaxScreenScale ? scale : 1;
}

// The drawing scale, and the real window when one is asked for; false when it cannot open.
bool SetUpScreen()
{
    const char* backend = std::getenv("QUORIX_BENCH_BACKEND");
    if (backend && std::strcmp(backend, "x11") == 0) {
        if (!X11Backend().open(BenchScale())) return false;
        g_shown = &X11Backend();
        return true;
    }
    return SetScreenScale(BenchScale());
}

HWND StartFace()
{
    static HWND face = [] {
        SetProgramName(PROGRAM_NAME);
        UseScratchHome();
        if (!SetUpScreen()) return HWND{};
        SetBackend(&g_counting);
        EnableCrossProcessWindows(false);
        std::memset(&g_calc, 0, sizeof g_calc);
        HINSTANCE instance = GetModuleHandle(nullptr);
        RegisterProgramResources(instance);
        if (!InitMainWindow(instance, SW_SHOW)) return HWND{};
        RunUntilIdle();
        return g_hwndCalc;
    }();
    return face;
}

int Id(const char* token)
{
    return KeyTokenToId(token);
}

void Command(HWND face, int id)
{
    SendMessage(face, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(face, id)));
}

// Untimed: puts the calculator where the timed key starts from.
void Prepare(HWND face, std::initializer_list<const char*> tokens)
{
    for (const char* t : tokens) Command(face, Id(t));
    RunUntilIdle();
}

// Seconds on the clock the run asked for: the wall clock, or this thread's CPU time.
double Now()
{
    static const bool thread = [] {
        const char* clock = std::getenv("QUORIX_BENCH_CLOCK");
        return clock && std::strcmp(clock, "thread") == 0;
    }();
    timespec t{};
    clock_gettime(thread ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Times `key` (command then repaint) after `before`; fails the run when nothing was drawn.
template <typename Key>
void TimeKey(benchmark::State& state, std::initializer_list<const char*> before, Key key)
{
    HWND face = StartFace();
    if (!face) {
        state.SkipWithError("the face did not start");
        return;
    }
    long frames = 0, pixels = 0;
    g_showing = 0;
    for (auto _ : state) {
        Prepare(face, before);
        long presents = g_presents, presented = g_presentedPixels;
        double start = Now();
        key(face);
        RunUntilIdle();
        state.SetIterationTime(Now() - start);
        if (g_presents == presents) {
            state.SkipWithError("the key drew nothing");
            break;
        }
        frames += g_presents - presents;
        pixels += g_presentedPixels - presented;
    }
    state.counters["frames"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kAvgIterations);
    state.counters["pixels"] = benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kAvgIterations);
    // Microseconds per key inside the real window's present (0 without one).
    state.counters["show_us"] = benchmark::Counter(g_showing * 1e6, benchmark::Counter::kAvgIterations);
}

void Press(HWND face, const char* token)
{
    Command(face, Id(token));
}

void BM_Digit(benchmark::State& state)
{
    TimeKey(state, {"DEC", "C/CE", "C/CE", "1", "2"}, [](HWND face) { Press(face, "7"); });
}

void BM_Operator(benchmark::State& state)
{
    TimeKey(state, {"DEC", "C/CE", "C/CE", "1", "2"}, [](HWND face) { Press(face, "+"); });
}

void BM_Equals(benchmark::State& state)
{
    TimeKey(state, {"DEC", "C/CE", "C/CE", "1", "2", "+", "3"}, [](HWND face) { Press(face, "="); });
}

void BM_Unary(benchmark::State& state)
{
    TimeKey(state, {"DEC", "C/CE", "C/CE", "1", "2"}, [](HWND face) { Press(face, "sqrt"); });
}

void BM_BaseDecToHex(benchmark::State& state)
{
    TimeKey(state, {"DEC", "C/CE", "C/CE", "2", "5", "5"}, [](HWND face) { Press(face, "HEX"); });
}

void BM_BaseHexToDec(benchmark::State& state)
{
    TimeKey(state, {"HEX", "C/CE", "C/CE", "F", "F"}, [](HWND face) { Press(face, "DEC"); });
}

// The pen on a key and off it again: pressed drawing, released drawing, the command, the repaint.
void BM_TapDigit(benchmark::State& state)
{
    TimeKey(state, {"DEC", "C/CE", "C/CE", "1", "2"}, [](HWND face) {
        RECT r;
        GetWindowRect(GetDlgItem(face, Id("7")), &r);
        InjectTap(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    });
}

// What showing costs when the server has next to nothing to copy: a digit, drawn in full, whose
// frame is handed to the real window as one pixel. What is left is the request and the write
// that wakes the X server, so the rest of what showing adds to BM_Digit grows with the pixels the
// server copies meanwhile. The same as BM_Digit without a real window.
void BM_DigitShownAsOnePixel(benchmark::State& state)
{
    g_onePixel = true;
    TimeKey(state, {"DEC", "C/CE", "C/CE", "1", "2"}, [](HWND face) { Press(face, "7"); });
    g_onePixel = false;
}

#define KEY_BENCH(fn) BENCHMARK(fn)->UseManualTime()->Unit(benchmark::kMicrosecond)
KEY_BENCH(BM_Digit);
KEY_BENCH(BM_Operator);
KEY_BENCH(BM_Equals);
KEY_BENCH(BM_Unary);
KEY_BENCH(BM_BaseDecToHex);
KEY_BENCH(BM_BaseHexToDec);
KEY_BENCH(BM_TapDigit);
KEY_BENCH(BM_DigitShownAsOnePixel);

}  // namespace
