// The message recorder and ok_sequence of message_sequence.h.
#include "tests/message_sequence.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <cstdio>
#include <utility>
#include "platform/windows.h"

namespace {

struct MessageName {
    UINT msg;
    const char* name;
};
#define MESSAGE_NAME(m) {m, #m}
const MessageName kMessageNames[] = {
    MESSAGE_NAME(WM_NULL),        MESSAGE_NAME(WM_CREATE),       MESSAGE_NAME(WM_DESTROY),
    MESSAGE_NAME(WM_MOVE),        MESSAGE_NAME(WM_SIZE),         MESSAGE_NAME(WM_ACTIVATE),
    MESSAGE_NAME(WM_SETFOCUS),    MESSAGE_NAME(WM_KILLFOCUS),    MESSAGE_NAME(WM_ENABLE),
    MESSAGE_NAME(WM_SETTEXT),     MESSAGE_NAME(WM_GETTEXT),      MESSAGE_NAME(WM_PAINT),
    MESSAGE_NAME(WM_CLOSE),       MESSAGE_NAME(WM_QUIT),         MESSAGE_NAME(WM_ERASEBKGND),
    MESSAGE_NAME(WM_SHOWWINDOW),  MESSAGE_NAME(WM_SETTINGCHANGE), MESSAGE_NAME(WM_DRAWITEM),
    MESSAGE_NAME(WM_NCCREATE),    MESSAGE_NAME(WM_NCDESTROY),    MESSAGE_NAME(WM_KEYDOWN),
    MESSAGE_NAME(WM_KEYUP),       MESSAGE_NAME(WM_CHAR),         MESSAGE_NAME(WM_INITDIALOG),
    MESSAGE_NAME(WM_COMMAND),     MESSAGE_NAME(WM_TIMER),        MESSAGE_NAME(WM_MOUSEMOVE),
    MESSAGE_NAME(WM_LBUTTONDOWN), MESSAGE_NAME(WM_LBUTTONUP),    MESSAGE_NAME(WM_CAPTURECHANGED),
    MESSAGE_NAME(WM_COPY),        MESSAGE_NAME(WM_PASTE),        MESSAGE_NAME(WM_SETFONT),
};
#undef MESSAGE_NAME

std::string Hex(unsigned long long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

std::string MessageNameOf(UINT msg)
{
    for (const MessageName& m : kMessageNames) {
        if (m.msg == msg) return m.name;
    }
    return msg >= WM_APP ? "WM_APP+" + Hex(msg - WM_APP) : Hex(msg);
}

std::string WParamText(const SeqMessage& m)
{
    if (m.msg == WM_COMMAND || m.msg == WM_DRAWITEM) return std::to_string(LOWORD(m.wParam));
    return std::to_string(m.wParam);
}

std::string LParamText(const SeqMessage& m)
{
    if (m.msg == WM_DRAWITEM) return m.lParam & ODS_SELECTED ? "ODS_SELECTED" : std::to_string(m.lParam);
    return m.lParam ? Hex(static_cast<unsigned long long>(m.lParam)) : "0";
}

std::string Describe(const SeqMessage& m, bool expected)
{
    if (expected && (m.flags & SEQ_ANY)) return "...";
    bool showW = !expected || (m.flags & SEQ_WPARAM);
    bool showL = !expected || (m.flags & SEQ_LPARAM);
    std::string text = MessageNameOf(m.msg) + "(" + (showW ? WParamText(m) : "*");
    if (m.msg == WM_COMMAND && showW) {
        // The notification is the high word; the lParam (the control's window) rarely matters.
        text += HIWORD(m.wParam) == BN_CLICKED ? ", BN_CLICKED" : ", code " + std::to_string(HIWORD(m.wParam));
    }
    if (!(m.msg == WM_COMMAND && !showL)) text += ", " + (showL ? LParamText(m) : std::string("*"));
    text += ")";
    if (!expected || (m.flags & SEQ_HWND)) text += " @" + Hex(reinterpret_cast<std::uintptr_t>(m.hwnd));
    return text;
}

bool Matches(const SeqMessage& want, const SeqMessage& got)
{
    return want.msg == got.msg && (!(want.flags & SEQ_WPARAM) || want.wParam == got.wParam) &&
           (!(want.flags & SEQ_LPARAM) || want.lParam == got.lParam) &&
           (!(want.flags & SEQ_HWND) || want.hwnd == got.hwnd);
}

// The usual wildcard match: a SEQ_ANY entry takes as few messages as it can, and one more each
// time what follows it fails.
bool SequenceMatches(const std::vector<SeqMessage>& want, const std::vector<SeqMessage>& got)
{
    std::size_t i = 0, j = 0, star = want.size(), resume = 0;
    while (j < got.size()) {
        if (i < want.size() && (want[i].flags & SEQ_ANY)) {
            star = i++;
            resume = j;
        } else if (i < want.size() && Matches(want[i], got[j])) {
            ++i;
            ++j;
        } else if (star < want.size()) {
            i = star + 1;
            j = ++resume;
        } else {
            return false;
        }
    }
    while (i < want.size() && (want[i].flags & SEQ_ANY)) ++i;
    return i == want.size();
}

// The windows being recorded by subclassing, with their recorders.
std::vector<MessageRecorder*>& Subclassed()
{
    static std::vector<MessageRecorder*> recorders;
    return recorders;
}

}  // namespace

SeqMessage DrawItemMessage(int id, UINT itemState)
{
    return {WM_DRAWITEM, SEQ_WPARAM | SEQ_LPARAM, static_cast<WPARAM>(id), static_cast<LPARAM>(itemState), nullptr};
}

SeqMessage ClickMessage(int id)
{
    return {WM_COMMAND, SEQ_WPARAM, MAKEWPARAM(id, BN_CLICKED), 0, nullptr};
}

SeqMessage PaintMessage(HWND hwnd)
{
    return {WM_PAINT, SEQ_HWND, 0, 0, hwnd};
}

MessageRecorder::MessageRecorder(std::vector<UINT> kinds) : m_kinds(std::move(kinds)) {}

MessageRecorder::MessageRecorder(HWND hwnd, std::vector<UINT> kinds) : m_kinds(std::move(kinds)), m_hwnd(hwnd)
{
    for (MessageRecorder* other : Subclassed()) {
        if (other->m_hwnd == hwnd) {
            ADD_FAILURE() << "a window has one recorder at a time";
            m_hwnd = nullptr;
            return;
        }
    }
    Subclassed().push_back(this);
    m_original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageRecorder::SubclassProc)));
}

// The thread's one hook recorder.
static MessageRecorder* g_threadRecorder = nullptr;

MessageRecorder::MessageRecorder(WholeThread, std::vector<UINT> kinds) : m_kinds(std::move(kinds))
{
    if (g_threadRecorder) {
        ADD_FAILURE() << "a thread has one recorder at a time";
        return;
    }
    m_hook = SetWindowsHookEx(WH_CALLWNDPROC, &MessageRecorder::HookProc, nullptr, GetCurrentThreadId());
    EXPECT_TRUE(m_hook) << "WH_CALLWNDPROC hook, error " << GetLastError();
    if (m_hook) g_threadRecorder = this;
}

LRESULT CALLBACK MessageRecorder::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && g_threadRecorder) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        g_threadRecorder->Record(sent->hwnd, sent->message, sent->wParam, sent->lParam);
    }
    return CallNextHookEx(g_threadRecorder ? g_threadRecorder->m_hook : nullptr, code, wParam, lParam);
}

MessageRecorder::~MessageRecorder()
{
    if (m_hook) {
        UnhookWindowsHookEx(m_hook);
        g_threadRecorder = nullptr;
    }
    if (!m_hwnd) return;
    if (IsWindow(m_hwnd)) SetWindowLongPtr(m_hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
    std::erase(Subclassed(), this);
}

LRESULT CALLBACK MessageRecorder::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    for (MessageRecorder* r : Subclassed()) {
        if (r->m_hwnd != hwnd) continue;
        r->Record(hwnd, msg, wParam, lParam);
        return CallWindowProc(r->m_original, hwnd, msg, wParam, lParam);
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

void MessageRecorder::Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    bool wanted = m_kinds.empty();
    for (UINT kind : m_kinds) wanted = wanted || kind == msg;
    if (!wanted) return;
    if (msg == WM_DRAWITEM) lParam = static_cast<LPARAM>(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->itemState);
    m_messages.push_back({msg, 0, wParam, lParam, hwnd});
}

std::vector<SeqMessage> MessageRecorder::Take()
{
    return std::exchange(m_messages, {});
}

std::string DescribeMessages(const std::vector<SeqMessage>& list, bool expected)
{
    if (list.empty()) return "(nothing)";
    std::string text;
    for (const SeqMessage& m : list) text += (text.empty() ? "" : ", ") + Describe(m, expected);
    return text;
}

bool OkSequence(const char* file, int line, MessageRecorder& recorder, const std::vector<SeqMessage>& expected,
                const std::string& context)
{
    std::vector<SeqMessage> got = recorder.Take();
    if (SequenceMatches(expected, got)) return true;
    ADD_FAILURE_AT(file, line) << context << ": the messages differ\n"
                               << "  expected: " << DescribeMessages(expected, true) << "\n"
                               << "       got: " << DescribeMessages(got);
    return false;
}
