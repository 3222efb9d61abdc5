// Fuzz target: the calculator face, driven as a user and as other windows could drive it. The
// bytes decode into commands (any identifier, weighted towards the face's keys; any notification
// code; the key's own window, none or a stray value as lParam) and pen taps and strokes anywhere
// on the device screen. After every step the calculator's invariants are checked.
// The program is started once per process; each input starts from the state a fresh start has.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include "app/app.h"
#include "engine/calc_state.h"
#include "face/face.h"
#include "fuzz/fuzz_input.h"
#include "platform/user/input.h"
#include "resources/program_resources.h"
#include "platform/extras.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr int kStepCap = 64;  // steps per input: keeps each run short

// A scratch home, so the fuzzer never touches the user's device root or finds their calculator.
void UseScratchHome()
{
    char pattern[] = "/tmp/quorix-fuzz-face-XXXXXX";
    if (!mkdtemp(pattern)) return;
    std::string root = pattern;
    const char* dirs[][2] = {{"XDG_RUNTIME_DIR", "/run"}, {"QUORIX_DEVICE_ROOT", "/device"},
                             {"XDG_DATA_HOME", "/data"},  {"XDG_CACHE_HOME", "/cache"}};
    for (const auto& d : dirs) {
        std::string path = root + d[1];
        std::filesystem::create_directory(path);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        setenv(d[0], path.c_str(), 1);
    }
    setenv("QUORIX_HELP_VIEWER", "/bin/true", 1);
    static std::string s_root = root;
    std::atexit([] { std::error_code e; std::filesystem::remove_all(s_root, e); });
}

HWND StartProgram()
{
    EnableCrossProcessWindows(false);
    std::memset(&g_calc, 0, sizeof g_calc);
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    if (!InitMainWindow(instance, SW_SHOW)) FuzzFail("the program did not start");
    return g_hwndCalc;
}

// What a fresh start leaves: the state the main window's creation sets, the face re-initialised.
void ResetCalculator(HWND face)
{
    std::memset(&g_calc, 0, sizeof g_calc);
    g_calc.modeFlags = MODE_DEC | MODE_DEGREES;
    SendMessage(face, WM_INITDIALOG, 0, 0);
}

// Posted messages run as the program's loop would run them, except the main window's commands
// (a modal About box would wait for a user) and the ways of ending the program.
void DispatchPosted()
{
    HWND main = GetParent(g_hwndCalc);
    MSG msg;
    for (int guard = 0; guard < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (msg.message == WM_QUIT || msg.message == WM_CLOSE) continue;
        if (msg.message == WM_COMMAND && msg.hwnd == main) continue;
        DispatchMessage(&msg);
    }
}

bool IsUpperOf(const WCHAR* upper, const WCHAR* text)
{
    for (;; ++upper, ++text) {
        WCHAR expected = (*text >= u'a' && *text <= u'z') ? WCHAR(*text - u'a' + u'A') : *text;
        if (*upper != expected) return false;
        if (!*text) return true;
    }
}

void CheckInvariants(HWND face)
{
    DWORD base = g_calc.modeFlags & MODE_BASE_MASK;
    FUZZ_CHECK(base == MODE_DEC || base == MODE_HEX || base == MODE_BIN);
    FUZZ_CHECK((g_calc.entryFlags & (ENTRY_TYPING | ENTRY_CLEAR_ONCE)) != (ENTRY_TYPING | ENTRY_CLEAR_ONCE));
    FUZZ_CHECK(std::memchr(g_calc.displayText, 0, sizeof g_calc.displayText) != nullptr);
    if (g_calc.entryFlags & ENTRY_TYPING) FUZZ_CHECK(g_calc.displayText[0] != 0);

    WCHAR store[2 * kDisplayTextCap] = {};
    GetDlgItemText(face, IDC_DISPLAY_STORE, store, 2 * kDisplayTextCap);
    FUZZ_CHECK(IsUpperOf(store, g_calc.displayText));

    struct {
        int id;
        DWORD mode;
    } const kBaseKeys[] = {{IDC_BASE_HEX, MODE_HEX}, {IDC_BASE_DEC, MODE_DEC}, {IDC_BASE_BIN, MODE_BIN}};
    for (const auto& key : kBaseKeys) {
        bool checked = SendDlgItemMessage(face, key.id, BM_GETCHECK, 0, 0) == BST_CHECKED;
        FUZZ_CHECK(checked == (key.mode == base));
    }
}

// Mostly the face's own keys; now and then any identifier at all.
int PickIdentifier(FuzzInput& in)
{
    std::uint8_t pick = in.Byte();
    if (pick < 200) return IDC_DIGIT_0 + pick % 68;  // 1000..1067
    if (pick < 220) return IDC_NOT;
    return in.Word();
}

int PickNotification(FuzzInput& in)
{
    std::uint8_t pick = in.Byte();
    return pick < 224 ? BN_CLICKED : in.Word();
}

LPARAM PickSender(FuzzInput& in, HWND face, int id)
{
    switch (in.Byte() % 8) {
    case 0: return 0;
    case 1: return static_cast<LPARAM>(in.Dword());
    case 2: return reinterpret_cast<LPARAM>(GetParent(face));
    default: return reinterpret_cast<LPARAM>(GetDlgItem(face, id));
    }
}

POINT PickPoint(FuzzInput& in)
{
    // A few points just off the screen as well: the pen may be dragged past its edges.
    int x = static_cast<int>(in.Below(kScreenWidth + 8)) - 4;
    int y = static_cast<int>(in.Word() % (kScreenHeight + 8)) - 4;
    return POINT{x, y};
}

void RunStep(FuzzInput& in, HWND face)
{
    switch (in.Byte() % 8) {
    case 0: case 1: case 2: case 3: case 4: {
        int id = PickIdentifier(in);
        int code = PickNotification(in);
        auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(face, DWL_DLGPROC));
        proc(face, WM_COMMAND, MAKEWPARAM(id, code), PickSender(in, face, id));
        break;
    }
    case 5: case 6:
        InjectTap(PickPoint(in));
        break;
    default: {
        // A stroke: down, a few moves, up somewhere else.
        InjectPenDown(PickPoint(in));
        for (int moves = in.Byte() % 4; moves > 0; --moves) InjectPenMove(PickPoint(in));
        InjectPenUp(PickPoint(in));
        break;
    }
    }
    DispatchPosted();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetProgramName(PROGRAM_NAME);
    UseScratchHome();
    StartProgram();
    // The program ends as it does when closed, so that what it still holds is not taken for a leak.
    std::atexit([] {
        if (HWND main = GetParent(g_hwndCalc)) DestroyWindow(main);
        DispatchPosted();
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!IsWindow(g_hwndCalc)) StartProgram();
    HWND face = g_hwndCalc;
    // Whatever the last input left open (a menu holding the pen) is closed by a tap on nothing.
    InjectTap(POINT{-100, -100});
    DispatchPosted();
    ResetCalculator(face);
    CheckInvariants(face);
    FuzzInput in(data, size);
    for (int step = 0; step < kStepCap && !in.Empty(); ++step) {
        RunStep(in, face);
        CheckInvariants(face);
    }
    return 0;
}
