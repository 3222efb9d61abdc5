// The few calls the program makes that Win32 does not have: handing the platform the program's
// name and resources, the keys that tap controls, the desktop window, and what the headless
// driver needs (screen scale, pen taps, the thread's message hook, screenshots). Everything else
// the program calls is the Win32 subset of windows.h.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>
#include "platform/windows.h"

// Text of WCHARs as the standard library holds it: the same code on every target, whichever type
// WCHAR is.
using WideString = std::basic_string<WCHAR>;
using WideStringView = std::basic_string_view<WCHAR>;

// ---- The program -------------------------------------------------------------------------------
// Names the program's host folders (cache, data, runtime), its files' headers and its desktop
// window's class hint. Called once, first thing; the platform knows no name of its own.
void SetProgramName(const char* name);
const char* ProgramName();

// One resource: `type` is an integer type (RT_DIALOG ...); `data` stays owned by the caller and
// must outlive the registration. Strings (RT_STRING) are UTF-16 text without terminator.
struct ResourceEntry {
    LPCWSTR type;
    UINT id;
    const void* data;
    DWORD size;
};
void RegisterResources(HINSTANCE instance, const ResourceEntry* entries, std::size_t count);

// Dialog templates in Win32's binary DLGTEMPLATE form, written from readable tables.
struct DialogItemDesc {
    WORD id;
    LPCWSTR className;  // u"BUTTON", u"EDIT", u"STATIC": written as the predefined class atoms
    LPCWSTR caption;    // text; for SS_ICON statics, null and iconId set
    short x, y, cx, cy;
    DWORD style;
    WORD iconId;
};
struct DialogDesc {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    LPCWSTR caption;
    WORD pointSize;
    LPCWSTR fontName;
    const DialogItemDesc* items;
    int itemCount;
};
std::vector<WORD> BuildDialogTemplate(const DialogDesc& desc);

// ---- Keys that tap dialog controls -------------------------------------------------------------
// A table from typed character or virtual key to control identifier: a key reaching a top-level
// window's default procedure presses the control with that identifier in the window's dialogs,
// if it is shown, as the pen would. fVirt is FVIRTKEY when `key` is a virtual key (WM_KEYDOWN),
// 0 when it is a typed character (WM_CHAR).
struct KEYTAP {
    BYTE fVirt;
    WORD key;
    WORD id;
};
// The table stays owned by the caller and must outlive the registration; registering again
// under the same instance replaces it, a null table removes it.
void RegisterKeyTaps(HINSTANCE instance, const KEYTAP* table, std::size_t count);

// ---- Descriptions for assistive tools -----------------------------------------------------------
// A short English description of a dialog control, found by the control's identifier among the
// windows of `instance`, that screen readers offer beside its caption ("hexadecimal mode"). The
// table stays owned by the caller and must outlive the registration; registering again under the
// same instance replaces it, a null table removes it.
struct CONTROLDESCRIPTION {
    WORD id;
    LPCWSTR text;
};
void RegisterControlDescriptions(HINSTANCE instance, const CONTROLDESCRIPTION* table, std::size_t count);

// ---- The device screen ---------------------------------------------------------------------------
// 240 x 320 at 96 dpi, drawn at a whole rendering scale N (the surface is 240N x 320N); windows,
// messages and metrics stay in device pixels.
constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr int kNavBarHeight = 26;
constexpr int kMenuBarHeight = 26;
constexpr int kMaxScreenScale = 16;
// Sets N (1..kMaxScreenScale) before the first window is drawn; a new N starts a white surface.
// False, changing nothing, for any other value.
bool SetScreenScale(int scale);
int ScreenScale();
// The screen as a PNG image at its rendering scale. False on failure.
bool WriteScreenPng(const char* path);

// ---- The desktop window ----------------------------------------------------------------------------
// Shows the device screen in a desktop window at `scale` (1..kMaxScreenScale, 0 for the
// desktop's own density) and makes it the backend of every window; false when no desktop can be
// reached. CloseDesktopWindow goes back to the headless screen.
bool OpenDesktopWindow(int scale);
void CloseDesktopWindow();

// ---- Headless driving ------------------------------------------------------------------------------
// Pen input at a point of the device screen, delivered as the desktop's mouse would be:
// WM_LBUTTONDOWN, WM_MOUSEMOVE or WM_LBUTTONUP.
void InjectPen(UINT message, POINT screen);
inline void InjectPenDown(POINT screen) { InjectPen(WM_LBUTTONDOWN, screen); }
inline void InjectPenMove(POINT screen) { InjectPen(WM_MOUSEMOVE, screen); }
inline void InjectPenUp(POINT screen) { InjectPen(WM_LBUTTONUP, screen); }
inline void InjectTap(POINT screen)
{
    InjectPenDown(screen);
    InjectPenUp(screen);
}
// Messages posted to a null window go to this hook when dispatched (the driver uses one to run
// inside the program's own message loop).
void SetThreadMessageHook(void (*hook)(const MSG& msg));
// Whether top-level windows are published to, and looked up in, other processes of the user.
// Off until enabled.
void EnableCrossProcessWindows(bool enable);
// Marks this run as off-screen: its published windows are found only by other off-screen runs
// and by tools, never taken for the desktop's running copy.
void UseOffScreenWindow();
// The signal (TERM, INT, HUP or QUIT) that made the program close its windows, or 0. While
// windows are published these signals close them as the close button would, so nothing is left
// behind; the program may end with status 128 + the signal.
int EndingSignal();

// ---- Host text and device files ------------------------------------------------------------------
// False on a lone surrogate; *out then holds an unspecified partial result.
bool Utf16ToUtf8(WideStringView text, std::string* out);
// False on malformed UTF-8 (overlong forms, encoded surrogates, truncated sequences).
bool Utf8ToUtf16(std::string_view text, WideString* out);
// True when the device file exists and holds exactly these bytes.
bool DeviceFileHolds(LPCWSTR devicePath, const void* data, std::size_t size);
// Replaces the device file's content as one step (a reader sees the old or the new file, never a
// part); its folder must exist. False with the thread's last error set on failure.
bool WriteDeviceFile(LPCWSTR devicePath, const void* data, std::size_t size);
