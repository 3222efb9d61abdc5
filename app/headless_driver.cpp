// The headless driver. The program starts through AppMain as always; the driver's work runs as
// one thread message inside the program's own loop, then closes the main window.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>
#include "app/app.h"
#include "app/driver_tokens.h"
#include "app/headless_driver.h"
#include "app/scale_option.h"
#include "engine/calc_state.h"
#include "face/display_panel.h"
#include "platform/extras.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

constexpr std::size_t kStdinTokenCap = 16u << 20;  // bytes of token text read from standard input

struct DriverJob {
    std::vector<int> ids;
    bool taps = false;
    bool trace = false;
    std::string screenshot;
    int scale = 1;
    bool screenshotFailed = false;
};
DriverJob g_job;

std::string Utf8(WideStringView text)
{
    std::string out;
    Utf16ToUtf8(text, &out);
    return out;
}

std::string JsonString(WideStringView text)
{
    std::string out = "\"";
    for (unsigned char c : Utf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Real(double v)
{
    // C runtimes differ in the sign they print for NaN: it is written here, as glibc writes it.
    if (std::isnan(v)) return std::signbit(v) ? "\"-nan\"" : "\"nan\"";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return JsonString(WideString(buf, buf + std::char_traits<char>::length(buf)));
}

WideString WindowText(HWND hwnd)
{
    WCHAR buf[256];
    GetWindowText(hwnd, buf, 256);
    return buf;
}

// Lines go through C stdio alone, so a failed write is seen by ferror(stdout).
void PrintLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::string IdList(const std::vector<int>& ids)
{
    std::string out = "[";
    for (std::size_t i = 0; i < ids.size(); ++i) out += (i ? "," : "") + std::to_string(ids[i]);
    return out + "]";
}

std::string StateLine(HWND face, const char* key, const char* result)
{
    const CalcState& s = g_calc;
    PanelModel panel = ComputePanelModel(s);
    std::vector<int> visible, checked;
    for (HWND kid = GetWindow(face, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if (GetWindowLong(kid, GWL_STYLE) & WS_VISIBLE) visible.push_back(GetDlgCtrlID(kid));
    }
    std::sort(visible.begin(), visible.end());
    for (int id : {IDC_BASE_HEX, IDC_BASE_DEC, IDC_BASE_BIN}) {
        if (SendDlgItemMessage(face, id, BM_GETCHECK, 0, 0) == BST_CHECKED) checked.push_back(id);
    }
    using std::to_string;
    return std::string("{\"key\":") + key + ",\"result\":" + result + ",\"display\":" + JsonString(PanelDisplayText(s)) +
           ",\"store\":" + JsonString(WindowText(GetDlgItem(face, IDC_DISPLAY_STORE))) +
           ",\"modeFlags\":" + to_string(s.modeFlags) + ",\"entryFlags\":" + to_string(s.entryFlags) +
           ",\"pendingOp\":" + to_string(s.pendingOp) + ",\"intAccum\":" + to_string(s.intAccum) +
           ",\"intMemory\":" + to_string(s.intMemory) + ",\"realAccum\":" + Real(s.realAccum) +
           ",\"realMemory\":" + Real(s.realMemory) + ",\"panel\":{\"number\":" + JsonString(panel.number) +
           ",\"widthFactor\":" + to_string(panel.widthFactor) + ",\"base\":" + JsonString(panel.baseLabel) +
           ",\"angle\":" + (panel.angleLabel ? JsonString(panel.angleLabel) : "null") +
           ",\"memory\":" + (panel.hasMemoryLine ? JsonString(panel.memoryLine) : "null") + "}" +
           ",\"visible\":" + IdList(visible) + ",\"checked\":" + IdList(checked) +
           ",\"angleKeyCaption\":" + JsonString(WindowText(GetDlgItem(face, IDC_ANGLE_UNIT))) + "}";
}

// Pen down and up at the centre of the key's rectangle on the device screen.
void TapKey(HWND face, int id)
{
    HWND key = GetDlgItem(face, id);
    RECT r;
    if (!GetWindowRect(key, &r)) return;
    InjectTap(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void RunJob(const MSG& msg)
{
    // Only the driver's own message starts the job, and only once (dialogs post null messages too).
    static bool started = false;
    if (msg.message != WM_APP || started) return;
    started = true;
    HWND face = g_hwndCalc;
    if (g_job.trace) PrintLine(StateLine(face, "null", "null"));
    for (int id : g_job.ids) {
        std::string result = "null";
        if (g_job.taps) {
            TapKey(face, id);
        } else {
            // The dialog procedure's own answer: SendMessage would give DWL_MSGRESULT instead.
            auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(face, DWL_DLGPROC));
            LPARAM key = reinterpret_cast<LPARAM>(GetDlgItem(face, id));
            result = proc(face, WM_COMMAND, MAKEWPARAM(id, 0), key) ? "1" : "0";
        }
        if (g_job.trace) PrintLine(StateLine(face, std::to_string(id).c_str(), result.c_str()));
    }
    if (!g_job.trace) PrintLine(Utf8(ComputePanelModel(g_calc).number));
    std::fflush(stdout);
    if (!g_job.screenshot.empty()) {
        // Everything still waiting to be painted, whichever window it is, before the picture.
        MSG paint;
        while (PeekMessage(&paint, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessage(&paint);
        // The screen is drawn at the scale already: the picture is the surface as it is.
        if (!WriteScreenPng(g_job.screenshot.c_str())) {
            int error = errno;
            std::fprintf(stderr, "quorix: cannot write the screenshot %s: %s\n", ShownText(g_job.screenshot).c_str(),
                         std::strerror(error));
            g_job.screenshotFailed = true;
        }
    }
    SendMessage(GetParent(face), WM_CLOSE, 0, 0);
}

bool ReadTokens(const std::string& text, std::vector<int>* ids)
{
    const char* const space = " \t\n\v\f\r";
    for (std::size_t start = text.find_first_not_of(space); start != std::string::npos;) {
        std::size_t end = std::min(text.find_first_of(space, start), text.size());
        std::string token = text.substr(start, end - start);
        start = text.find_first_not_of(space, end);
        int id = KeyTokenToId(token);
        if (!id) {
            std::fprintf(stderr, "quorix: unknown key token '%s' (quorix --help lists them)\n", ShownText(token).c_str());
            return false;
        }
        ids->push_back(id);
    }
    return true;
}

// The token text of standard input; false, having said why, when it cannot be read or holds more
// than any script would (a stream that never ends, such as /dev/zero, must not eat the memory).
bool ReadStdinTokens(std::string* text)
{
    char chunk[65536];
    for (;;) {
        std::size_t got = std::fread(chunk, 1, sizeof chunk, stdin);
        if (text->size() + got > kStdinTokenCap) {
            std::fprintf(stderr, "quorix: standard input holds more than %zu MiB of key tokens; nothing was run\n",
                         kStdinTokenCap >> 20);
            return false;
        }
        text->append(chunk, got);
        if (got == sizeof chunk) continue;
        if (!std::ferror(stdin)) return true;
        std::fprintf(stderr, "quorix: cannot read key tokens from standard input: %s\n", std::strerror(errno));
        return false;
    }
}

// Says what is wrong with the command line; the status of a bad one.
int BadUsage(const std::string& what)
{
    std::fprintf(stderr, "quorix: %s (see quorix --help)\n", what.c_str());
    return 2;
}

// Fills g_job from the options, each given at most once; 0, or 2 having said what is wrong.
// *tokenText is the text of --keys or --taps ("-" for standard input), *haveTokens whether given.
int ReadDriverOptions(int argc, char** argv, std::string* tokenText, bool* haveTokens)
{
    std::string seen;  // " name" of each option met so far
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        std::string name = arg == "--taps" ? "--keys" : arg;  // one token list, of either kind
        if (seen.find(" " + name + " ") != std::string::npos) {
            return BadUsage(name == "--keys" ? "--keys or --taps may be given once" : arg + " may be given once");
        }
        seen += " " + name + " ";
        if ((arg == "--keys" || arg == "--taps") && hasValue) {
            *tokenText = argv[++i];
            g_job.taps = arg == "--taps";
            *haveTokens = true;
        } else if (arg == "--trace") {
            g_job.trace = true;
        } else if (arg == "--screenshot" && hasValue) {
            g_job.screenshot = argv[++i];
            if (g_job.screenshot.empty()) return BadUsage("--screenshot needs a file name");
        } else if (arg == "--scale" && hasValue) {
            if (!ParseScaleOption(argv[++i], &g_job.scale)) return 2;
        } else {
            return BadUsage("unknown or incomplete option '" + ShownText(arg) + "'");
        }
    }
    return 0;
}

}  // namespace

int RunHeadless(int argc, char** argv)
{
    bool haveTokens = false;
    std::string tokenText;
    if (int status = ReadDriverOptions(argc, argv, &tokenText, &haveTokens)) return status;
    if (tokenText == "-") {
        tokenText.clear();
        if (!ReadStdinTokens(&tokenText)) return 2;
    }
    if (!ReadTokens(tokenText, &g_job.ids)) return 2;
    UseOffScreenWindow();  // an off-screen copy: never taken for the desktop's running copy
    SetScreenScale(g_job.scale);  // before the first window: everything is drawn at this scale
    HINSTANCE instance = GetModuleHandle(nullptr);
    RegisterProgramResources(instance);
    WCHAR commandLine[] = TEXT("");
    if (!haveTokens && !g_job.trace && g_job.screenshot.empty()) {
        // No work of its own: the program runs until it is told to exit (quorix-send exit).
        EnableCrossProcessWindows(true);
        return AppMain(instance, nullptr, commandLine, SW_SHOW);
    }
    // A scripted run is private: it neither finds a running copy nor can be found.
    EnableCrossProcessWindows(false);
    SetThreadMessageHook(RunJob);
    PostMessage(nullptr, WM_APP, 0, 0);
    int status = AppMain(instance, nullptr, commandLine, SW_SHOW);
    return g_job.screenshotFailed ? 1 : status;
}
